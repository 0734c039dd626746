#include "app/table/CEditListCtrl.h"

#include "view/GdiContext.h"

#include <QHeaderView>

#include <algorithm>

namespace {
void SetUpGrid(QTableWidget& grid, int nColumns)
{
    grid.setColumnCount(nColumns);
    grid.setHorizontalHeaderLabels(TableColumnTitles(nColumns));
    for (int c = 0; c < nColumns; ++c)
        if (QTableWidgetItem* title = grid.horizontalHeaderItem(c))
            title->setTextAlignment(Qt::AlignCenter);
    grid.setShowGrid(true);
    grid.setSelectionBehavior(QAbstractItemView::SelectRows);
    grid.setSelectionMode(QAbstractItemView::SingleSelection);
    grid.verticalHeader()->setVisible(false);
    grid.horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid.horizontalHeader()->setStretchLastSection(false);
    grid.setFrameShape(QFrame::StyledPanel);
    grid.setFrameShadow(QFrame::Sunken);
    grid.setFocusPolicy(Qt::StrongFocus);
}
}  // namespace

QStringList TableColumnTitles(int nColumns)
{
    static const QString titles[3] = {QStringLiteral("深度"), QStringLiteral("垂直分量"),
                                      QStringLiteral("垂直梯度")};
    QStringList list;
    for (int c = 0; c < nColumns; ++c)
        list.append(titles[c % 3]);
    return list;
}

CEditListCtrl::CEditListCtrl(QWidget* view) : QTableWidget(view)
{
    setObjectName(QStringLiteral("table%1").arg(kControlId));
    SetUpGrid(*this, kColumnCount);
    // The grid keeps its 12-point face for the life of the program.
    setFont(gdi::PointFont(120));
    if (view)
        setGeometry(view->rect());
    hide();
}

void CEditListCtrl::Fill()
{
    // Filled from the screen slot by the table display's own code.
}

void CEditListCtrl::FitTo(QSize client)
{
    setUpdatesEnabled(false);
    setGeometry(0, 0, client.width(), client.height());
    // The grid's own client width: inside its frame.
    const int width = std::max(0, client.width() - 2 * frameWidth());
    for (int c = 0; c < kColumnCount; ++c)
        setColumnWidth(c, width / kColumnCount);
    setUpdatesEnabled(true);
}

QTableWidget* CreateExportList(QWidget* view)
{
    auto* list = new QTableWidget(view);
    list->setObjectName(QStringLiteral("exportList%1").arg(CEditListCtrl::kControlId));
    SetUpGrid(*list, 3);
    if (view)
        list->setGeometry(view->rect());
    // A place to collect rows, never meant to be seen.
    list->hide();
    return list;
}
