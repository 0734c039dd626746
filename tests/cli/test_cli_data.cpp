// End-to-end runs of orvek-cli: exit statuses, messages and what lands in the files.
#include "CliRunner.h"

#include "data/MeasurementFile.h"

#include <gtest/gtest.h>


namespace {

CddBuilder Sample()
{
    CddBuilder b;
    b.primary.samples = {{10, 20, 45000, 2.0f}, {11, 21, 45100, 1.75f}, {12, 22, 45300, 1.5f}, {13, 23, 45200, 1.25f}};
    b.primary.project = "\xB9\xA4";
    b.markerCount = 11;
    b.markers[10] = 1.75f;
    b.secondary.samples = {{1, 2, 3, 0.1f}};
    return b;
}

TEST(CliData, InfoPrintsTheLoadedFileAsJson)
{
    TempDir dir;
    WriteBytes(dir.file("a.cdd"), Sample().bytes());
    const CliRun r = RunCli(dir, {"info", dir.file("a.cdd")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"count\":4,\"step\":25,\"startDepth\":10,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"project\":\"\xEF\xBE\xB9\xEF\xBE\xA4\""), std::string::npos) << "U+FFB9 U+FFA4";
    EXPECT_NE(r.out.find("\"testDate\":\"2024-05-17\""), std::string::npos);
    EXPECT_NE(r.out.find("\"markerDepths\":[0,0,0,0,0,0,0,0,0,0,1.75]"), std::string::npos);
    EXPECT_NE(r.out.find("\"secondary\":{\"count\":1,"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("zel.sysconfig"))) << "info creates no configuration file";
}

TEST(CliData, FailuresAndUsageErrorsHaveTheirExitStatus)
{
    TempDir dir;
    CliRun r = RunCli(dir, {"info", dir.file("missing.cdd")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "无法读取文件\n");
    EXPECT_EQ(RunCli(dir, {"frobnicate"}).status, 2);
    EXPECT_EQ(RunCli(dir, {"info"}).status, 2);
    EXPECT_EQ(RunCli(dir, {"--help"}).status, 0);
    EXPECT_EQ(RunCli(dir, {"samples", "--help"}).status, 0);

    CddBuilder bad = Sample();
    bad.primary.month = 13;
    WriteBytes(dir.file("bad.cdd"), bad.bytes());
    r = RunCli(dir, {"info", dir.file("bad.cdd")});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.empty());
}

TEST(CliData, SamplesPrintsRawAndRebuiltSmoothedTables)
{
    TempDir dir;
    WriteBytes(dir.file("a.cdd"), Sample().bytes());
    CliRun r = RunCli(dir, {"samples", dir.file("a.cdd"), "--smooth", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string header, first, second;
    std::getline(lines, header);
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_EQ(header, "index,x,y,z,depth,dx,dy,dz,sx,sy,sz,sdx,sdy,sdz");
    EXPECT_EQ(first, "0,10,20,45000,2,0,0,0,10,20,45050,0,0,0");
    EXPECT_EQ(second, "1,11,21,45100,1.75,1,1,100,11,21,45200,1,1,150");

    r = RunCli(dir, {"samples", dir.file("a.cdd"), "--secondary"});
    EXPECT_EQ(r.out, "index,x,y,z,depth\n0,1,2,3,0.1\n");
    EXPECT_EQ(RunCli(dir, {"samples", dir.file("a.cdd"), "--smooth", "11"}).status, 2);
}

TEST(CliData, SaveMarkersWritesTheGivenDepthsAndZeroElsewhere)
{
    TempDir dir;
    WriteBytes(dir.file("a.cdd"), Sample().bytes());
    CliRun r = RunCli(dir, {"save-markers", dir.file("a.cdd"), "-o", dir.file("b.cdd"), "--bottom", "1.5", "--joint",
                      "3=0.25", "--joint", "10=1"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto b = ReadBytes(dir.file("b.cdd"));
    EXPECT_EQ(CddBuilder::get(b, 0), 11);
    EXPECT_FLOAT_EQ(CddBuilder::getf(b, 4 + 4 * 2), 0.25f);
    EXPECT_FLOAT_EQ(CddBuilder::getf(b, 4 + 4 * 9), 1.0f);
    EXPECT_FLOAT_EQ(CddBuilder::getf(b, 4 + 4 * 10), 1.5f);
    EXPECT_FLOAT_EQ(CddBuilder::getf(b, 4), 0.0f);
    EXPECT_EQ(RunCli(dir, {"save-markers", dir.file("a.cdd"), "-o", dir.file("c.cdd"), "--joint", "11=1"}).status, 2);
    EXPECT_EQ(RunCli(dir, {"save-markers", dir.file("a.cdd"), "-o", dir.file("c.cdd"), "--bottom", "deep"}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("c.cdd")));
}

TEST(CliData, SaveReportFillsMissingValuesAsTheDialogWould)
{
    TempDir dir;
    WriteBytes(dir.file("a.cdd"), Sample().bytes());
    CliRun r = RunCli(dir, {"save-report", dir.file("a.cdd"), "--engineering-name", "大桥工程", "--detected-length", "1.6"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "已保存！\n");
    FileSlot slot;
    ASSERT_EQ(FullLoad(slot, dir.file("a.cdd")), LoadResult::Ok);
    EXPECT_EQ(slot.primary.m_nReportFlag, 1);
    EXPECT_EQ(slot.primary.m_strEngineeringName, u"大桥工程");
    EXPECT_FLOAT_EQ(slot.primary.m_fDetectedLength, 1.6f);
    EXPECT_FLOAT_EQ(slot.primary.m_fReportStartDepth, 2.0f) << "depth of sample 0";
    EXPECT_FLOAT_EQ(slot.primary.m_fDesignCageLength, 1.75f) << "stored bottom marker";
    EXPECT_EQ(slot.primary.m_strReportDate, u"2024-05-17");

    const auto before = ReadBytes(dir.file("a.cdd"));
    r = RunCli(dir, {"save-report", dir.file("a.cdd"), "--notes", std::string(300, 'n')});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ReadBytes(dir.file("a.cdd")), before);
}

TEST(CliData, SetZWritesEveryZCellWithTheEditedOnesReplaced)
{
    TempDir dir;
    WriteBytes(dir.file("a.cdd"), Sample().bytes());
    const auto before = ReadBytes(dir.file("a.cdd"));
    // A value that is not a whole number is refused as the table's cell refuses it.
    for (const char* typo : {"1=44 610", "1=abc", "1=", "1=1.5"}) {
        const CliRun refused = RunCli(dir, {"set-z", dir.file("a.cdd"), "0=123", typo});
        EXPECT_EQ(refused.status, 1) << typo;
        EXPECT_EQ(refused.err, "请输入一个整数。\n") << typo;
        EXPECT_EQ(ReadBytes(dir.file("a.cdd")), before) << typo;
    }
    CliRun r = RunCli(dir, {"set-z", dir.file("a.cdd"), "0=123", "3= -7 "});
    ASSERT_EQ(r.status, 0) << r.err;
    auto after = ReadBytes(dir.file("a.cdd"));
    EXPECT_EQ(CddBuilder::get(after, 1024 + 8), 123);
    EXPECT_EQ(CddBuilder::get(after, 1024 + 16 * 3 + 8), -7);
    CddBuilder::put(after, 1024 + 8, 45000);
    CddBuilder::put(after, 1024 + 16 * 3 + 8, 45200);
    EXPECT_EQ(after, before);
    r = RunCli(dir, {"set-z", dir.file("a.cdd"), "4=1"});
    EXPECT_EQ(r.status, 1);
}

}  // namespace

namespace {

TEST(CliData, AdjustStartAndAppendTailRewriteTheFile)
{
    TempDir dir;
    WriteBytes(dir.file("a.cdd"), Sample().bytes());  // start depth 10, sample 0 at 2.0 m
    CliRun r = RunCli(dir, {"adjust-start", dir.file("a.cdd"), "11"});
    ASSERT_EQ(r.status, 0) << r.err;
    FileSlot slot;
    ASSERT_EQ(FullLoad(slot, dir.file("a.cdd")), LoadResult::Ok);
    EXPECT_EQ(slot.primary.m_nCount, 8u);
    EXPECT_FLOAT_EQ(slot.primary.m_fStartDepth, 11.0f);
    EXPECT_FLOAT_EQ(slot.primary.m_raw[0].depth, 3.0f);
    EXPECT_EQ(slot.secondary.m_nCount, 1u) << "the secondary set is carried along";

    const auto before = ReadBytes(dir.file("a.cdd"));
    r = RunCli(dir, {"adjust-start", dir.file("a.cdd"), "180"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "请输入0-160之间数值！\n");
    EXPECT_EQ(RunCli(dir, {"adjust-start", dir.file("a.cdd"), "11.1"}).status, 1);
    EXPECT_EQ(ReadBytes(dir.file("a.cdd")), before);

    r = RunCli(dir, {"append-tail", dir.file("a.cdd")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "尾部插点\n");
    ASSERT_EQ(FullLoad(slot, dir.file("a.cdd")), LoadResult::Ok);
    EXPECT_EQ(slot.primary.m_nCount, 13u);
    EXPECT_EQ(slot.primary.m_raw[12].z, slot.primary.m_raw[7].z);
}

}  // namespace
