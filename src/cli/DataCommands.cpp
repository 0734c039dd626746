// info, samples, save-markers, save-report and set-z: the file operations that need no painting.
#include "cli/CliCommon.h"
#include "cli/CliLoad.h"

#include "analysis/Smoothing.h"
#include "data/Adjustments.h"
#include "data/MeasurementFile.h"
#include "data/Messages.h"
#include "data/TextCodec.h"

#include <iostream>
#include <map>
#include <memory>
#include <optional>
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

void RunSamples(const std::string& path, int window, bool secondary)
{
    auto slot = std::make_unique<FileSlot>();
    LoadOrFail(*slot, path);
    std::ostringstream out;
    if (secondary) {
        const CFileData& s = slot->secondary;
        out << "index,x,y,z,depth\n";
        for (uint32_t i = 0; i < s.m_nCount; ++i) {
            const SampleRecord& r = s.m_raw[i];
            out << i << ',' << r.x << ',' << r.y << ',' << r.z << ',' << FloatText(r.depth) << '\n';
        }
    } else {
        CFileData& p = slot->primary;
        RebuildSmoothedTable(p, window);
        out << "index,x,y,z,depth,dx,dy,dz,sx,sy,sz,sdx,sdy,sdz\n";
        for (uint32_t i = 0; i < p.m_nCount; ++i) {
            const SampleRecord& r = p.m_raw[i];
            const SampleRecord& m = p.m_smoothed[i];
            out << i << ',' << r.x << ',' << r.y << ',' << r.z << ',' << FloatText(r.depth) << ',' << r.dx << ','
                << r.dy << ',' << r.dz << ',' << m.x << ',' << m.y << ',' << m.z << ',' << m.dx << ',' << m.dy << ','
                << m.dz << '\n';
        }
    }
    std::cout << out.str();
}

void CheckWrite(WriteResult result)
{
    if (result != WriteResult::Ok) {
        throw CliFailure(WriteResultMessage(result));
    }
}

void RunSaveMarkers(const std::string& path, const std::string& outPath, std::optional<float> bottom,
                    const std::map<int, float>& joints)
{
    std::array<float, kMarkerSlots> depths{};
    for (const auto& [level, depth] : joints) {
        depths[level - 1] = depth;
    }
    if (bottom) {
        depths[kBottomMarker] = *bottom;
    }
    CheckWrite(SaveAsCopy(path, outPath, depths));
}

struct ReportOptions {
    std::map<std::string, std::string> given;  // option name -> UTF-8 text
};

void RunSaveReport(const std::string& path, const ReportOptions& options)
{
    auto slot = std::make_unique<FileSlot>();
    HeaderLoadOrFail(*slot, path);
    ReportTexts texts = FillReportFields(*slot);
    const std::map<std::string, std::u16string*> fields = {
        {"detected-length", &texts.detectedLength}, {"start-depth", &texts.startDepth},
        {"design-cage", &texts.designCageLength},   {"design-pile", &texts.designPileLength},
        {"pile-no", &texts.pileNo},                 {"engineering-name", &texts.engineeringName},
        {"notes", &texts.notes},                    {"date", &texts.date},
        {"project", &texts.project},                {"site", &texts.site}};
    for (const auto& [name, value] : options.given) {
        *fields.at(name) = Utf8ToUtf16(value);
    }
    CheckWrite(ReportSave(path, texts));
    std::cout << msg::kSaved << '\n';
}

void RunSetZ(const std::string& path, const std::map<long long, std::string>& edits)
{
    auto slot = std::make_unique<FileSlot>();
    LoadOrFail(*slot, path);
    const CFileData& p = slot->primary;
    const uint32_t n = p.m_nCount;
    // The grid's Z cells, counted down the column groups: cell k shows sample N - 1 - k.
    std::vector<std::u16string> cells(n);
    for (uint32_t k = 0; k < n; ++k) {
        cells[k] = Utf8ToUtf16(std::to_string(p.m_raw[n - 1 - k].z));
    }
    for (const auto& [index, text] : edits) {
        if (index < 0 || index >= static_cast<long long>(n)) {
            throw CliFailure("样本序号超出范围: " + std::to_string(index));
        }
        cells[n - 1 - static_cast<uint32_t>(index)] = Utf8ToUtf16(text);
    }
    CheckWrite(ZWriteBack(path, n, cells));
}

void RunAdjustStart(const std::string& path, const std::string& depthText)
{
    auto slot = std::make_unique<FileSlot>();
    LoadOrFail(*slot, path);
    const StartDepthPlan plan = PlanStartDepthCorrection(slot->primary, Utf8ToUtf16(depthText));
    if (plan.check == StartDepthCheck::LessThanOneStep) {
        // The dialog just stays open; a batch run has to say why nothing happened.
        throw CliFailure(msg::kLessThanOneStep);
    }
    if (plan.check != StartDepthCheck::Ok) {
        throw CliFailure(StartDepthCheckMessage(plan.check));
    }
    ApplyStartDepthCorrection(slot->primary, plan);
    CheckWrite(DataRewrite(path, *slot));
}

void RunAppendTail(const std::string& path)
{
    auto slot = std::make_unique<FileSlot>();
    LoadOrFail(*slot, path);
    if (slot->primary.m_nCount == 0) {
        throw CliFailure(msg::kNoSamples);
    }
    if (!InsertTail(slot->primary)) {
        throw CliFailure(msg::kTailOverCapacity);
    }
    std::cout << msg::kTailInsertion << '\n';
    CheckWrite(DataRewrite(path, *slot));
}

