#pragma once

#include <QWidget>

#include <vector>

class CStatusPane;

// The message pane and the nine information panes of the status bar, side by side. The width is
// shared by need: every pane whose text fits gets all of it, and only the longest texts are cut
// to "…". A message the operator asked for (the interpretation's reason) comes first.
class CStatusLine : public QWidget {
    Q_OBJECT
public:
    explicit CStatusLine(QWidget* parent = nullptr);

    CStatusPane* MessagePane() const { return m_panes.front(); }
    // Information pane index (0..8), in the order of the bar.
    CStatusPane* Pane(int index) const { return m_panes[std::size_t(index) + 1]; }
    int PaneCount() const { return int(m_panes.size()) - 1; }

    // While tip is not empty the message pane shows it instead of its own text.
    void ShowTip(const QString& tip);

    // Widths for panes that need needs[i] pixels out of available; entry 0 is the message pane,
    // which is served first as long as every other pane keeps min(need, floor). The rest is
    // shared with one cap for all: panes below it get their need. What is left over goes to the
    // message pane.
    static std::vector<int> ShareWidths(const std::vector<int>& needs, int available, int floor);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayOutPanes();

    std::vector<CStatusPane*> m_panes;
    QString m_strMessage;
    bool m_bTipShown = false;
};
