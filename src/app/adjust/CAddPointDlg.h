#pragma once

#include <QDialog>

class CDrawView;
class Prompts;
class QLineEdit;

// Dialog 143, "修正起点深度": the operator confirms or corrects the start depth of the file on
// display. OK checks the typed value and, when it stands for at least one step of change, moves the
// data set to the new start depth and rewrites the file; every refusal keeps the dialog open with
// the typed text so it can be corrected.
class CAddPointDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kResourceId = 143;
    static constexpr int kStartDepthEditId = 1001;

    CAddPointDlg(CDrawView& view, Prompts& prompts, QWidget* parent = nullptr);

    QLineEdit* StartDepthEdit() const { return m_editStartDepth; }

    // The OK button.
    void OnOK();

    // The value of the edit box as last exchanged: the start depth on display when the dialog
    // opened, the accepted value after OK.
    float m_fStartDepth;

private:
    CDrawView& m_view;
    Prompts& m_prompts;
    QLineEdit* m_editStartDepth;
};
