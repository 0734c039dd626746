#include "analysis/SiteSummary.h"

#include "data/MeasurementFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

// A loaded file's row: design cage length, detected length and markers as an operator leaves them.
SummaryRow Row(std::string pile, Centimetres design, Centimetres bottom, Centimetres suggested = std::nullopt,
               int confidence = 0)
{
    SummaryRow row;
    row.path = row.file = pile + ".cdd";
    row.loaded = true;
    row.pileNo = std::move(pile);
    row.designCageLength = design;
    row.bottomMarker = bottom;
    row.suggestedBottom = suggested;
    row.confidence = confidence;
    return row;
}

SummaryRow Applied(SummaryRow row, SummarySettings settings = {})
{
    ApplySummarySettings(row, settings);
    return row;
}

}  // namespace

TEST(SiteSummary, PileNumbersSortNaturallyThenByFileName)
{
    EXPECT_TRUE(NaturalLess("P2", "P10"));
    EXPECT_FALSE(NaturalLess("P10", "P2"));
    EXPECT_TRUE(NaturalLess("P-02", "P-3"));
    EXPECT_TRUE(NaturalLess("1#-9", "1#-10"));
    EXPECT_TRUE(NaturalLess("P1", "P1a"));
    EXPECT_FALSE(NaturalLess("P007", "P7"));
    EXPECT_FALSE(NaturalLess("P7", "P007"));

    std::vector<SummaryRow> rows = {Row("P10", {}, {}), Row("P2", {}, {}), Row("", {}, {}), Row("P2", {}, {})};
    rows[1].file = "b.cdd";
    rows[3].file = "a.cdd";
    SortSummaryRows(rows);
    EXPECT_EQ(rows[0].pileNo, "");
    EXPECT_EQ(rows[1].file, "a.cdd");
    EXPECT_EQ(rows[2].file, "b.cdd");
    EXPECT_EQ(rows[3].pileNo, "P10");
}

TEST(SiteSummary, ConclusionAppliesTheToleranceToTheCentimetre)
{
    // The cage is 10 cm short: exactly what the default tolerance allows.
    SummaryRow row = Applied(Row("P1", 1200, 1190));
    EXPECT_EQ(row.measuredLength, 1190);
    EXPECT_EQ(row.deviation, -10);
    EXPECT_EQ(row.conclusion, kConclusionMet);
    EXPECT_EQ(Applied(Row("P1", 1200, 1189)).conclusion, kConclusionNotMet);
    EXPECT_EQ(Applied(Row("P1", 1200, 1190), {0.0, 0.05}).conclusion, kConclusionNotMet);

    // The cage top setting moves the measured length; a saved detected length takes precedence.
    row = Applied(Row("P1", 1200, 1250), {0.35, 0.10});
    EXPECT_EQ(row.measuredLength, 1215);
    EXPECT_EQ(SummaryCells(row)[std::size_t(SummaryColumn::Deviation)], "0.15");
    row = Row("P1", 1200, 1250);
    row.detectedLength = 1100;
    row = Applied(row, {0.35, 0.10});
    EXPECT_EQ(row.measuredLength, 1100);
    EXPECT_EQ(SummaryCells(row)[std::size_t(SummaryColumn::Deviation)], "-1.00");
    EXPECT_EQ(row.conclusion, kConclusionNotMet);

    // Either length missing: no deviation, no conclusion.
    row = Applied(Row("P1", std::nullopt, 1250));
    EXPECT_EQ(row.measuredLength, 1250);
    EXPECT_FALSE(row.deviation);
    EXPECT_EQ(row.conclusion, "");
    EXPECT_EQ(Applied(Row("P1", 1200, std::nullopt)).conclusion, "");
}

