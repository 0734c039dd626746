// orvek-cli export-xls and pictures end to end: the files written, the messages and statuses.
#include "CliRunner.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string CopySample(const TempDir& dir, const std::string& name)
{
    const std::string target = dir.file(name);
    std::filesystem::copy_file(std::string(ORVEK_SAMPLES_DIR) + "/" + name, target);
    return target;
}

uint32_t U32At(const std::string& b, std::size_t at)
{
    uint32_t v = 0;
    for (std::size_t i = 4; i-- > 0;)
        v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

bool Contains(const std::string& bytes, const std::string& part)
{
    return bytes.find(part) != std::string::npos;
}

}  // namespace

TEST(CliExportXls, WritesTheWorkbookAndKeepsTheOldOneOnFailure)
{
    TempDir dir;
    const std::string cdd = CopySample(dir, "P01-12m.cdd");
    const std::string xls = dir.file("FileList.xls");
    const CliRun ok = RunCli(dir, {"export-xls", cdd, "-o", xls});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.out, "保存查询结果为Excel文件成功！\n");
    EXPECT_EQ(ok.err, "");
    const std::string book = ReadAll(xls);
    // An OLE2 compound file holding the column titles as UTF-16 texts.
    ASSERT_GT(book.size(), 512u);
    EXPECT_EQ(book.compare(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"), 0);
    EXPECT_TRUE(Contains(book, std::string("\xF1\x6D\xA6\x5E", 4)));  // 深度
    EXPECT_TRUE(Contains(book, "DSO_DX"));

    // A workbook that cannot be written leaves the one there as it was.
    const std::string longer = CopySample(dir, "P05-60m.cdd");
    const CliRun failed = RunCli(dir, {"export-xls", longer, "-o", xls}, 1024);
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err, "Excel文件保存失败。\n");
    EXPECT_EQ(failed.out, "");
    EXPECT_EQ(ReadAll(xls), book);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);

    EXPECT_EQ(RunCli(dir, {"export-xls", dir.file("none.cdd"), "-o", xls}).err, "无法读取文件\n");
    EXPECT_EQ(RunCli(dir, {"export-xls", cdd}).status, 2);
}

TEST(CliPictures, WritesTheGraphAndOneTablePer168SamplesBesideTheFile)
{
    TempDir dir;
    const std::string cdd = CopySample(dir, "P05-60m.cdd");  // 241 samples: two table pictures
    const CliRun r = RunCli(dir, {"pictures", cdd, "--screen", "800x600", "--view", "700x420"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "图片已保存至" + dir.file("P05-60m*.bmp") + "\n");
    for (const char* name : {"P05-60m_1.bmp", "P05-60m_2.bmp", "P05-60m_3.bmp"}) {
        const std::string b = ReadAll(dir.file(name));
        ASSERT_EQ(b.size(), 54u + 4u * 800u * 600u) << name;
        EXPECT_EQ(b.compare(0, 2, "BM"), 0);
        EXPECT_EQ(U32At(b, 18), 800u);
        EXPECT_EQ(U32At(b, 22), 600u);
        EXPECT_EQ(U32At(b, 28) & 0xFFFF, 32u);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("P05-60m_4.bmp")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("zel.sysconfig")));

    // The default screen is 1920 x 1080.
    const CliRun defaults = RunCli(dir, {"pictures", cdd});
    EXPECT_EQ(defaults.status, 0);
    EXPECT_EQ(ReadAll(dir.file("P05-60m_1.bmp")).size(), 54u + 4u * 1920u * 1080u);
}

TEST(CliPictures, FailuresAndUsageErrors)
{
    TempDir dir;
    const std::string cdd = CopySample(dir, "P01-12m.cdd");
    std::filesystem::create_directory(dir.file("P01-12m_1.bmp"));
    const CliRun blocked = RunCli(dir, {"pictures", cdd, "--screen", "640x480"});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_EQ(blocked.err, "无法创建文件：" + dir.file("P01-12m_1.bmp") + "\n");
    EXPECT_EQ(blocked.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir.file("P01-12m_2.bmp")));

    // A full disk keeps the pictures saved before.
    std::filesystem::remove(dir.file("P01-12m_1.bmp"));
    ASSERT_EQ(RunCli(dir, {"pictures", cdd, "--screen", "64x48"}).status, 0);
    const std::string old = ReadAll(dir.file("P01-12m_1.bmp"));
    const CliRun full = RunCli(dir, {"pictures", cdd, "--screen", "640x480"}, 4096);
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "无法创建文件：" + dir.file("P01-12m_1.bmp") + "\n");
    EXPECT_EQ(ReadAll(dir.file("P01-12m_1.bmp")), old);

    EXPECT_EQ(RunCli(dir, {"pictures", dir.file("none.cdd")}).err, "无法读取文件\n");
    EXPECT_EQ(RunCli(dir, {"pictures", cdd, "--screen", "640"}).status, 2);
    EXPECT_EQ(RunCli(dir, {"pictures", cdd, "--view", "0x10"}).status, 2);
    EXPECT_EQ(RunCli(dir, {"pictures"}).status, 2);
}

TEST(CliBatchExports, EveryReadableFileIsExportedAndEachFailureNamed)
{
    TempDir dir;
    const std::string a = CopySample(dir, "P01-12m.cdd");
    const std::string b = CopySample(dir, "P02-20m.cdd");
    const std::string none = dir.file("none.cdd");
    std::filesystem::create_directory(dir.file("books"));

    const CliRun xls = RunCli(dir, {"export-xls", a, none, b, "--output-dir", dir.file("books")});
    EXPECT_EQ(xls.status, 1);
    EXPECT_EQ(xls.out, "保存查询结果为Excel文件成功！\n保存查询结果为Excel文件成功！\n");
    EXPECT_EQ(xls.err, none + ": 无法读取文件\n");
    // Each workbook as the one-file form writes it.
    ASSERT_EQ(RunCli(dir, {"export-xls", b, "-o", dir.file("one.xls")}).status, 0);
    EXPECT_EQ(ReadAll(dir.file("books/P02-20m.xls")), ReadAll(dir.file("one.xls")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("books/P01-12m.xls")));
    EXPECT_EQ(RunCli(dir, {"export-xls", a, b, "-o", dir.file("one.xls")}).status, 2);

    const CliRun pictures = RunCli(dir, {"pictures", b, none, a, "--screen", "320x240", "--jobs", "2"});
    EXPECT_EQ(pictures.status, 1);
    // In the order given, whichever worker finishes first.
    EXPECT_EQ(pictures.out, "图片已保存至" + dir.file("P02-20m*.bmp") + "\n" + "图片已保存至" + dir.file("P01-12m*.bmp") + "\n");
    EXPECT_EQ(pictures.err, none + ": 无法读取文件\n");
    const std::string batchPicture = ReadAll(dir.file("P01-12m_1.bmp"));
    ASSERT_EQ(RunCli(dir, {"pictures", a, "--screen", "320x240"}).status, 0);
    EXPECT_EQ(ReadAll(dir.file("P01-12m_1.bmp")), batchPicture);
}
