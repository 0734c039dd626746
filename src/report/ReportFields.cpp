#include "report/ReportFields.h"

#include "data/NumberText.h"
#include "data/TextCodec.h"

namespace {

// "%0.2f" of the value, as the dialog shows lengths.
std::u16string Fixed2(float value)
{
    const std::string text = FixedText(value, 2);
    return std::u16string(text.begin(), text.end());
}

}  // namespace

std::u16string ReportPileNo(const CFileData& data)
{
    return data.m_nReportFlag == 1 ? data.m_strReportPileNo : DecodeAcquisitionText(data.m_strPileNo);
}

std::u16string ReportDate(const CFileData& data)
{
    if (data.m_nReportFlag == 1)
        return data.m_strReportDate;
    const std::string date = FormatTestDate(data.m_testDate);
    return std::u16string(date.begin(), date.end());
}

ReportTexts FillReportFields(const FileSlot& slot)
{
    const CFileData& p = slot.primary;
    ReportTexts t;
    t.pileNo = ReportPileNo(p);
    t.date = ReportDate(p);
    if (p.m_nReportFlag == 1) {
        t.startDepth = Fixed2(p.m_fReportStartDepth);
        t.engineeringName = p.m_strEngineeringName;
        t.notes = p.m_strNotes;
        t.detectedLength = Fixed2(p.m_fDetectedLength);
        t.designCageLength = Fixed2(p.m_fDesignCageLength);
        t.designPileLength = Fixed2(p.m_fDesignPileLength);
        t.project = p.m_strReportProject;
        t.site = p.m_strReportSite;
        return t;
    }
    // The acquisition header's texts are shown decoded; saving them unchanged keeps their bytes.
    t.startDepth = Fixed2(p.m_raw[0].depth);
    t.designCageLength = Fixed2(slot.markerDepth[kBottomMarker]);
    t.project = DecodeAcquisitionText(p.m_strProject);
    t.site = DecodeAcquisitionText(p.m_strSite);
    return t;
}
