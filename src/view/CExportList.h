#pragma once

#include <QStandardItemModel>

// The graph view's export list (control 2000): three columns "深度", "垂直分量", "垂直梯度" that
// the Excel export fills with one row per sample and reads back as the worksheet, column titles
// included. It is never shown, so a model serves where a hidden list control once did.
class CExportList : public QStandardItemModel {
    Q_OBJECT
public:
    static constexpr int kControlId = 2000;
    static constexpr int kColumnCount = 3;

    explicit CExportList(QObject* parent = nullptr);

    // Removes every row; the column titles stay.
    void DeleteAllItems();
    // Appends a row with the given cell texts (missing cells stay empty).
    void AppendRow(const QStringList& texts);

    // Title of column (empty for a column that does not exist) and cell text of row, column.
    QString ColumnTitle(int column) const;
    QString ItemText(int row, int column) const;
};
