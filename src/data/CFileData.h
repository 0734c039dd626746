#pragma once

#include "data/SampleRecord.h"

#include <cstdint>
#include <string>
#include <vector>

// One data set of a measurement file in memory. Texts are UTF-16; the sample tables have the
// fixed capacity of the instrument (kMaxSamples), so indices below that are always valid.
class CFileData {
public:
    CFileData();
    virtual ~CFileData() = default;
    CFileData(const CFileData&) = default;
    CFileData& operator=(const CFileData&) = default;
    CFileData(CFileData&&) = default;
    CFileData& operator=(CFileData&&) = default;

    int32_t m_nAcqWord1 = 0;
    int32_t m_nAcqWord2 = 0;
    std::u16string m_strProject = u"Project";
    std::u16string m_strSite = u"Site";
    std::u16string m_strPileNo = u"Bored";
    float m_fStartDepth = 20.0f;
    int32_t m_nStep = 25;
    uint32_t m_nCount = 0;
    int64_t m_testDate = 0;  // local time value of the test date at 00:00:00
    std::vector<SampleRecord> m_raw;
    std::vector<SampleRecord> m_smoothed;
    int32_t m_nSmoothedCount = 0;
    std::vector<DepthPixelEntry> m_depthPixels;
    int32_t m_nReportFlag = 0;
    std::u16string m_strEngineeringName;
    std::u16string m_strReportPileNo;
    float m_fDetectedLength = 0.0f;
    float m_fReportStartDepth = 0.0f;
    float m_fDesignCageLength = 0.0f;
    float m_fDesignPileLength = 0.0f;
    std::u16string m_strReportDate;
    std::u16string m_strNotes;
    std::u16string m_strReportProject;
    std::u16string m_strReportSite;
    int32_t m_nSmoothWindow = 1;
};
