#include "cli/CliLoad.h"

#include "cli/CliCommon.h"
#include "data/MeasurementFile.h"
#include "data/Messages.h"
#include "data/NumberText.h"

#include <cmath>

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

std::string FloatText(float value)
{
    if (!std::isfinite(value)) {
        return "null";
    }
    return ShortestText(value);
}
