// save-markers: the save-as copy with a new marker table.
#include "cli/CliArgs.h"
#include "cli/CliCommon.h"
#include "cli/CliLoad.h"

#include "data/MeasurementFile.h"

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace {

void RunSaveMarkers(const std::string& path, const std::string& outPath, std::optional<float> bottom,
                    const std::map<int, float>& joints)
{
    std::array<float, kMarkerSlots> depths{};
    for (const auto& [level, depth] : joints) {
        depths[level - 1] = depth;
    }
    if (bottom) {
        depths[kBottomMarker] = *bottom;
    }
    CheckWrite(SaveAsCopy(path, outPath, depths));
}

}  // namespace

void AddSaveMarkersCommand(CLI::App& app)
{
    auto* cmd = app.add_subcommand("save-markers", "Save a copy of a file with a new marker table");
    auto path = std::make_shared<std::string>();
    auto out = std::make_shared<std::string>();
    auto bottom = std::make_shared<std::optional<float>>();
    auto joints = std::make_shared<std::vector<std::string>>();
    cmd->add_option("FILE", *path, "measurement file (.cdd)")->required();
    cmd->add_option("-o,--output", *out, "file to write (may be FILE itself)")->required();
    cmd->add_option_function<std::string>(
        "--bottom", [bottom](const std::string& v) { *bottom = ParseDepth(v); }, "cage bottom depth (m)");
    cmd->add_option("--joint", *joints, "joint LEVEL=DEPTH, level 1..10")->allow_extra_args(false);
    cmd->callback([=] {
        std::map<int, float> parsed;
        for (const std::string& j : *joints) {
            const auto [level, depth] = SplitPair(j);
            const long long lv = ParseWhole(level);
            if (lv < 1 || lv > 10) {
                throw CLI::ValidationError("joint level must be 1..10: '" + level + "'");
            }
            parsed[static_cast<int>(lv)] = ParseDepth(depth);
        }
        RunSaveMarkers(*path, *out, *bottom, parsed);
    });
}
