#include "cli/CliArgs.h"

#include "cli/CliCommon.h"

namespace {

// The whole of text read by read(text, &used), else a usage error saying what was expected.
template <typename Read>
auto ParseWholeText(const std::string& text, Read read, const char* expected)
{
    std::size_t used = 0;
    decltype(read(text, &used)) v{};
    try {
        v = read(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size()) {
        throw CLI::ValidationError(std::string(expected) + ": '" + text + "'");
    }
    return v;
}

}  // namespace

std::pair<std::string, std::string> SplitPair(const std::string& text)
{
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0) {
        throw CLI::ValidationError("expected KEY=VALUE, got '" + text + "'");
    }
    return {text.substr(0, eq), text.substr(eq + 1)};
}

long long ParseWhole(const std::string& text)
{
    return ParseWholeText(
        text, [](const std::string& t, std::size_t* used) { return std::stoll(t, used); }, "not a whole number");
}

float ParseDepth(const std::string& text)
{
    return ParseWholeText(
        text, [](const std::string& t, std::size_t* used) { return std::stof(t, used); }, "not a depth in metres");
}
