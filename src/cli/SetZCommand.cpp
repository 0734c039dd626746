// set-z: the Z write-back of the table display.
#include "cli/CliArgs.h"
#include "cli/CliCommon.h"
#include "cli/CliLoad.h"

#include "data/MeasurementFile.h"
#include "data/TextCodec.h"

#include <map>
#include <memory>
#include <vector>

namespace {

void RunSetZ(const std::string& path, const std::map<long long, std::string>& edits)
{
    auto slot = std::make_unique<FileSlot>();
    LoadOrFail(*slot, path);
    const CFileData& p = slot->primary;
    const uint32_t n = p.m_nCount;
    // The grid's Z cells, counted down the column groups: cell k shows sample N - 1 - k.
    std::vector<std::u16string> cells(n);
    for (uint32_t k = 0; k < n; ++k) {
        cells[k] = Utf8ToUtf16(std::to_string(p.m_raw[n - 1 - k].z));
    }
    for (const auto& [index, text] : edits) {
        if (index < 0 || index >= static_cast<long long>(n)) {
            throw CliFailure("样本序号超出范围: " + std::to_string(index));
        }
        cells[n - 1 - static_cast<uint32_t>(index)] = Utf8ToUtf16(text);
    }
    CheckWrite(ZWriteBack(path, n, cells));
}

}  // namespace

void AddSetZCommand(CLI::App& app)
{
    auto* cmd = app.add_subcommand("set-z", "Write edited Z values back as the table display does");
    auto path = std::make_shared<std::string>();
    auto pairs = std::make_shared<std::vector<std::string>>();
    cmd->add_option("FILE", *path, "measurement file (.cdd)")->required();
    cmd->add_option("EDITS", *pairs, "INDEX=VALUE pairs")->required();
    cmd->callback([=] {
        std::map<long long, std::string> edits;
        for (const std::string& p : *pairs) {
            const auto [index, value] = SplitPair(p);
            edits[ParseWhole(index)] = value;
        }
        RunSetZ(*path, edits);
    });
}
