// append-tail: the tail insertion.
#include "cli/CliCommon.h"
#include "cli/CliLoad.h"

#include "data/Adjustments.h"
#include "data/Messages.h"

#include <iostream>
#include <memory>

namespace {

void RunAppendTail(const std::string& path)
{
    auto slot = std::make_unique<FileSlot>();
    LoadOrFail(*slot, path);
    const CorrectionResult result = InsertTailInFile(*slot, path);
    if (!result.corrected) {
        throw CliFailure(result.refusal);
    }
    std::cout << msg::kTailInsertion << '\n';
    CheckWrite(result.write);
}

}  // namespace

void AddAppendTailCommand(CLI::App& app)
{
    auto* cmd = app.add_subcommand("append-tail", "Append five copies of the shallowest sample");
    auto path = std::make_shared<std::string>();
    cmd->add_option("FILE", *path, "measurement file (.cdd)")->required();
    cmd->callback([=] { RunAppendTail(*path); });
}
