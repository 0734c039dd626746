#pragma once

#include "analysis/Interpretation.h"

#include <QString>

#include <optional>
#include <utility>
#include <vector>

class CDrawView;
class QPainter;

// The automatic interpretation's suggestion over the graph: the bottom and the joints as dashed
// lines in their marker colours, each labelled "建议". It is drawn on the screen over the painted
// graph, like the markers after the paint, but never into the backing image, so pictures, printed
// pages and the inverted marker lines know nothing of it. It is shown only when asked for.
class SuggestionOverlay {
public:
    void Show(const CageSuggestion& suggestion) { m_suggestion = suggestion; }
    void Clear() { m_suggestion.reset(); }
    // A suggestion with something to draw or accept is on display.
    bool Shown() const { return !Markers().empty(); }

    // The message pane's line: the suggested bottom and its confidence, then the reason.
    QString Summary() const;

    // What accepting places: (marker kind, depth), the joints as levels 1.. from shallow to deep
    // (at most ten), the bottom as kind 10.
    std::vector<std::pair<int, float>> Markers() const;

    // The dashed lines and labels for the view's current scale; lines span the marker lines'
    // height for the number of shown components.
    void Draw(QPainter& painter, const CDrawView& view, int shownComponents) const;

    // Places the markers as the operator would: the cursor on the sample nearest each depth, then
    // that kind's marker command, exactly as from the context menu. The suggestion is then
    // cleared; the markers show it now. Nothing is written to the file. False when the view shows
    // no samples to place them on.
    bool Accept(CDrawView& view);

private:
    std::optional<CageSuggestion> m_suggestion;
};
