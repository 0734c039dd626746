// adjust-start: the start depth correction with the dialog's checks.
#include "cli/CliCommon.h"
#include "cli/CliLoad.h"

#include "data/Adjustments.h"
#include "data/Messages.h"
#include "data/TextCodec.h"

#include <memory>

namespace {

void RunAdjustStart(const std::string& path, const std::string& depthText)
{
    auto slot = std::make_unique<FileSlot>();
    LoadOrFail(*slot, path);
    const StartDepthPlan plan = PlanStartDepthCorrection(slot->primary, Utf8ToUtf16(depthText));
    if (plan.check == StartDepthCheck::LessThanOneStep) {
        // The dialog just stays open; a batch run has to say why nothing happened.
        throw CliFailure(msg::kLessThanOneStep);
    }
    const CorrectionResult result = CorrectStartDepthInFile(*slot, path, plan);
    if (!result.corrected) {
        throw CliFailure(result.refusal);
    }
    CheckWrite(result.write);
}

}  // namespace

void AddAdjustStartCommand(CLI::App& app)
{
    auto* cmd = app.add_subcommand("adjust-start", "Correct the start depth of a file's samples");
    auto path = std::make_shared<std::string>();
    auto depth = std::make_shared<std::string>();
    cmd->add_option("FILE", *path, "measurement file (.cdd)")->required();
    cmd->add_option("DEPTH", *depth, "new start depth in metres")->required();
    cmd->callback([=] { RunAdjustStart(*path, *depth); });
}
