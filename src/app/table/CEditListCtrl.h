#pragma once

#include "view/ITableDisplay.h"

#include <QTableWidget>

// The table display: a grid child of the drawing view that covers it in table mode. Five groups
// of three columns (depth, vertical component, vertical gradient) side by side, so that a long
// run fits on one screen.
class CEditListCtrl : public QTableWidget, public ITableDisplay {
    Q_OBJECT
public:
    static constexpr int kControlId = 2000;
    static constexpr int kColumnCount = 15;

    // Created as a hidden child of view; it shows only in table mode.
    explicit CEditListCtrl(QWidget* view);

    // Refills the grid from the drawing view's screen slot when the view paints in table mode.
    void Fill() override;

    // Covers a client area of size client and shares its width equally among the 15 columns.
    void FitTo(QSize client);
};

// The three titles every group of columns repeats.
QStringList TableColumnTitles(int nColumns);

// The hidden three-column list the Excel export collects its rows in.
QTableWidget* CreateExportList(QWidget* view);
