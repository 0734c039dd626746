#include "data/Adjustments.h"

#include "data/Messages.h"

#include <charconv>
#include <cmath>

namespace {

bool IsBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

// A whole-text decimal number, blanks allowed around it, as the dialog's data exchange reads it.
bool ParseWholeFloat(std::u16string_view text, double& out)
{
    std::size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    std::string ascii;
    for (std::size_t i = b; i < e; ++i) {
        if (text[i] >= 0x80) return false;
        ascii.push_back(static_cast<char>(text[i]));
    }
    std::size_t start = 0;
    bool negative = false;
    if (!ascii.empty() && (ascii[0] == '+' || ascii[0] == '-')) {
        negative = ascii[0] == '-';
        start = 1;
    }
    if (start >= ascii.size() || ascii[start] == '+' || ascii[start] == '-') return false;
    const char* first = ascii.data() + start;
    const char* last = ascii.data() + ascii.size();
    const auto res = std::from_chars(first, last, out, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != last || !std::isfinite(out)) return false;
    out = negative ? -out : out;
    return true;
}

// Values and depth of a sample; the differences are left for the next load to recompute.
void CopyReading(SampleRecord& to, const SampleRecord& from)
{
    to.x = from.x;
    to.y = from.y;
    to.z = from.z;
    to.depth = from.depth;
}

}  // namespace

StartDepthPlan PlanStartDepthCorrection(const CFileData& data, std::u16string_view text)
{
    StartDepthPlan plan;
    double parsed = 0.0;
    if (!ParseWholeFloat(text, parsed)) {
        plan.check = StartDepthCheck::NotANumber;
        return plan;
    }
    const float v = static_cast<float>(parsed);
    plan.value = v;
    if (v < kStartDepthDialogMin || v > kStartDepthDialogMax) {
        plan.check = StartDepthCheck::OutsideDialogRange;
        return plan;
    }
    if (v > 160.0f || v < 0.0f) {
        plan.check = StartDepthCheck::Outside0To160;
        return plan;
    }
    const float d = std::fabs(v - data.m_fStartDepth);
    if (!(d >= 0.01f)) {
        plan.check = StartDepthCheck::NotChanged;
        return plan;
    }
    // Single precision, as the instrument's software counts the steps.
    const float steps = data.m_nStep > 0 ? d / static_cast<float>(data.m_nStep) * 100.0f : 0.0f;
    plan.steps = steps < static_cast<float>(kMaxSamples) + 1.0f ? static_cast<int>(steps) : kMaxSamples + 1;
    if (plan.steps == 0) {
        plan.check = StartDepthCheck::LessThanOneStep;
        return plan;
    }
    plan.deeper = !(v < data.m_fStartDepth);
    const int count = static_cast<int>(data.m_nCount);
    if (count == 0) {
        plan.check = StartDepthCheck::NoSamples;
    } else if (!plan.deeper && plan.steps >= count) {
        plan.check = StartDepthCheck::WouldRemoveAll;
    } else if (plan.deeper && count + plan.steps > kMaxSamples) {
        plan.check = StartDepthCheck::OverCapacity;
    } else {
        plan.check = StartDepthCheck::Ok;
    }
    return plan;
}

void ApplyStartDepthCorrection(CFileData& data, const StartDepthPlan& plan)
{
    if (plan.check != StartDepthCheck::Ok) {
        return;
    }
    const int c = static_cast<int>(data.m_nCount);
    const int n = plan.steps;
    if (!plan.deeper) {
        for (int i = n; i < c; ++i) {
            CopyReading(data.m_raw[i - n], data.m_raw[i]);
        }
        data.m_nCount = static_cast<uint32_t>(c - n);
    } else {
        const SampleRecord last = data.m_raw[c - 1];
        for (int i = c; i < c + n; ++i) {
            CopyReading(data.m_raw[i], last);
        }
        data.m_nCount = static_cast<uint32_t>(c + n);
        const float e = last.depth;
        // The step of a damaged header times the sample count can pass the int range; the product
        // is taken in 64 bits, which gives the same depths wherever the int product fits.
        for (int i = 0; i < c + n; ++i) {
            data.m_raw[i].depth = e + static_cast<float>(int64_t(c + n - 1 - i) * data.m_nStep) / 100.0f;
        }
    }
    data.m_fStartDepth = plan.value;
}

bool InsertTail(CFileData& data)
{
    const int c = static_cast<int>(data.m_nCount);
    if (c == 0 || c + kTailCopies > kMaxSamples) {
        return false;
    }
    const SampleRecord last = data.m_raw[c - 1];
    for (int i = c; i < c + kTailCopies; ++i) {
        CopyReading(data.m_raw[i], last);
    }
    data.m_nCount = static_cast<uint32_t>(c + kTailCopies);
    data.m_nSmoothedCount = c + kTailCopies;
    return true;
}

const char* StartDepthCheckMessage(StartDepthCheck check)
{
    switch (check) {
    case StartDepthCheck::Ok:
    case StartDepthCheck::LessThanOneStep: return "";
    case StartDepthCheck::NotANumber: return msg::kEnterNumber;
    case StartDepthCheck::OutsideDialogRange: return msg::kEnterNumber1To200;
    case StartDepthCheck::Outside0To160: return msg::kEnter0To160;
    case StartDepthCheck::NotChanged: return msg::kValueNotChanged;
    case StartDepthCheck::WouldRemoveAll: return msg::kCorrectionRemovesAll;
    case StartDepthCheck::OverCapacity: return msg::kCorrectionOverCapacity;
    case StartDepthCheck::NoSamples: return msg::kNoSamples;
    }
    return "";
}

CorrectionResult CorrectStartDepthInFile(FileSlot& slot, const std::string& path, const StartDepthPlan& plan)
{
    if (plan.check != StartDepthCheck::Ok) {
        return {false, StartDepthCheckMessage(plan.check)};
    }
    ApplyStartDepthCorrection(slot.primary, plan);
    return {true, "", DataRewrite(path, slot)};
}

CorrectionResult InsertTailInFile(FileSlot& slot, const std::string& path)
{
    if (slot.primary.m_nCount == 0) {
        return {false, msg::kNoSamples};
    }
    if (!InsertTail(slot.primary)) {
        return {false, msg::kTailOverCapacity};
    }
    return {true, "", DataRewrite(path, slot)};
}
