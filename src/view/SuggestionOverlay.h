#pragma once

#include "analysis/Interpretation.h"

#include <QRect>
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
    // that kind's marker command, exactly as from the context menu, all of it one undo step. The
    // bottom takes the suggested depth. Joints the operator placed keep their levels and depths;
    // a suggested joint within one step of one of them is taken as that joint, the others go
    // into the free levels from shallow to deep. The suggestion is then cleared; the markers show
    // it now. Nothing is written to the file. False when the view shows no samples to place them
    // on.
    bool Accept(CDrawView& view);

    // Where a label of size text goes beside the line at x: right of it at the top of the lines,
    // else left of it, else lower down, so that it covers neither another line (at the columns
    // lines) nor a title (avoid). Lines run from top to bottom.
    static QRect LabelRect(int x, QSize text, const std::vector<int>& lines, const std::vector<QRect>& avoid, int top,
                           int bottom);

private:
    std::optional<CageSuggestion> m_suggestion;
};
