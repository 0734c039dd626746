#include "CddBuilder.h"

#include "data/Adjustments.h"
#include "data/Messages.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Start depth 20.00 m, step 25 cm, samples one step apart down to 20 - (n-1)/4.
std::unique_ptr<CFileData> Profile(int count, float startDepth = 20.0f)
{
    auto d = std::make_unique<CFileData>();
    d->m_fStartDepth = startDepth;
    d->m_nStep = 25;
    d->m_nCount = static_cast<uint32_t>(count);
    d->m_nSmoothedCount = count;
    for (int i = 0; i < count; ++i) {
        d->m_raw[i] = {100 + i, 200 + i, 45000 + i, startDepth - 0.25f * static_cast<float>(i)};
    }
    return d;
}

TEST(StartDepthCorrection, DeeperAddsCopiesOfTheShallowestSampleAndShiftsEveryDepth)
{
    auto d = Profile(20);
    const float e = d->m_raw[19].depth;
    const StartDepthPlan plan = PlanStartDepthCorrection(*d, u"21.00");
    ASSERT_EQ(plan.check, StartDepthCheck::Ok);
    EXPECT_EQ(plan.steps, 4);
    EXPECT_TRUE(plan.deeper);
    ApplyStartDepthCorrection(*d, plan);
    EXPECT_EQ(d->m_nCount, 24u);
    EXPECT_FLOAT_EQ(d->m_fStartDepth, 21.0f);
    for (int i = 0; i < 20; ++i) EXPECT_FLOAT_EQ(d->m_raw[i].depth, 21.0f - 0.25f * i) << i;
    EXPECT_FLOAT_EQ(d->m_raw[20].depth, e + 0.75f);
    EXPECT_FLOAT_EQ(d->m_raw[23].depth, e);
    EXPECT_EQ(d->m_raw[23].z, 45019);
    EXPECT_EQ(d->m_raw[20].x, 119);
}

TEST(StartDepthCorrection, AHugeStepRenumbersDepthsWithoutOverflow)
{
    auto d = Profile(20, -1.0e7f);
    d->m_nStep = 100000000;  // 1000 km, as a damaged header may claim
    const StartDepthPlan plan = PlanStartDepthCorrection(*d, u"100");
    ASSERT_EQ(plan.check, StartDepthCheck::Ok);
    ASSERT_EQ(plan.steps, 10);
    const float e = d->m_raw[19].depth;
    ApplyStartDepthCorrection(*d, plan);
    ASSERT_EQ(d->m_nCount, 30u);
    EXPECT_FLOAT_EQ(d->m_raw[0].depth, e + 29.0e6f);
    EXPECT_FLOAT_EQ(d->m_raw[28].depth, e + 1.0e6f);
}

TEST(StartDepthCorrection, ShallowerDropsTheDeepestSamplesKeepingDepths)
{
    auto d = Profile(20);
    const StartDepthPlan plan = PlanStartDepthCorrection(*d, u" 19 ");
    ASSERT_EQ(plan.check, StartDepthCheck::Ok);
    ApplyStartDepthCorrection(*d, plan);
    EXPECT_EQ(d->m_nCount, 16u);
    EXPECT_FLOAT_EQ(d->m_raw[0].depth, 19.0f);
    EXPECT_EQ(d->m_raw[0].z, 45004);
    EXPECT_FLOAT_EQ(d->m_raw[15].depth, 15.25f);
}

