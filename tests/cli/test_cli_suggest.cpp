// End-to-end runs of orvek-cli suggest: the batch forms, files without a cage, unreadable files.
#include "CliRunner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

// A hole with nothing in it: the earth field and a few nT of noise over 20 m.
CddBuilder EmptyHole()
{
    CddBuilder b;
    b.primary.startDepth = 20.0f;
    uint32_t state = 12345;
    for (int i = 0; i <= 80; ++i) {
        int noise = 0;
        for (int k = 0; k < 4; ++k) {
            state = state * 1664525u + 1013904223u;
            noise += int(state >> 29) - 4;  // -4..3
        }
        b.primary.samples.push_back({29000, -1900, 45000 + noise, 20.0f - 0.25f * float(i)});
    }
    return b;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(CliSuggest, ReportsEveryReadableFileAndFailsAtTheEndForTheOthers)
{
    TempDir dir;
    // The stored markers say 10 m; the suggestion comes from the samples (the cage ends at 40.50 m).
    ASSERT_EQ(RunCli(dir, {"save-markers", std::string(ORVEK_SAMPLES_DIR) + "/P04-45m.cdd", "-o", dir.file("p04.cdd"),
                           "--bottom", "10"}).status, 0);
    WriteBytes(dir.file("empty.cdd"), EmptyHole().bytes());
    const auto before = ReadBytes(dir.file("p04.cdd"));

    const CliRun r = RunCli(dir, {"suggest", dir.file("p04.cdd"), dir.file("missing.cdd"), dir.file("empty.cdd")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, dir.file("missing.cdd") + ": 无法读取文件\n");
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u) << r.out;

    const std::string head = "{\"file\": \"" + dir.file("p04.cdd") + "\", \"bottom\": ";
    ASSERT_EQ(lines[0].rfind(head, 0), 0u) << lines[0];
    const double bottom = std::stod(lines[0].substr(head.size()));
    EXPECT_NEAR(bottom, 40.50, 0.25);
    EXPECT_NE(lines[0].find(", \"confidence\": "), std::string::npos);
    EXPECT_NE(lines[0].find(", \"joints\": ["), std::string::npos);
    EXPECT_NE(lines[0].find(", \"reason\": \""), std::string::npos);

    EXPECT_NE(lines[1].find("\"bottom\": null, \"confidence\": 0.00, \"joints\": [], \"reason\": \""), std::string::npos)
        << lines[1];
    EXPECT_EQ(ReadBytes(dir.file("p04.cdd")), before) << "suggest writes nothing";
}

TEST(CliSuggest, CsvTableForBatchesJsonForOneFile)
{
    TempDir dir;
    WriteBytes(dir.file("a,b.cdd"), EmptyHole().bytes());
    const std::string p04 = std::string(ORVEK_SAMPLES_DIR) + "/P04-45m.cdd";

    CliRun r = RunCli(dir, {"suggest", "--csv", p04, dir.file("a,b.cdd")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_EQ(lines[0], "file,bottom,confidence,joints");
    EXPECT_EQ(lines[1].rfind(p04 + ",40.", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2], "\"" + dir.file("a,b.cdd") + "\",,0.00,");

    r = RunCli(dir, {"suggest", "--csv", p04});
    EXPECT_EQ(r.out.rfind("{\"file\": ", 0), 0u) << r.out;
    EXPECT_EQ(RunCli(dir, {"suggest", "--csv", "--json", p04}).status, 2);
    EXPECT_EQ(RunCli(dir, {"suggest"}).status, 2);
}

}  // namespace
