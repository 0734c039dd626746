#include "app/adjust/HiddenAdjustment.h"

#include "data/MeasurementFile.h"
#include "data/Messages.h"
#include "view/CDrawView.h"
#include "view/Prompts.h"

#include <memory>

namespace {

void ReloadAfterRewrite(CDrawView& view, const FileSlot& changed, WriteResult result, Prompts& prompts)
{
    const std::string path = view.m_strFilePath.toStdString();
    if (result == WriteResult::Ok)
        view.m_screenData = changed;
    else
        prompts.Message(QString::fromUtf8(WriteResultMessage(result)));
    // Read back at once rather than at the next graph paint: the table is refilled from memory,
    // and moved or added samples get their differences only from a load.
    bool loaded = false;
    try {
        loaded = FullLoad(view.m_screenData, path) == LoadResult::Ok;
    } catch (const InvalidTestDateError&) {
        // The file was shown before with this date; the graph paint reports it if it is bad now.
    }
    if (!loaded)
        ClearLoadedData(view.m_screenData);
    view.m_tableDirty = 1;
    view.m_reloadOnce = 1;
    view.Invalidate();
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
    auto changed = std::make_unique<FileSlot>(view.m_screenData);
    const CorrectionResult result = CorrectStartDepthInFile(*changed, view.m_strFilePath.toStdString(), plan);
    ReloadAfterRewrite(view, *changed, result.write, prompts);
}

bool InsertTailPoints(CDrawView& view, Prompts& prompts)
{
    if (RefusedWithoutData(view, prompts))
        return false;
    auto changed = std::make_unique<FileSlot>(view.m_screenData);
    const CorrectionResult result = InsertTailInFile(*changed, view.m_strFilePath.toStdString());
    if (!result.corrected) {
        prompts.Message(QString::fromUtf8(result.refusal));
        return false;
    }
    prompts.Message(QString::fromUtf8(msg::kTailInsertion), Prompts::Kind::Information);
    ReloadAfterRewrite(view, *changed, result.write, prompts);
    return true;
}