// "KEY=VALUE" split at the first '='.
std::pair<std::string, std::string> SplitPair(const std::string& text)
{
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0) {
        throw CLI::ValidationError("expected KEY=VALUE, got '" + text + "'");
    }
    return {text.substr(0, eq), text.substr(eq + 1)};
}

long long ParseWhole(const std::string& text)
{
    std::size_t used = 0;
    long long v = 0;
    try {
        v = std::stoll(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size()) {
        throw CLI::ValidationError("not a whole number: '" + text + "'");
    }
    return v;
}

float ParseDepth(const std::string& text)
{
    std::size_t used = 0;
    float v = 0;
    try {
        v = std::stof(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size()) {
        throw CLI::ValidationError("not a depth in metres: '" + text + "'");
    }
    return v;
}

}  // namespace

void AddDataCommands(CLI::App& app)
{
    {
        auto* cmd = app.add_subcommand("info", "Print a file's header, markers and report values as JSON");
        auto path = std::make_shared<std::string>();
        cmd->add_option("FILE", *path, "measurement file (.cdd)")->required();
        cmd->callback([path] { RunInfo(*path); });
    }
    {
        auto* cmd = app.add_subcommand("samples", "Print the raw and smoothed samples as CSV");
        auto path = std::make_shared<std::string>();
        auto window = std::make_shared<int>(1);
        auto secondary = std::make_shared<bool>(false);
        cmd->add_option("FILE", *path, "measurement file (.cdd)")->required();
        cmd->add_option("--smooth", *window, "smoothing points (1..10)")->check(CLI::Range(1, 10));
        cmd->add_flag("--secondary", *secondary, "print the secondary data set's raw samples");
        cmd->callback([=] { RunSamples(*path, *window, *secondary); });
    }
    {
        auto* cmd = app.add_subcommand("save-markers", "Save a copy of a file with a new marker table");
        auto path = std::make_shared<std::string>();
        auto out = std::make_shared<std::string>();
        auto bottom = std::make_shared<std::optional<float>>();
        auto joints = std::make_shared<std::vector<std::string>>();
        cmd->add_option("FILE", *path, "measurement file (.cdd)")->required();
        cmd->add_option("-o,--output", *out, "file to write (may be FILE itself)")->required();
        cmd->add_option_function<std::string>(
            "--bottom", [bottom](const std::string& v) { *bottom = ParseDepth(v); }, "cage bottom depth (m)");
        cmd->add_option("--joint", *joints, "joint LEVEL=DEPTH, level 1..10")->allow_extra_args(false);
        cmd->callback([=] {
            std::map<int, float> parsed;
            for (const std::string& j : *joints) {
                const auto [level, depth] = SplitPair(j);
                const long long lv = ParseWhole(level);
                if (lv < 1 || lv > 10) {
                    throw CLI::ValidationError("joint level must be 1..10: '" + level + "'");
                }
                parsed[static_cast<int>(lv)] = ParseDepth(depth);
            }
            RunSaveMarkers(*path, *out, *bottom, parsed);
        });
    }
    {
        auto* cmd = app.add_subcommand("save-report", "Store the report values in a file");
        auto path = std::make_shared<std::string>();
        auto options = std::make_shared<ReportOptions>();
        cmd->add_option("FILE", *path, "measurement file (.cdd)")->required();
        for (const char* name : {"detected-length", "start-depth", "design-cage", "design-pile", "pile-no",
                                 "engineering-name", "notes", "date", "project", "site"}) {
            const std::string key = name;
            cmd->add_option_function<std::string>(
                "--" + key, [options, key](const std::string& v) { options->given[key] = v; }, "report value");
        }
        cmd->callback([=] { RunSaveReport(*path, *options); });
    }
    {
        auto* cmd = app.add_subcommand("set-z", "Write edited Z values back as the table display does");
        auto path = std::make_shared<std::string>();
        auto pairs = std::make_shared<std::vector<std::string>>();
        cmd->add_option("FILE", *path, "measurement file (.cdd)")->required();
        cmd->add_option("EDITS", *pairs, "INDEX=VALUE pairs")->required();
        cmd->callback([=] {
            std::map<long long, std::string> edits;
            for (const std::string& p : *pairs) {
                const auto [index, value] = SplitPair(p);
                edits[ParseWhole(index)] = value;
            }
            RunSetZ(*path, edits);
        });
    }
    {
        auto* cmd = app.add_subcommand("adjust-start", "Correct the start depth of a file's samples");
        auto path = std::make_shared<std::string>();
        auto depth = std::make_shared<std::string>();
        cmd->add_option("FILE", *path, "measurement file (.cdd)")->required();
        cmd->add_option("DEPTH", *depth, "new start depth in metres")->required();
        cmd->callback([=] { RunAdjustStart(*path, *depth); });
    }
    {
        auto* cmd = app.add_subcommand("append-tail", "Append five copies of the shallowest sample");
        auto path = std::make_shared<std::string>();
        cmd->add_option("FILE", *path, "measurement file (.cdd)")->required();
        cmd->callback([=] { RunAppendTail(*path); });
    }
}
