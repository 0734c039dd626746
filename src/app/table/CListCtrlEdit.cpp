#include "app/table/CListCtrlEdit.h"

#include "app/table/CEditListCtrl.h"

#include <QFocusEvent>
#include <QFontDatabase>
#include <QKeyEvent>

CListCtrlEdit::CListCtrlEdit(CEditListCtrl& grid, QWidget* parent) : QLineEdit(parent), m_grid(grid)
{
    setObjectName(QStringLiteral("edit%1").arg(kControlId));
    setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    setFrame(true);
    hide();
}

void CListCtrlEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Committed at once rather than posted: leaving table mode asks to save right after the focus
    // has gone, and the typed value must be in the grid by then.
    m_grid.OnEndEdit();
    m_grid.OnFocusLeft();
}

void CListCtrlEdit::keyPressEvent(QKeyEvent* event)
{
    // Enter hands the focus back to the grid, which ends the edit like any other loss of focus.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_grid.setFocus(Qt::OtherFocusReason);
        return;
    }
    QLineEdit::keyPressEvent(event);
}
