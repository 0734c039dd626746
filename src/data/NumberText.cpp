#include "data/NumberText.h"

#include <charconv>

namespace {

template <typename... Args>
std::string CharsOf(Args... args)
{
    // Wide enough for any double in fixed notation with a few decimals (309 digits before the point).
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, args...);
    return std::string(buf, res.ptr);
}

}  // namespace

std::string ShortestText(float value) { return CharsOf(value); }

std::string ShortestText(double value) { return CharsOf(value); }

std::string FixedText(double value, int decimals) { return CharsOf(value, std::chars_format::fixed, decimals); }
