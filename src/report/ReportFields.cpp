#include "report/ReportFields.h"

#include "data/NumberText.h"

namespace {

// "%0.2f" of the value, as the dialog shows lengths.
std::u16string Fixed2(float value)
{
    const std::string text = FixedText(value, 2);
    return std::u16string(text.begin(), text.end());
}

}  // namespace

ReportTexts FillReportFields(const FileSlot& slot)
{
    const CFileData& p = slot.primary;
    ReportTexts t;
    if (p.m_nReportFlag == 1) {
        t.startDepth = Fixed2(p.m_fReportStartDepth);
        t.pileNo = p.m_strReportPileNo;
        t.engineeringName = p.m_strEngineeringName;
        t.notes = p.m_strNotes;
        t.date = p.m_strReportDate;
        t.detectedLength = Fixed2(p.m_fDetectedLength);
        t.designCageLength = Fixed2(p.m_fDesignCageLength);
        t.designPileLength = Fixed2(p.m_fDesignPileLength);
        t.project = p.m_strReportProject;
        t.site = p.m_strReportSite;
        return t;
    }
    t.startDepth = Fixed2(p.m_raw[0].depth);
    t.pileNo = p.m_strPileNo;
    t.designCageLength = Fixed2(slot.markerDepth[kBottomMarker]);
    const std::string date = FormatTestDate(p.m_testDate);
    t.date = std::u16string(date.begin(), date.end());
    t.project = p.m_strProject;
    t.site = p.m_strSite;
    return t;
}
