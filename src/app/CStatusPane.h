#pragma once

#include <QLabel>

// One information pane of the status bar. The view asks for the width of its text; at any
// window width the panes share what there is without drawing over each other, and a text that
// does not fit ends in "…", with the whole text in the pane's tool tip.
class CStatusPane : public QLabel {
    Q_OBJECT
public:
    explicit CStatusPane(const QString& text, QWidget* parent = nullptr);

    // The text and its tool tip.
    void SetPaneText(const QString& text);
    // The width the pane would like for its text; it gets it when the bar has room.
    void SetPreferredTextWidth(int width);
    // What the pane shows at its current width.
    QString ShownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect TextRect() const;

    int m_nPreferredWidth = 0;
};
