#pragma once

#include <QDialog>

class CDrawView;
class Prompts;
class QLineEdit;

// Dialog 142: the number of smoothing points of the file on display. It is built anew for every
// use and always opens showing "1", not the current count; Esc or the window frame leave the count
// as it was.
class CSmoothSetDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kResourceId = 142;
    static constexpr int kPointsEditId = 1019;

    // view is the graph view whose displayed data set is smoothed; without one OK only reports
    // that the setting failed.
    CSmoothSetDlg(CDrawView* view, Prompts& prompts, QWidget* parent = nullptr);

    QLineEdit* PointsEdit() const { return m_pPointsEdit; }

    // The OK button: applies the typed count (1..10, anything else gives 1) and closes.
    void OnOK();

    // The count the typed text stands for: its leading decimal integer when it lies in 1..10,
    // else 1, so that a mistyped entry switches smoothing off instead of being refused.
    static int PointsFromText(const QString& text);

private:
    CDrawView* m_pView;
    Prompts& m_prompts;
    QLineEdit* m_pPointsEdit;
};
