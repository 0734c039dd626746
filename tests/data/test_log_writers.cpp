// The LAS and CSV texts of a log built by hand: texts that could break a line or a field, depths
// that are not numbers, marker slots, and the exact CSV.
#include "LasReader.h"

#include "data/CsvWriter.h"
#include "data/LasWriter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

WellLog TwoRows()
{
    WellLog log;
    log.stepCm = 25;
    log.smoothWindow = 3;
    log.rows = {{0.1f, 41000, -7, 45123, 0, 0, -20}, {NAN, -3, 2147483647, 0, 12, -2147483647 - 1, 0}};
    return log;
}

TEST(LasWriter, HeaderTextsAndValuesSurviveAStandardReader)
{
    WellLog log = TwoRows();
    log.pileNo = "P:07 # 1";
    log.site = "滨江\n大道\r";
    log.project = "";
    log.testDate = "2024-03-18";
    log.markerDepth[kBottomMarker] = 31.254f;
    log.markerDepth[1] = 12.0f;
    log.markerDepth[0] = -1.0f;
    log.markerDepth[2] = NAN;
    const LasFile las = ReadLas(LasText(log));
    ASSERT_EQ(las.error, "");
    EXPECT_EQ(las.Item('W', "WELL")->value, "P:07 # 1");
    EXPECT_EQ(las.Item('W', "FLD")->value, "滨江 大道");
    EXPECT_EQ(las.Item('W', "PROJ")->value, "");
    EXPECT_EQ(las.Item('W', "STRT")->value, "0.1");
    EXPECT_EQ(las.Item('W', "STOP")->value, "-999.25");
    EXPECT_EQ(las.Item('W', "STEP")->value, "0.25");
    EXPECT_EQ(las.Item('P', "SMOOTH")->value, "3");
    EXPECT_EQ(las.Item('P', "BOTM")->value, "31.25");
    EXPECT_EQ(las.Item('P', "BOTM")->unit, "M");
    EXPECT_EQ(las.Item('P', "JNT2")->value, "12.00");
    for (const char* absent : {"JNT1", "JNT3", "JNT10"})
        EXPECT_FALSE(las.Item('P', absent)) << absent;
    ASSERT_EQ(las.rows.size(), 2u);
    EXPECT_EQ(las.rows[0], (std::vector<double>{0.1, 41000, -7, 45123, 0, 0, -20}));
    EXPECT_EQ(las.rows[1], (std::vector<double>{-999.25, -3, 2147483647, 0, 12, -2147483648.0, 0}));
    EXPECT_NE(LasText(log).find("   -20.00\n"), std::string::npos);

    // No sample at all still makes a readable file; no step gives 0.
    log.rows.clear();
    log.stepCm = 0;
    const LasFile empty = ReadLas(LasText(log));
    EXPECT_EQ(empty.error, "");
    EXPECT_EQ(empty.Item('W', "STEP")->value, "0");
}

TEST(CsvWriter, HeaderLineThenOneLinePerRow)
{
    EXPECT_EQ(CsvText(TwoRows()), "DEPT (m),X (nT),Y (nT),Z (nT),GX (nT/m),GY (nT/m),GZ (nT/m)\r\n"
                                  "0.1,41000,-7,45123,0.00,0.00,-20.00\r\n"
                                  ",-3,2147483647,0,12.00,-2147483648.00,0.00\r\n");
}

}  // namespace
