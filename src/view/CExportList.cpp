#include "view/CExportList.h"

CExportList::CExportList(QObject* parent) : QStandardItemModel(0, kColumnCount, parent)
{
    setObjectName(QStringLiteral("exportList%1").arg(kControlId));
    setHorizontalHeaderLabels({QStringLiteral("深度"), QStringLiteral("垂直分量"), QStringLiteral("垂直梯度")});
    for (int c = 0; c < kColumnCount; ++c)
        setHeaderData(c, Qt::Horizontal, int(Qt::AlignCenter), Qt::TextAlignmentRole);
}

void CExportList::DeleteAllItems()
{
    removeRows(0, rowCount());
}

void CExportList::AppendRow(const QStringList& texts)
{
    QList<QStandardItem*> items;
    for (int c = 0; c < columnCount(); ++c)
        items.append(new QStandardItem(c < texts.size() ? texts[c] : QString()));
    appendRow(items);
}

QString CExportList::ColumnTitle(int column) const
{
    return headerData(column, Qt::Horizontal).toString();
}

QString CExportList::ItemText(int row, int column) const
{
    return data(index(row, column)).toString();
}
