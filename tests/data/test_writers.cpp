#include "CddBuilder.h"

#include "data/MeasurementFile.h"
#include "data/PathUtil.h"
#include "data/SafeFile.h"
#include "data/TextCodec.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

namespace fs = std::filesystem;

CddBuilder SampleFile()
{
    CddBuilder b;
    b.primary.samples = {{100, 200, 50000, 1.0f}, {110, 190, 50100, 0.75f}, {90, 230, 49900, 0.5f},
                         {95, 231, 49800, 0.25f}, {96, 232, 49700, 0.0f}};
    b.primary.project = "\x80\xFF\xA0";
    b.secondary.samples = {{1, 2, 3, 4.0f}};
    b.secondary.site = "\xC1\xE9";
    b.reportTexts = {"pile", "eng", "a long note text", "2020-1-1", "proj", "site"};
    return b;
}

// Every byte outside [from, to) is equal.
void ExpectSameOutside(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, std::size_t from,
                       std::size_t to)
{
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (i < from || i >= to) {
            ASSERT_EQ(a[i], b[i]) << "byte " << i;
        }
    }
}

void MakeReadOnly(const std::string& path)
{
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

TEST(SaveAsCopy, StampsTheMarkerTableAndKeepsEveryOtherByte)
{
    TempDir dir;
    const auto original = SampleFile().bytes();
    WriteBytes(dir.file("a.cdd"), original);
    std::array<float, 11> depths{};
    depths[10] = 12.25f;
    depths[2] = 4.5f;
    ASSERT_EQ(SaveAsCopy(dir.file("a.cdd"), dir.file("copy.cdd"), depths), WriteResult::Ok);
    const auto copy = ReadBytes(dir.file("copy.cdd"));
    ExpectSameOutside(original, copy, 0, 48);
    EXPECT_EQ(CddBuilder::get(copy, 0), 11);
    EXPECT_FLOAT_EQ(CddBuilder::getf(copy, 4 + 40), 12.25f);
    EXPECT_FLOAT_EQ(CddBuilder::getf(copy, 4 + 8), 4.5f);
    EXPECT_EQ(ReadBytes(dir.file("a.cdd")), original) << "the current file is not touched";

    ASSERT_EQ(SaveAsCopy(dir.file("a.cdd"), dir.file("a.cdd"), depths), WriteResult::Ok);
    EXPECT_EQ(ReadBytes(dir.file("a.cdd")), copy) << "onto itself rewrites it stamped";
}

TEST(Writers, FailuresLeaveEveryFileAsItWas)
{
    TempDir dir;
    const auto original = SampleFile().bytes();
    WriteBytes(dir.file("a.cdd"), original);
    WriteBytes(dir.file("ro.cdd"), original);
    MakeReadOnly(dir.file("ro.cdd"));
    std::array<float, 11> depths{};
    depths[10] = 1.0f;

    EXPECT_EQ(SaveAsCopy(dir.file("missing.cdd"), dir.file("x.cdd"), depths), WriteResult::CannotRead);
    EXPECT_EQ(SaveAsCopy(dir.file("ro.cdd"), dir.file("x.cdd"), depths), WriteResult::CannotRead);
    EXPECT_EQ(SaveAsCopy(dir.file("a.cdd"), dir.file("ro.cdd"), depths), WriteResult::CannotCreate);
    EXPECT_EQ(SaveAsCopy(dir.file("a.cdd"), dir.file("no/such/folder.cdd"), depths), WriteResult::CannotCreate);
    EXPECT_EQ(SaveAsCopy(dir.file("a.cdd"), dir.path(), depths), WriteResult::CannotCreate);
    EXPECT_FALSE(fs::exists(dir.file("x.cdd")));

    FileSlot slot;
    ASSERT_EQ(FullLoad(slot, dir.file("a.cdd")), LoadResult::Ok);
    EXPECT_EQ(ZWriteBack(dir.file("ro.cdd"), 5, {u"1"}), WriteResult::CannotRead);
    EXPECT_EQ(DataRewrite(dir.file("ro.cdd"), slot), WriteResult::CannotRead);
    EXPECT_EQ(ReportSave(dir.file("ro.cdd"), ReportTexts{}), WriteResult::CannotRead);
    EXPECT_EQ(ReadBytes(dir.file("ro.cdd")), original);
    EXPECT_EQ(ReadBytes(dir.file("a.cdd")), original);

    // No temporary file is left behind by any of the failures.
    int entries = 0;
    for (const auto& e : fs::directory_iterator(dir.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 2);
}

TEST(Writers, ReplacementKeepsThePermissionsOfTheFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows files have a read-only attribute, not permission bits";
#endif
    TempDir dir;
    WriteBytes(dir.file("a.cdd"), SampleFile().bytes());
    fs::permissions(dir.file("a.cdd"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(ZWriteBack(dir.file("a.cdd"), 5, {u"7"}), WriteResult::Ok);
    EXPECT_EQ(fs::status(dir.file("a.cdd")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(Writers, ChineseFolderAndFileNamesAreKept)
{
    // Operators name folders and files after sites and piles; on Windows the UTF-8 names must
    // reach the file system as the same characters, not through the ANSI code page.
    TempDir dir;
    const std::string folder = JoinPath(dir.path(), "工地 一");
    const std::string path = JoinPath(folder, "钢筋笼.cdd");
    ASSERT_TRUE(fs::create_directory(NativePath(folder)));
    const auto original = SampleFile().bytes();
    ASSERT_TRUE(ReplaceFileContents(path, original));
    ASSERT_EQ(ZWriteBack(path, 5, {u"7"}), WriteResult::Ok) << "replacing an existing file";

    const FileBytes back = ReadWholeFile(path);
    ASSERT_EQ(back.status, ReadStatus::Ok);
    EXPECT_EQ(back.bytes.size(), original.size());
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(NativePath(folder))) {
        names.push_back(Utf8Path(e.path().filename()));
    }
    EXPECT_EQ(names, std::vector<std::string>{"钢筋笼.cdd"}) << "one file, under its own name";
}

TEST(ZWriteBack, WritesTheZColumnsDownTheGroupsAndNothingElse)
{
    TempDir dir;
    const auto original = SampleFile().bytes();
    WriteBytes(dir.file("a.cdd"), original);
    // N = 5, R = 2: cells count down from the shallowest sample.
    std::vector<std::u16string> cells = {u"  -42 ", u"+17", u"\t0", u"2147483647", u"-2147483648"};
    // Anything but a whole number in any cell refuses the whole write-back.
    for (const std::u16string bad : {u"44 610", u"17abc", u"x", u"", u"1.5", u"2147483648", u"-2147483649", u"+"}) {
        std::vector<std::u16string> refused = cells;
        refused[2] = bad;
        EXPECT_EQ(ZWriteBack(dir.file("a.cdd"), 5, refused), WriteResult::NotWholeNumber);
        EXPECT_EQ(ReadBytes(dir.file("a.cdd")), original);
    }
    EXPECT_STREQ(WriteResultMessage(WriteResult::NotWholeNumber), "请输入一个整数。");
    ASSERT_EQ(ZWriteBack(dir.file("a.cdd"), 5, cells), WriteResult::Ok);
    const auto after = ReadBytes(dir.file("a.cdd"));
    auto z = [&](int s) { return CddBuilder::get(after, 1024 + 16 * s + 8); };
    EXPECT_EQ(z(4), -42);
    EXPECT_EQ(z(3), 17);
    EXPECT_EQ(z(2), 0);
    EXPECT_EQ(z(1), 2147483647);
    EXPECT_EQ(z(0), INT32_MIN);
    std::vector<unsigned char> expected = original;
    for (int s = 0; s < 5; ++s) CddBuilder::put(expected, 1024 + 16 * s + 8, z(s));
    EXPECT_EQ(after, expected);
}

TEST(DataRewrite, WritesTheSlotAndKeepsHighBytesOfAcquisitionTexts)
{
    TempDir dir;
    const auto original = SampleFile().bytes();
    WriteBytes(dir.file("a.cdd"), original);
    auto slot = std::make_unique<FileSlot>();
    ASSERT_EQ(FullLoad(*slot, dir.file("a.cdd")), LoadResult::Ok);
    ASSERT_EQ(DataRewrite(dir.file("a.cdd"), *slot), WriteResult::Ok);
    EXPECT_EQ(ReadBytes(dir.file("a.cdd")), original) << "an unchanged slot rewrites the same bytes";

    // Dropping the two shallowest samples shortens the content; the old tail stays behind it.
    slot->primary.m_nCount = 3;
    slot->primary.m_fStartDepth = 2.5f;
    ASSERT_EQ(DataRewrite(dir.file("a.cdd"), *slot), WriteResult::Ok);
    const auto after = ReadBytes(dir.file("a.cdd"));
    ASSERT_EQ(after.size(), original.size());
    EXPECT_FLOAT_EQ(CddBuilder::getf(after, 520), 2.5f);
    EXPECT_EQ(CddBuilder::get(after, 528), 3);
    EXPECT_EQ(after[1024 + 48 + 15], 15) << "separator right after the third sample";
    auto reread = std::make_unique<FileSlot>();
    ASSERT_EQ(FullLoad(*reread, dir.file("a.cdd")), LoadResult::Ok);
    EXPECT_EQ(reread->primary.m_nCount, 3u);
    EXPECT_EQ(reread->secondary.m_strSite, WidenBytes("\xC1\xE9"));
    EXPECT_EQ(reread->secondary.m_raw[0].z, 3);
    EXPECT_EQ(FormatTestDate(reread->secondary.m_testDate), "2024-05-17");
    const std::size_t tailStart = 1024 + 48 + 16 + 20 + 4 + 5 + 3 + 12 + 16;
    EXPECT_TRUE(std::equal(after.begin() + tailStart, after.end(), original.begin() + tailStart));
}

TEST(ReportSave, StoresLengthsAndGbkTextsAndKeepsTheOldTail)
{
    TempDir dir;
    const auto original = SampleFile().bytes();
    WriteBytes(dir.file("a.cdd"), original);
    ReportTexts t;
    t.detectedLength = u" 18.5m";
    t.startDepth = u"abc";
    t.designCageLength = u"-3e1";
    t.designPileLength = u"+.5";
    t.pileNo = u"A";
    t.engineeringName = u"工程";
    t.notes = u"";
    t.date = u"2024-6-1";
    t.project = u"P";
    t.site = u"S";
    ASSERT_EQ(ReportSave(dir.file("a.cdd"), t), WriteResult::Ok);
    const auto after = ReadBytes(dir.file("a.cdd"));
    EXPECT_EQ(CddBuilder::get(after, 48), 1);
    EXPECT_FLOAT_EQ(CddBuilder::getf(after, 52), 18.5f);
    EXPECT_FLOAT_EQ(CddBuilder::getf(after, 56), 0.0f);
    EXPECT_FLOAT_EQ(CddBuilder::getf(after, 60), -30.0f);
    EXPECT_FLOAT_EQ(CddBuilder::getf(after, 64), 0.5f);
    const std::string block = std::string("A\0\xB9\xA4\xB3\xCC\0\0" "2024-6-1\0P\0S\0", 21);
    EXPECT_EQ(std::string(after.begin() + 68, after.begin() + 68 + 21), block);
    ExpectSameOutside(original, after, 48, 68 + 21);

    FileSlot slot;
    ASSERT_EQ(FullLoad(slot, dir.file("a.cdd")), LoadResult::Ok);
    EXPECT_EQ(slot.primary.m_strEngineeringName, u"工程");
    EXPECT_EQ(slot.primary.m_strReportSite, u"S") << "reading stops at the sixth NUL";
}

TEST(ReportSave, RefusesTextsThatDoNotFitWithoutTouchingTheFile)
{
    TempDir dir;
    const auto original = SampleFile().bytes();
    WriteBytes(dir.file("a.cdd"), original);
    ReportTexts t;
    t.notes = std::u16string(256, u'x');
    EXPECT_EQ(ReportSave(dir.file("a.cdd"), t), WriteResult::TextTooLong);
    t.notes = std::u16string(255, u'x');
    t.engineeringName = std::u16string(200, u'y');
    EXPECT_EQ(ReportSave(dir.file("a.cdd"), t), WriteResult::TextTooLong) << "would reach offset 512";
    t.engineeringName = std::u16string(100, u'y');
    t.site = u"\U0001F600";
    EXPECT_EQ(ReportSave(dir.file("a.cdd"), t), WriteResult::NotEncodable);
    EXPECT_EQ(ReadBytes(dir.file("a.cdd")), original);
    t.site = u"";
    t.engineeringName = std::u16string(68 + 256 + 6 > 512 ? 512 - 68 - 255 - 6 : 0, u'y');
    EXPECT_EQ(ReportSave(dir.file("a.cdd"), t), WriteResult::Ok) << "exactly up to offset 511";
    EXPECT_EQ(ReadBytes(dir.file("a.cdd"))[511], 0);
    EXPECT_EQ(CddBuilder::get(ReadBytes(dir.file("a.cdd")), 520), CddBuilder::get(original, 520));
}

TEST(ReportSave, ATextEndsAtItsFirstNulAndTheOthersKeepTheirPlaces)
{
    TempDir dir;
    const auto original = SampleFile().bytes();
    WriteBytes(dir.file("a.cdd"), original);
    ReportTexts t;
    t.pileNo = std::u16string(u"A\0B", 3);
    t.engineeringName = std::u16string(20, u'\0');
    t.notes = u"N";
    ASSERT_EQ(ReportSave(dir.file("a.cdd"), t), WriteResult::Ok);
    const auto after = ReadBytes(dir.file("a.cdd"));
    EXPECT_EQ(std::string(after.begin() + 68, after.begin() + 75), std::string("A\0\0N\0\0\0", 7));
    ExpectSameOutside(original, after, 48, 68 + 8);
    FileSlot slot;
    ASSERT_EQ(FullLoad(slot, dir.file("a.cdd")), LoadResult::Ok);
    EXPECT_EQ(slot.primary.m_strReportPileNo, u"A");
    EXPECT_EQ(slot.primary.m_strNotes, u"N");
}

}  // namespace

TEST(Writers, NothingIsWrittenIntoAFileTheDataDidNotComeFrom)
{
    TempDir dir;
    const auto original = SampleFile().bytes();
    WriteBytes(dir.file("a.cdd"), original);
    CddBuilder other = SampleFile();
    other.primary.samples.resize(3);
    WriteBytes(dir.file("b.cdd"), other.bytes());
    const auto otherBytes = ReadBytes(dir.file("b.cdd"));
    const std::vector<unsigned char> text(3000, 'a');
    WriteBytes(dir.file("text.cdd"), text);
    WriteBytes(dir.file("empty.cdd"), {});

    // The slot knows where its data came from; a failed load leaves it belonging to no file.
    auto slot = std::make_unique<FileSlot>();
    ASSERT_EQ(FullLoad(*slot, dir.file("a.cdd")), LoadResult::Ok);
    EXPECT_EQ(slot->sourcePath, dir.file("a.cdd"));
    EXPECT_EQ(DataRewrite(dir.file("b.cdd"), *slot), WriteResult::InvalidFile);
    EXPECT_EQ(FullLoad(*slot, dir.file("text.cdd")), LoadResult::Truncated);
    EXPECT_TRUE(slot->sourcePath.empty());
    EXPECT_EQ(DataRewrite(dir.file("a.cdd"), *slot), WriteResult::InvalidFile);
    EXPECT_EQ(DataRewrite(dir.file("text.cdd"), *slot), WriteResult::InvalidFile);

    // A grid of five cells does not fit a file of three samples; files that are not measurement
    // files get neither Z values, nor a marker table, nor a report.
    EXPECT_EQ(ZWriteBack(dir.file("b.cdd"), 5, {u"1", u"2", u"3", u"4", u"5"}), WriteResult::InvalidFile);
    std::array<float, 11> depths{};
    depths[10] = 12.0f;
    ReportTexts texts;
    texts.pileNo = u"P";
    for (const char* name : {"text.cdd", "empty.cdd"}) {
        const auto before = ReadBytes(dir.file(name));
        EXPECT_EQ(ZWriteBack(dir.file(name), 0, {}), WriteResult::InvalidFile) << name;
        EXPECT_EQ(SaveAsCopy(dir.file(name), dir.file(name), depths), WriteResult::InvalidFile) << name;
        EXPECT_EQ(ReportSave(dir.file(name), texts), WriteResult::InvalidFile) << name;
        EXPECT_EQ(ReadBytes(dir.file(name)), before) << name;
    }
    EXPECT_STREQ(WriteResultMessage(WriteResult::InvalidFile), "当前文件无效");
    EXPECT_EQ(ReadBytes(dir.file("a.cdd")), original);
    EXPECT_EQ(ReadBytes(dir.file("b.cdd")), otherBytes);
}

TEST(Writers, ALinkedFileIsReplacedWhereItLivesAndTheLinkStays)
{
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need a privilege that Windows users rarely have";
#endif
    TempDir dir;
    fs::create_directory(dir.file("share"));
    const std::string target = dir.file("share/a.cdd");
    WriteBytes(target, SampleFile().bytes());
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("share/a.cdd", dir.file("link.cdd"));
    fs::create_symlink("link.cdd", dir.file("chain.cdd"));

    ReportTexts texts;
    texts.pileNo = u"LINKED";
    ASSERT_EQ(ReportSave(dir.file("chain.cdd"), texts), WriteResult::Ok);
    auto slot = std::make_unique<FileSlot>();
    ASSERT_EQ(FullLoad(*slot, dir.file("link.cdd")), LoadResult::Ok);
    EXPECT_EQ(slot->primary.m_strReportPileNo, u"LINKED");
    ASSERT_EQ(DataRewrite(dir.file("link.cdd"), *slot), WriteResult::Ok) << "the link names the file it was read from";

    EXPECT_TRUE(fs::is_symlink(dir.file("link.cdd")));
    EXPECT_TRUE(fs::is_symlink(dir.file("chain.cdd")));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.file("share")))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"a.cdd"}) << "no temporary file is left beside the target";
}
