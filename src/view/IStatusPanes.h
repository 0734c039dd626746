#pragma once

#include <QString>

// Status-bar panes written by the graph view, keyed by the ids the main frame gives them.
namespace pane {
inline constexpr int kProject = 59142;
inline constexpr int kSite = 59143;
inline constexpr int kPileNo = 59144;
inline constexpr int kStartDepth = 59145;
inline constexpr int kCount = 59146;
inline constexpr int kTestDate = 59147;
inline constexpr int kFile = 59148;     // also the depth of the cursor read-out
inline constexpr int kReadout = 59149;  // cursor read-out
inline constexpr int kStep = 59150;
// The panes follow the message pane in id order.
inline constexpr int kFirstPane = kProject;
inline constexpr int kLastPane = kStep;
inline constexpr int kPaneCount = kLastPane - kFirstPane + 1;
}  // namespace pane

// The status bar as the view sees it; the main frame implements it, orvek-cli and tests use a
// plain recorder. Widths are in pixels of the text extent that the view measured.
class IStatusPanes {
public:
    virtual ~IStatusPanes() = default;
    virtual void SetPaneWidth(int paneId, int width) = 0;
    virtual void SetPaneText(int paneId, const QString& text) = 0;
};
