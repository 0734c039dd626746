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
    std::string texts;
    for (const auto& [section, mnemonic] : std::vector<std::pair<char, std::string>>{
             {'W', "WELL"}, {'W', "FLD"}, {'W', "PROJ"}, {'W', "STRT"}, {'W', "STOP"}, {'W', "STEP"},
             {'P', "SMOOTH"}, {'P', "BOTM"}, {'P', "JNT2"}})
        texts += las.Value(section, mnemonic) + "|";
    EXPECT_EQ(texts, "P:07 # 1|滨江 大道||0.1|-999.25|0.25|3|31.25|12.00|");
    for (const char* absent : {"JNT1", "JNT3", "JNT10"})
        EXPECT_FALSE(las.Item('P', absent)) << absent;
    EXPECT_EQ(las.rows, (std::vector<std::vector<double>>{{0.1, 41000, -7, 45123, 0, 0, -20},
                                                          {-999.25, -3, 2147483647, 0, 12, -2147483648.0, 0}}));
    EXPECT_NE(LasText(log).find(" -20.00\n"), std::string::npos);

    // No sample and no step still make a readable file.
    log.rows.clear();
    log.stepCm = 0;
    EXPECT_EQ(ReadLas(LasText(log)).error, "");
    EXPECT_NE(LasText(log).find(" 0 : STEP\n"), std::string::npos);
}

// The period right after the mnemonic, names in one column, values right-aligned in the next, and a
// unit never closer than four blanks to its value; gradients keep their fraction to two decimals.
TEST(LasWriter, DenseLinesInAlignedColumnsAndGradientsToTwoDecimals)
{
    WellLog log = TwoRows();
    log.stepCm = 30;
    log.rows[0].gz = -158 * 100 / 30.0;
    const std::string text = LasText(log);
    EXPECT_EQ(text.substr(0, text.find("~Well")), "~Version Information\n"
                                                  " VERS.   2.0 : CWLS LOG ASCII STANDARD - VERSION 2.0\n"
                                                  " WRAP.    NO : ONE LINE PER DEPTH STEP\n");
    const std::size_t parameters = text.find("~Parameter");
    EXPECT_EQ(text.substr(parameters, text.find("~ASCII") - parameters), "~Parameter Information\n"
                                                                         " STEP_CM.cm    30 : SAMPLING STEP\n"
                                                                         " SMOOTH.        3 : SMOOTHING POINTS\n");
    EXPECT_NE(text.find(" STRT.M          0.1 : START DEPTH\n STOP.M      -999.25 : STOP DEPTH\n"), std::string::npos);
    EXPECT_NE(text.find(" DEPT.M      : DEPTH\n X.nT        : X COMPONENT\n"), std::string::npos);
    EXPECT_EQ(ReadLas(text).rows[0][6], -526.67);
    EXPECT_EQ(CsvText(log).substr(CsvText(log).find("\r\n") + 2, 37), "0.1,41000,-7,45123,0.00,0.00,-526.67\r");
}

TEST(CsvWriter, HeaderLineThenOneLinePerRow)
{
    EXPECT_EQ(CsvText(TwoRows()), "DEPT (m),X (nT),Y (nT),Z (nT),GX (nT/m),GY (nT/m),GZ (nT/m)\r\n"
                                  "0.1,41000,-7,45123,0.00,0.00,-20.00\r\n"
                                  ",-3,2147483647,0,12.00,-2147483648.00,0.00\r\n");
}

}  // namespace
