#include "report/ExcelExportCommand.h"

#include "view/Prompts.h"

#include <QFile>

std::optional<ExcelExportResult> RunExcelExport(std::vector<XlsRow>& rows, const CFileData& data, Prompts& prompts)
{
    rows = BuildExportRows(data);
    if (rows.empty()) {
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

    // The old workbook is replaced only once the new one is complete, so a failure keeps it.
    const ExcelExportResult result = WriteExportWorkbook(QFile::encodeName(path).toStdString(), rows);
    prompts.Message(QString::fromUtf8(ExcelExportMessage(result)),
                    result == ExcelExportResult::Ok ? Prompts::Kind::Information : Prompts::Kind::Warning);
    return result;
}
