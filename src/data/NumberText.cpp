#include "data/NumberText.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>

namespace {

template <typename... Args>
std::string CharsOf(Args... args)
{
    // Wide enough for any double in fixed notation with a few decimals (309 digits before the point).
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, args...);
    return std::string(buf, res.ptr);
}

bool IsBlank(char16_t c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// Where a number's digits start for atoi and atof: after the leading blanks and one sign.
std::size_t SkipBlanksAndSign(std::u16string_view text, bool& negative)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    return i;
}

// Whether the decimal number at the start of text (digits, a fraction, an exponent) is below 1 in
// magnitude. For a number outside the double range this tells an underflow, which reads as 0 like
// the C library reads it, from an overflow, which reads as infinity.
bool MagnitudeBelowOne(std::string_view text)
{
    std::size_t i = 0;
    int64_t intDigits = 0, fractionZeros = 0;
    bool nonZero = false, pastPoint = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !pastPoint) {
            pastPoint = true;
        } else if (c < '0' || c > '9') {
            break;
        } else if (!pastPoint) {
            nonZero = nonZero || c != '0';
            intDigits += nonZero ? 1 : 0;
        } else if (!nonZero) {
            nonZero = c != '0';
            fractionZeros += nonZero ? 0 : 1;
        }
    }
    if (!nonZero) {
        return true;
    }
    // Decimal exponent of the first significant digit, then the written exponent on top.
    int64_t magnitude = intDigits > 0 ? intDigits - 1 : -(fractionZeros + 1);
    if (i + 1 < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        const bool negative = text[j] == '-';
        j += text[j] == '-' || text[j] == '+' ? 1 : 0;
        int64_t exponent = 0;
        for (; j < text.size() && text[j] >= '0' && text[j] <= '9'; ++j) {
            exponent = std::min<int64_t>(exponent * 10 + (text[j] - '0'), int64_t(1) << 40);
        }
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude < 0;
}

}  // namespace

std::string ShortestText(float value) { return CharsOf(value); }

std::string ShortestText(double value) { return CharsOf(value); }

std::string FixedText(double value, int decimals) { return CharsOf(value, std::chars_format::fixed, decimals); }

int32_t ParseLeadingInt(std::u16string_view text)
{
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(text, negative);
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = std::min<int64_t>(value * 10 + (text[i] - u'0'), int64_t(INT32_MAX) + 1);
    }
    value = negative ? -value : value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

double ParseLeadingDouble(std::u16string_view text)
{
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(text, negative);
    // from_chars takes neither blanks nor a '+'; what follows the sign must be the number itself.
    std::string ascii;
    for (; i < text.size() && text[i] < 0x80; ++i) {
        ascii.push_back(static_cast<char>(text[i]));
    }
    if (ascii.empty() || ascii[0] == '+' || ascii[0] == '-') {
        return 0.0;
    }
    double value = 0.0;
    const auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        value = MagnitudeBelowOne(ascii) ? 0.0 : HUGE_VAL;
    } else if (res.ec != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

std::optional<int32_t> ParseWholeNumber(std::u16string_view text)
{
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(text, negative);
    const std::size_t digits = i;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = std::min<int64_t>(value * 10 + (text[i] - u'0'), int64_t(INT32_MAX) + 2);
    }
    if (i == digits) {
        return std::nullopt;
    }
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    value = negative ? -value : value;
    if (i != text.size() || value < INT32_MIN || value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}