TEST(StartDepthCorrection, RefusalsChangeNothing)
{
    auto d = Profile(20);
    struct Case {
        const char16_t* text;
        StartDepthCheck expected;
    } cases[] = {
        {u"20.2", StartDepthCheck::LessThanOneStep}, {u"20.005", StartDepthCheck::NotChanged},
        {u"180", StartDepthCheck::Outside0To160},    {u"0.5", StartDepthCheck::OutsideDialogRange},
        {u"250", StartDepthCheck::OutsideDialogRange}, {u"abc", StartDepthCheck::NotANumber},
        {u"21m", StartDepthCheck::NotANumber},       {u"", StartDepthCheck::NotANumber},
        {u"14", StartDepthCheck::WouldRemoveAll},     {u"15.25", StartDepthCheck::Ok},
    };
    for (const Case& c : cases) {
        const StartDepthPlan plan = PlanStartDepthCorrection(*d, c.text);
        EXPECT_EQ(plan.check, c.expected) << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
    }
    EXPECT_EQ(PlanStartDepthCorrection(*Profile(2040), u"23").check, StartDepthCheck::OverCapacity);
    EXPECT_EQ(PlanStartDepthCorrection(*Profile(0), u"23").check, StartDepthCheck::NoSamples);
    auto zeroStep = Profile(10);
    zeroStep->m_nStep = 0;
    EXPECT_EQ(PlanStartDepthCorrection(*zeroStep, u"23").check, StartDepthCheck::LessThanOneStep);
    StartDepthPlan refused = PlanStartDepthCorrection(*d, u"180");
    ApplyStartDepthCorrection(*d, refused);
    EXPECT_EQ(d->m_nCount, 20u);
    EXPECT_FLOAT_EQ(d->m_fStartDepth, 20.0f);
}

TEST(TailInsertion, AppendsFiveCopiesOfTheShallowestSampleWithinCapacity)
{
    auto d = Profile(100);
    ASSERT_TRUE(InsertTail(*d));
    EXPECT_EQ(d->m_nCount, 105u);
    EXPECT_EQ(d->m_nSmoothedCount, 105);
    for (int i = 99; i < 105; ++i) {
        EXPECT_EQ(d->m_raw[i].z, 45099);
        EXPECT_FLOAT_EQ(d->m_raw[i].depth, 20.0f - 0.25f * 99);
    }
    auto full = Profile(2044);
    EXPECT_FALSE(InsertTail(*full));
    EXPECT_EQ(full->m_nCount, 2044u);
    EXPECT_TRUE(InsertTail(*Profile(2043)));
    EXPECT_FALSE(InsertTail(*Profile(0)));
}

// The corrections as both front ends make them: a refusal names its reason and leaves the slot
// and the file alone; a correction is written into the file the slot came from.
TEST(CorrectionsInFile, RefuseWithTheirMessageOrRewriteTheFile)
{
    TempDir dir;
    CddBuilder b;
    b.primary.samples = {{1, 2, 3, 0.5f}, {4, 5, 6, 0.25f}, {7, 8, 9, 0.0f}};
    WriteBytes(dir.file("a.cdd"), b.bytes());
    const auto before = ReadBytes(dir.file("a.cdd"));
    auto slot = std::make_unique<FileSlot>();
    ASSERT_EQ(FullLoad(*slot, dir.file("a.cdd")), LoadResult::Ok);

    StartDepthPlan refused = PlanStartDepthCorrection(slot->primary, u"abc");
    CorrectionResult r = CorrectStartDepthInFile(*slot, dir.file("a.cdd"), refused);
    EXPECT_FALSE(r.corrected);
    EXPECT_STREQ(r.refusal, msg::kEnterNumber);
    slot->primary.m_nCount = 0;
    r = InsertTailInFile(*slot, dir.file("a.cdd"));
    EXPECT_FALSE(r.corrected);
    EXPECT_STREQ(r.refusal, msg::kNoSamples);
    EXPECT_EQ(slot->primary.m_nCount, 0u);
    EXPECT_EQ(ReadBytes(dir.file("a.cdd")), before);

    slot->primary.m_nCount = 3;
    r = InsertTailInFile(*slot, dir.file("a.cdd"));
    EXPECT_TRUE(r.corrected);
    EXPECT_EQ(r.write, WriteResult::Ok);
    auto reread = std::make_unique<FileSlot>();
    ASSERT_EQ(FullLoad(*reread, dir.file("a.cdd")), LoadResult::Ok);
    EXPECT_EQ(reread->primary.m_nCount, 3u + kTailCopies);
    EXPECT_EQ(reread->primary.m_raw[7].z, 9);
}

}  // namespace
