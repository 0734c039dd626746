// End-to-end runs of orvek-cli summary: the rows of a folder, its outputs, what it leaves alone.
#include "CliRunner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::set<std::string> Names(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// A site folder: P04 (its report saved) with the bottom marker far from where the cage ends, P03
// marked where the cage ends, P02 with a report saved here, P01 as generated, and a file that ends
// in its header.
std::string MakeSite(const TempDir& dir)
{
    const std::string site = dir.file("site");
    std::filesystem::create_directory(site);
    const std::string samples = ORVEK_SAMPLES_DIR;
    EXPECT_EQ(RunCli(dir, {"save-markers", samples + "/P04-45m.cdd", "-o", site + "/P04.cdd", "--bottom", "10"}).status,
              0);
    EXPECT_EQ(
        RunCli(dir, {"save-markers", samples + "/P03-30m.cdd", "-o", site + "/P03.cdd", "--bottom", "26.5"}).status, 0);
    std::filesystem::copy_file(samples + "/P02-20m.cdd", site + "/P02.CDD");
    EXPECT_EQ(RunCli(dir, {"save-report", site + "/P02.CDD", "--pile-no", "P10", "--design-cage", "20.5",
                           "--detected-length", "20.25", "--date", "2024-06-01", "--engineering-name", "东区"})
                  .status,
              0);
    std::filesystem::copy_file(samples + "/P01-12m.cdd", site + "/p01.cdd");
    WriteBytes(site + "/broken.cdd", std::vector<unsigned char>(10, 0x41));
    return site;
}

}  // namespace

TEST(CliSummary, CsvRowsOfAFolderInPileOrderWithBadFilesReported)
{
    TempDir dir;
    const std::string site = MakeSite(dir);
    const auto before = Names(site);
    const CliRun r = RunCli(dir, {"summary", site, "--cage-top", "0.5"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Names(site), before);
    ASSERT_EQ(r.out.rfind("\xEF\xBB\xBF", 0), 0u);
    const std::vector<std::string> lines = Lines(r.out.substr(3));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "file,pileNo,testDate,stepCm,count,startDepth,designCageLength,designPileLength,bottomMarker,"
                        "joints,measuredLength,deviation,conclusion,suggestedBottom,confidence,check");
    // The broken file has no pile number: first. P10 is the report's pile number of P02.CDD.
    EXPECT_EQ(lines[1], "broken.cdd,,,,,,,,,,,,,,,无法读取：文件不完整，无法读取");
    EXPECT_EQ(lines[2].substr(0, 12), "p01.cdd,P01,");
    EXPECT_NE(lines[2].find(",未标记"), std::string::npos) << lines[2];
    // The bottom marker less the cage top, no design length; the marker agrees with the suggestion.
    EXPECT_EQ(lines[3], "P03.cdd,P03,2024-05-21,25,121,30.00,,,26.50,,26.00,,,26.49,1.00,");
    // The report's detected length is the measured one; the marker is far from the suggestion.
    EXPECT_EQ(lines[4], "P04.cdd,P04,2024-06-11,25,181,45.00,41.30,43.00,10.00,,41.30,0.00,满足设计要求,40.53,1.00,"
                        "与建议相差 30.53 m");
    EXPECT_EQ(lines[5].substr(0, 34), "P02.CDD,P10,2024-06-01,25,81,20.00") << lines[5];
    // 0.25 m short of the design: outside the default tolerance.
    EXPECT_NE(lines[5].find(",20.25,-0.25,不满足设计要求,"), std::string::npos) << lines[5];

    const CliRun loose = RunCli(dir, {"summary", site + "/P02.CDD", "--tolerance", "0.3"});
    EXPECT_NE(loose.out.find(",20.25,-0.25,满足设计要求,"), std::string::npos) << loose.out;
}

TEST(CliSummary, JsonLinesHaveTheKeysNumbersAndNulls)
{
    TempDir dir;
    const std::string site = MakeSite(dir);
    const CliRun r = RunCli(dir, {"summary", site + "/P03.cdd", site + "/broken.cdd", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "{\"file\": \"broken.cdd\", \"pileNo\": null, \"testDate\": null, \"stepCm\": null, \"count\": "
                        "null, \"startDepth\": null, \"designCageLength\": null, \"designPileLength\": null, "
                        "\"bottomMarker\": null, \"joints\": [], \"measuredLength\": null, \"deviation\": null, "
                        "\"conclusion\": null, \"suggestedBottom\": null, \"confidence\": null, \"check\": "
                        "\"无法读取：文件不完整，无法读取\"}");
    EXPECT_EQ(lines[1],
              "{\"file\": \"P03.cdd\", \"pileNo\": \"P03\", \"testDate\": \"2024-05-21\", \"stepCm\": 25, "
              "\"count\": 121, \"startDepth\": 30.00, \"designCageLength\": null, \"designPileLength\": null, "
              "\"bottomMarker\": 26.50, \"joints\": [], \"measuredLength\": 26.50, \"deviation\": null, "
              "\"conclusion\": null, \"suggestedBottom\": 26.49, \"confidence\": 1.00, \"check\": null}");
}

TEST(CliSummary, WorkbooksAndPdfAreWrittenAndAFailedOutputFailsTheCall)
{
    TempDir dir;
    const std::string site = MakeSite(dir);
    const CliRun r = RunCli(
        dir, {"summary", site, "--xlsx", dir.file("s.xlsx"), "--xls", dir.file("s.xls"), "--pdf", dir.file("s.pdf")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadAll(dir.file("s.pdf")).rfind("%PDF-", 0), 0u);
    EXPECT_EQ(ReadAll(dir.file("s.xls")).rfind("\xD0\xCF\x11\xE0", 0), 0u);
    // The sheet of the .xlsx, read with unzip: numbers as numbers, texts in the shared strings.
    const std::string xml = dir.file("sheet.xml");
    ASSERT_EQ(std::system(("unzip -p " + Quoted(dir.file("s.xlsx")) +
                           " xl/worksheets/sheet1.xml xl/sharedStrings.xml >" + Quoted(xml))
                              .c_str()),
              0);
    const std::string text = ReadAll(xml);
    EXPECT_NE(text.find("<v>20.25</v>"), std::string::npos);
    EXPECT_NE(text.find("<v>-0.25</v>"), std::string::npos);
    EXPECT_NE(text.find("不满足设计要求"), std::string::npos);
    EXPECT_NE(text.find("实测笼长(m)"), std::string::npos);

    // An output that cannot be written: the message and exit 1, the table still printed, the other
    // outputs still written, an existing file where the output should go left alone.
    WriteBytes(dir.file("old.xls"), {1, 2, 3});
    const CliRun bad = RunCli(dir, {"summary", site, "--xlsx", dir.file("no/such/folder/s.xlsx"), "--xls",
                                    dir.file("old.xls"), "--pdf", dir.file("no/such/s.pdf")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "无法创建文件\n");
    EXPECT_EQ(Lines(bad.out).size(), 6u);
    EXPECT_EQ(ReadAll(dir.file("old.xls")).rfind("\xD0\xCF\x11\xE0", 0), 0u);

    EXPECT_EQ(RunCli(dir, {"summary", site, "--csv", "--json"}).status, 2);
    EXPECT_EQ(RunCli(dir, {"summary"}).status, 2);
}
