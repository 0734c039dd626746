// info: a file's header, markers and report values as JSON.
#include "cli/CliCommon.h"
#include "cli/CliLoad.h"

#include "data/MeasurementFile.h"

#include <iostream>
#include <memory>
#include <sstream>

namespace {

void PrintAcquisition(std::ostream& out, const CFileData& d)
{
    out << "\"count\":" << d.m_nCount << ",\"step\":" << d.m_nStep << ",\"startDepth\":" << FloatText(d.m_fStartDepth)
        << ",\"acqWord1\":" << d.m_nAcqWord1 << ",\"acqWord2\":" << d.m_nAcqWord2
        << ",\"project\":" << JsonString(d.m_strProject) << ",\"site\":" << JsonString(d.m_strSite)
        << ",\"pileNo\":" << JsonString(d.m_strPileNo) << ",\"testDate\":" << JsonString(FormatTestDate(d.m_testDate));
}

void RunInfo(const std::string& path)
{
    auto slot = std::make_unique<FileSlot>();
    LoadOrFail(*slot, path);
    const CFileData& p = slot->primary;
    std::ostringstream out;
    out << '{';
    PrintAcquisition(out, p);
    out << ",\"markerCount\":" << slot->markerCount << ",\"markerDepths\":[";
    for (int k = 0; k < kMarkerSlots; ++k) {
        out << (k ? "," : "") << FloatText(slot->markerDepth[k]);
    }
    out << "],\"report\":{\"flag\":" << p.m_nReportFlag << ",\"detectedLength\":" << FloatText(p.m_fDetectedLength)
        << ",\"startDepth\":" << FloatText(p.m_fReportStartDepth)
        << ",\"designCageLength\":" << FloatText(p.m_fDesignCageLength)
        << ",\"designPileLength\":" << FloatText(p.m_fDesignPileLength)
        << ",\"pileNo\":" << JsonString(p.m_strReportPileNo)
        << ",\"engineeringName\":" << JsonString(p.m_strEngineeringName) << ",\"notes\":" << JsonString(p.m_strNotes)
        << ",\"date\":" << JsonString(p.m_strReportDate) << ",\"project\":" << JsonString(p.m_strReportProject)
        << ",\"site\":" << JsonString(p.m_strReportSite) << "},\"secondary\":{";
    PrintAcquisition(out, slot->secondary);
    out << "}}\n";
    std::cout << out.str();
}

}  // namespace

void AddInfoCommand(CLI::App& app)
{
    auto* cmd = app.add_subcommand("info", "Print a file's header, markers and report values as JSON");
    auto path = std::make_shared<std::string>();
    cmd->add_option("FILE", *path, "measurement file (.cdd)")->required();
    cmd->callback([path] { RunInfo(*path); });
}
