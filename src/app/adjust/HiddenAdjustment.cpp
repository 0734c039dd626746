#include "app/adjust/HiddenAdjustment.h"

#include "data/MeasurementFile.h"
#include "data/Messages.h"
#include "view/CDrawView.h"
#include "view/Prompts.h"

#include <memory>

namespace {

void ReloadAfterRewrite(CDrawView& view, const FileSlot& changed, WriteResult result, Prompts& prompts)
{
    FileSlot& shown = view.File().ScreenData();
    const std::string path = view.File().FilePath().toStdString();
    if (result == WriteResult::Ok)
        shown = changed;
    else
        prompts.Message(QString::fromUtf8(WriteResultMessage(result)));
    // Read back at once rather than at the next graph paint: the table is refilled from memory,
    // and moved or added samples get their differences only from a load.
    bool loaded = false;
    try {
        loaded = FullLoad(shown, path) == LoadResult::Ok;
    } catch (const InvalidTestDateError&) {
        // The file was shown before with this date; the graph paint reports it if it is bad now.
    }
    if (!loaded)
        ClearLoadedData(shown);
    view.RequestTableRefill();
    view.RequestReload(CDrawCanvas::Reload::Once);
}

// The tools rewrite the file from the view's data, which must be that file's.
bool RefusedWithoutData(const CDrawView& view, Prompts& prompts)
{
    if (view.ShowsLoadedFile())
        return false;
    prompts.Message(view.NotLoadedMessage());
    return true;
}

}  // namespace

void CorrectStartDepth(CDrawView& view, const StartDepthPlan& plan, Prompts& prompts)
{
    if (plan.check != StartDepthCheck::Ok || RefusedWithoutData(view, prompts))
        return;
    auto changed = std::make_unique<FileSlot>(view.File().ScreenData());
    const CorrectionResult result = CorrectStartDepthInFile(*changed, view.File().FilePath().toStdString(), plan);
    ReloadAfterRewrite(view, *changed, result.write, prompts);
}

bool InsertTailPoints(CDrawView& view, Prompts& prompts)
{
    if (RefusedWithoutData(view, prompts))
        return false;
    auto changed = std::make_unique<FileSlot>(view.File().ScreenData());
    const CorrectionResult result = InsertTailInFile(*changed, view.File().FilePath().toStdString());
    if (!result.corrected) {
        prompts.Message(QString::fromUtf8(result.refusal));
        return false;
    }
    prompts.Message(QString::fromUtf8(msg::kTailInsertion), Prompts::Kind::Information);
    ReloadAfterRewrite(view, *changed, result.write, prompts);
    return true;
}
