#pragma once

#include <QLineEdit>

class CEditListCtrl;

// The in-place edit box of the table display. It lives hidden over the grid between edits; losing
// the focus, for whatever reason (a click elsewhere, a dialog, leaving table mode), ends the edit
// and hands the text to the grid.
class CListCtrlEdit : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int kControlId = 1;

    CListCtrlEdit(CEditListCtrl& grid, QWidget* parent);

    // The cell under edit, copied from the grid when the edit begins.
    int m_nItem = -1;
    int m_nSubItem = -1;

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CEditListCtrl& m_grid;
};