TEST(SiteSummary, CheckComparesTheMarkerWithAConfidentSuggestion)
{
    EXPECT_EQ(Applied(Row("P1", 1200, std::nullopt, 1200, 95)).check, kCheckUnmarked);
    EXPECT_EQ(Applied(Row("P1", 1200, 1200, 1226, 80)).check, "与建议相差 0.26 m");
    EXPECT_EQ(Applied(Row("P1", 1200, 1200, 1174, 80)).check, "与建议相差 0.26 m");
    EXPECT_EQ(Applied(Row("P1", 1200, 1200, 1225, 99)).check, "");  // within 0.25 m
    EXPECT_EQ(Applied(Row("P1", 1200, 1200, 1500, 79)).check, "");  // not confident enough
    EXPECT_EQ(Applied(Row("P1", 1200, 1200, std::nullopt, 99)).check, "");

    const SummaryRow bad = Applied(UnreadableRow("dir/bad.cdd", "文件不完整，无法读取"));
    const auto cells = SummaryCells(bad);
    EXPECT_EQ(cells[std::size_t(SummaryColumn::File)], "bad.cdd");
    EXPECT_EQ(cells[std::size_t(SummaryColumn::Check)], "无法读取：文件不完整，无法读取");
    for (std::size_t c = 1; c + 1 < kSummaryColumns; ++c)
        EXPECT_EQ(cells[c], "") << kSummaryKeys[c];
}

TEST(SiteSummary, CsvHasTheByteOrderMarkTheHeaderAndQuotedTexts)
{
    SummaryRow row = Applied(Row("P,1", 1200, 1190, 1191, 93));
    row.file = "a \"b\".cdd";
    row.joints = {450, 900};
    row.stepCm = 25;
    row.count = 49;
    row.startDepth = 1200;
    row.testDate = "2024-05-01";
    const std::string csv = SummaryCsvText({row});
    EXPECT_EQ(
        csv,
        "\xEF\xBB\xBF"
        "file,pileNo,testDate,stepCm,count,startDepth,designCageLength,designPileLength,bottomMarker,joints,"
        "measuredLength,deviation,conclusion,suggestedBottom,confidence,check\r\n"
        "\"a \"\"b\"\".cdd\",\"P,1\",2024-05-01,25,49,12.00,12.00,,11.90,4.50;9.00,11.90,-0.10,满足设计要求,11.91,0.93,"
        "\r\n");
    EXPECT_EQ(SummaryRuleText({0.0, 0.15}), "笼长 ≥ 设计笼长 − 0.15 m");
}

TEST(SiteSummary, EveryFileGetsItsRowAndAFolderListsItsCddFilesInAnyCase)
{
    const auto dir = std::filesystem::temp_directory_path() / "orvek-site-summary-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file(std::filesystem::path(ORVEK_SAMPLES_DIR) / "P02-20m.cdd", dir / "A.CDD");
    std::filesystem::copy_file(std::filesystem::path(ORVEK_SAMPLES_DIR) / "P01-12m.cdd", dir / "b.cdd");
    {
        // A survey cut short in the middle of its samples.
        std::ifstream in(std::filesystem::path(ORVEK_SAMPLES_DIR) / "P03-30m.cdd", std::ios::binary);
        std::string head(1100, '\0');
        in.read(head.data(), std::streamsize(head.size()));
        std::ofstream(dir / "short.cdd", std::ios::binary) << head;
    }
    std::ofstream(dir / "notes.txt") << "not a measurement";

    const std::vector<std::string> files = CddFilesIn(dir.string());
    ASSERT_EQ(files.size(), 3u);
    std::vector<std::string> paths = files;
    paths.push_back((dir / "missing.cdd").string());
    std::atomic<std::size_t> done{0};
    const std::vector<SummaryRow> rows = SummariseFiles(paths, {}, 2, &done);
    EXPECT_EQ(done.load(), 4u);
    ASSERT_EQ(rows.size(), 4u);
    // The unreadable files have no pile number and come first.
    EXPECT_EQ(rows[0].check, "无法读取：无法读取文件");
    EXPECT_EQ(rows[1].check, "无法读取：文件不完整，无法读取");
    // By pile number, not by file name.
    EXPECT_EQ(rows[2].file, "b.cdd");
    EXPECT_EQ(rows[2].pileNo, "P01");
    EXPECT_EQ(rows[3].file, "A.CDD");
    EXPECT_EQ(rows[3].pileNo, "P02");
    EXPECT_EQ(rows[2].count, 49);
    EXPECT_EQ(rows[2].stepCm, 25);
    std::filesystem::remove_all(dir);
}
