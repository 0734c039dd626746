#pragma once

#include "view/ITableDisplay.h"

#include <QString>
#include <QTableWidget>

#include <cstdint>
#include <string>
#include <vector>

class CDrawView;
class CListCtrlEdit;
class IFrameState;
class Prompts;

// The table display: a grid child of the drawing view that covers it in table mode. Five groups
// of three columns (depth, vertical component, vertical gradient) side by side, so that a long
// run fits on one screen. The first group starts with the shallowest sample and every column runs
// towards greater depth. Z cells can be overtyped in place; leaving table mode with the focus in
// the grid offers to write the Z column back into the file.
class CEditListCtrl : public QTableWidget, public ITableDisplay {
    Q_OBJECT
public:
    static constexpr int kControlId = 2000;
    static constexpr int kColumnCount = 15;
    static constexpr int kGroups = 5;

    // Created as a hidden child of view, whose screen slot it shows; it shows only in table mode.
    explicit CEditListCtrl(CDrawView* view);

    // What the grid needs of the main frame (the display mode) and where it asks its question.
    void SetFrame(const IFrameState* frame) { m_pFrame = frame; }
    void SetPrompts(Prompts* prompts) { m_pPrompts = prompts; }
    // The file the grid was filled from, which a write-back of its Z column goes into.
    const QString& FilledPath() const { return m_strFilledPath; }

    // Refills the grid from the drawing view's screen slot when the view paints in table mode.
    void Fill() override;

    // Covers a client area of size client and shares its width equally among the 15 columns, each
    // at least as wide as its texts.
    void FitTo(QSize client);

    // Layout for N samples: R = (N + 5) / 5 rows; cell (row, group) shows sample N - 1 - (group R +
    // row), -1 when there is none.
    static int RowsFor(int nCount) { return (nCount + 5) / 5; }
    static int SampleAt(int nCount, int nRow, int nGroup);
    static bool IsZColumn(int nColumn) { return (nColumn + 2) % 3 == 0; }
    // A gradient in nT/m as the grid shows it; empty when the step is 0.
    static QString GradientText(int32_t dz, int32_t step);

    // Editing: a double click at a viewport point begins it, the edit box's loss of focus ends it.
    void BeginEdit(int nRow, int nColumn);
    void OnEndEdit();
    bool IsEditing() const { return m_bEditing; }
    CListCtrlEdit* EditBox() const { return m_edit; }

    // Texts of every Z cell counted down the column groups (group g, row r is entry g R + r): what
    // the Z write-back takes.
    std::vector<std::u16string> ZCellTexts() const;

    // The focus has left the grid (or its edit box). After table mode was left this is the moment
    // to offer saving.
    void OnFocusLeft();

    // Row and column of the last double click.
    int m_nItem = -1;
    int m_nSubItem = -1;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void LayOut(QSize client);
    void SizeColumns(int clientWidth);
    void SetGradientCell(int nRow, int nColumn, int32_t dz, int32_t step);
    void CancelEdit();
    void AskToSave();

    CDrawView* m_pView;
    const IFrameState* m_pFrame = nullptr;
    Prompts* m_pPrompts = nullptr;
    CListCtrlEdit* m_edit = nullptr;
    bool m_bEditing = false;
    bool m_bAsking = false;
    // The file and sample count of the last fill: the write-back goes to the file the grid shows,
    // even when another file has been chosen since.
    QString m_strFilledPath;
    int m_nFilledCount = 0;
};

// The three titles every group of columns repeats.
QStringList TableColumnTitles(int nColumns);
