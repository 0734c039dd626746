#include "report/ExcelExportCommand.h"

#include "view/CExportList.h"
#include "view/Prompts.h"
#include "view/TextU16.h"

#include <QFile>

void FillExportList(CExportList& list, const CFileData& data)
{
    list.DeleteAllItems();
    for (const XlsRow& row : BuildExportRows(data))
        list.AppendRow({FromU16(row[0]), FromU16(row[1]), FromU16(row[2])});
}

std::optional<std::vector<XlsRow>> ExportListSheet(const CExportList& list)
{
    std::vector<XlsRow> sheet;
    XlsRow titles;
    for (int c = 0; c < list.columnCount(); ++c) {
        const QString title = list.ColumnTitle(c);
        if (title.isEmpty())
            return std::nullopt;
        titles.push_back(title.toStdU16String());
    }
    sheet.push_back(std::move(titles));
    for (int r = 0; r < list.rowCount(); ++r) {
        XlsRow row;
        for (int c = 0; c < list.columnCount(); ++c)
            row.push_back(list.ItemText(r, c).toStdU16String());
        sheet.push_back(std::move(row));
    }
    return sheet;
}

std::optional<ExcelExportResult> RunExcelExport(CExportList& list, const CFileData& data, Prompts& prompts)
{
    FillExportList(list, data);
    if (list.rowCount() == 0) {
        prompts.Message(QString::fromUtf8(ExcelExportMessage(ExcelExportResult::NoRecords)));
        return ExcelExportResult::NoRecords;
    }

    Prompts::FileRequest request;
    request.title = QString::fromUtf8(kExcelSaveTitle);
    request.filter = QString::fromUtf8(kExcelSaveFilter);
    request.initialPath = QString::fromUtf8(kExcelInitialName);
    request.defaultSuffix = QString::fromUtf8(kExcelDefaultSuffix);
    request.confirmOverwrite = true;
    const QString path = prompts.SaveFileName(request).path;
    if (path.isEmpty())
        return std::nullopt;

    const std::optional<std::vector<XlsRow>> sheet = ExportListSheet(list);
    if (!sheet)
        return std::nullopt;
    // The old workbook is replaced only once the new one is complete, so a failure keeps it.
    const XlsWriteResult written =
        WriteXlsWorkbook(QFile::encodeName(path).toStdString(), kExcelTableName, *sheet);
    const ExcelExportResult result = written == XlsWriteResult::Ok ? ExcelExportResult::Ok : ExcelExportResult::SaveFailed;
    prompts.Message(QString::fromUtf8(ExcelExportMessage(result)),
                    result == ExcelExportResult::Ok ? Prompts::Kind::Information : Prompts::Kind::Warning);
    return result;
}
