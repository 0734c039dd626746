#include "cli/CliLoad.h"

#include "cli/CliCommon.h"
#include "data/MeasurementFile.h"
#include "data/Messages.h"
#include "data/NumberText.h"
#include "data/TextCodec.h"

#include <cmath>
#include <cstdio>

namespace {

void Check(LoadResult result)
{
    if (result == LoadResult::Ok) {
        return;
    }
    if (result == LoadResult::CannotOpen) {
        throw CliFailure(msg::kCannotRead);
    }
    throw CliFailure(LoadResultMessage(result));
}

}  // namespace

void LoadOrFail(FileSlot& slot, const std::string& path)
{
    try {
        Check(FullLoad(slot, path));
    } catch (const InvalidTestDateError&) {
        throw CliFailure(msg::kInvalidTestDate);
    }
}

void HeaderLoadOrFail(FileSlot& slot, const std::string& path)
{
    try {
        Check(HeaderLoad(slot, path));
    } catch (const InvalidTestDateError&) {
        throw CliFailure(msg::kInvalidTestDate);
    }
}

void CheckWrite(WriteResult result)
{
    if (result != WriteResult::Ok) {
        throw CliFailure(WriteResultMessage(result));
    }
}

std::string FloatText(float value)
{
    if (!std::isfinite(value)) {
        return "null";
    }
    return ShortestText(value);
}

std::string JsonString(const std::string& utf8)
{
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out.push_back(static_cast<char>(c));
            }
        }
    }
    return out + "\"";
}

std::string JsonString(const std::u16string& text) { return JsonString(Utf16ToUtf8(text)); }
