// orvek-cli render end to end: the picture, its size, and the statuses and messages of failures.
#include "CliRunner.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

CliRun Render(const TempDir& dir, std::vector<std::string> args)
{
    args.insert(args.begin(), "render");
    return RunCli(dir, args);
}

// Width and height from a PNG's IHDR chunk; (0, 0) when the bytes are not a PNG.
std::pair<uint32_t, uint32_t> PngSize(const std::string& bytes)
{
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0)
        return {0, 0};
    const auto be = [&](std::size_t at) {
        uint32_t v = 0;
        for (std::size_t i = 0; i < 4; ++i)
            v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
        return v;
    };
    return {be(16), be(20)};
}

std::string CopySample(const TempDir& dir, const std::string& name)
{
    const std::string target = dir.file(name);
    std::filesystem::copy_file(std::string(ORVEK_SAMPLES_DIR) + "/" + name, target);
    return target;
}

}  // namespace

TEST(CliRender, WritesAPictureOfTheRequestedSizeAndNothingElse)
{
    TempDir dir;
    const std::string cdd = CopySample(dir, "P04-45m.cdd");
    const std::string png = dir.file("p04.png");
    const CliRun r = Render(dir, {cdd, "-o", png, "--size", "640x360", "--show", "XZ", "--smooth", "3"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(PngSize(ReadAll(png)), std::make_pair(640u, 360u));
    // The configuration file the desktop program keeps beside the files is not created.
    EXPECT_FALSE(std::filesystem::exists(dir.file("zel.sysconfig")));

    const CliRun defaults = Render(dir, {cdd, "-o", png});
    EXPECT_EQ(defaults.status, 0);
    EXPECT_EQ(PngSize(ReadAll(png)), std::make_pair(1280u, 720u));

    // No component shown is not an error: the picture stays blank.
    EXPECT_EQ(Render(dir, {cdd, "-o", png, "--show", ""}).status, 0);
}

TEST(CliRender, FailuresAndUsageErrors)
{
    TempDir dir;
    const std::string cdd = CopySample(dir, "P01-12m.cdd");
    const CliRun missing = Render(dir, {dir.file("none.cdd"), "-o", dir.file("a.png")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "无法读取文件\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.png")));

    const CliRun unwritable = Render(dir, {cdd, "-o", dir.file("no/such/folder/a.png")});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err, "无法创建文件\n");

    // A full disk leaves the picture there as it was.
    ASSERT_EQ(Render(dir, {cdd, "-o", dir.file("a.png"), "--size", "8x8"}).status, 0);
    const std::string old = ReadAll(dir.file("a.png"));
    const CliRun full = RunCli(dir, {"render", cdd, "-o", dir.file("a.png")}, 4096);
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "无法创建文件\n");
    EXPECT_EQ(ReadAll(dir.file("a.png")), old);

    EXPECT_EQ(Render(dir, {cdd, "-o", dir.file("a.png"), "--size", "640"}).status, 2);
    EXPECT_EQ(Render(dir, {cdd, "-o", dir.file("a.png"), "--size", "0x100"}).status, 2);
    EXPECT_EQ(Render(dir, {cdd, "-o", dir.file("a.png"), "--show", "XW"}).status, 2);
    EXPECT_EQ(Render(dir, {cdd, "-o", dir.file("a.png"), "--smooth", "0"}).status, 2);
    EXPECT_EQ(Render(dir, {cdd}).status, 2);
}

TEST(CliRenderBatch, EachPictureAsTheOneFileFormPaintsItAndFailuresDoNotStopTheOthers)
{
    TempDir dir;
    const std::string a = CopySample(dir, "P04-45m.cdd");
    const std::string b = CopySample(dir, "P05-60m.cdd");
    std::filesystem::copy_file(b, dir.file("upper.CDD"));
    std::filesystem::create_directory(dir.file("out"));
    const std::vector<std::string> options = {"--size", "700x400", "--show", "XYZ", "--smooth", "4"};

    std::vector<std::string> args = {a, dir.file("none.cdd"), b, dir.file("upper.CDD"), "--output-dir", dir.file("out"),
                                     "--jobs", "3"};
    args.insert(args.end(), options.begin(), options.end());
    const CliRun batch = Render(dir, args);
    EXPECT_EQ(batch.status, 1);
    EXPECT_EQ(batch.out, "");
    // Only the failure, named, and no progress line when standard error is not a terminal.
    EXPECT_EQ(batch.err, dir.file("none.cdd") + ": 无法读取文件\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out/none.png")));

    for (const auto& [file, png] : {std::pair{a, "P04-45m.png"}, {b, "P05-60m.png"}, {dir.file("upper.CDD"), "upper.png"}}) {
        std::vector<std::string> single = {file, "-o", dir.file("single.png")};
        single.insert(single.end(), options.begin(), options.end());
        ASSERT_EQ(Render(dir, single).status, 0);
        const std::string written = ReadAll(dir.file(std::string("out/") + png));
        EXPECT_EQ(PngSize(written), std::make_pair(700u, 400u)) << png;
        // The same encoder with the same settings: equal bytes are equal pixels.
        EXPECT_EQ(written, ReadAll(dir.file("single.png"))) << png;
    }

    const CliRun ok = Render(dir, {a, b, "--output-dir", dir.file("out")});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.err, "");
}

TEST(CliRenderBatch, OutputChoiceIsAUsageErrorAndAMissingFolderAFailure)
{
    TempDir dir;
    const std::string a = CopySample(dir, "P01-12m.cdd");
    EXPECT_EQ(Render(dir, {a, a, "-o", dir.file("x.png")}).status, 2);
    EXPECT_EQ(Render(dir, {a, "-o", dir.file("x.png"), "--output-dir", dir.path()}).status, 2);
    EXPECT_EQ(Render(dir, {a, "--output-dir", dir.path(), "--jobs", "0"}).status, 2);
    const CliRun missing = Render(dir, {a, "--output-dir", dir.file("no-such-folder")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "无法创建文件\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("no-such-folder")));
}

TEST(CliRender, ScaleGivesThePictureAtThatRatioAndOneChangesNothing)
{
    TempDir dir;
    const std::string cdd = CopySample(dir, "P05-60m.cdd");
    std::filesystem::create_directory(dir.file("out"));
    ASSERT_EQ(Render(dir, {cdd, "-o", dir.file("plain.png"), "--size", "500x300"}).status, 0);
    ASSERT_EQ(Render(dir, {cdd, "-o", dir.file("one.png"), "--size", "500x300", "--scale", "1"}).status, 0);
    EXPECT_EQ(ReadAll(dir.file("one.png")), ReadAll(dir.file("plain.png")));

    for (const auto& [scale, size] :
         {std::pair{"1.25", std::make_pair(625u, 375u)}, {"1.5", {750u, 450u}}, {"2", {1000u, 600u}}}) {
        ASSERT_EQ(Render(dir, {cdd, "--output-dir", dir.file("out"), "--size", "500x300", "--scale", scale}).status, 0);
        EXPECT_EQ(PngSize(ReadAll(dir.file("out/P05-60m.png"))), size) << scale;
    }
    for (const char* bad : {"3", "0.5", "1.3", "2x", ""})
        EXPECT_EQ(Render(dir, {cdd, "-o", dir.file("bad.png"), "--scale", bad}).status, 2) << bad;
}
