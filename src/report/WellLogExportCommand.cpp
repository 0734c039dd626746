#include "report/WellLogExportCommand.h"

#include "data/PathUtil.h"
#include "view/Prompts.h"

#include <QFile>

namespace {

struct FormatTexts {
    const char* title;
    const char* filter;
    const char* suffix;
};

FormatTexts TextsOf(WellLogFormat format)
{
    if (format == WellLogFormat::Las)
        return {"导出LAS文件", "LAS 文件(*.las)|*.las||", "las"};
    return {"导出CSV文件", "CSV 文件(*.csv)|*.csv||", "csv"};
}

std::string FileSystemName(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

}  // namespace

QString ProposedLogPath(const QString& filePath, WellLogFormat format)
{
    const std::string path = FileSystemName(filePath);
    const std::string name = FileNameOf(path);
    const std::string stem = HasCddExtension(name) ? name.substr(0, name.size() - 4) : name;
    // The folder part stays exactly as the file's path has it.
    return QFile::decodeName(
        QByteArray::fromStdString(path.substr(0, path.size() - name.size()) + stem + "." + TextsOf(format).suffix));
}

std::optional<WellLogExportResult> RunWellLogExport(const QString& filePath, int smoothWindow, WellLogFormat format,
                                                    Prompts& prompts)
{
    const FormatTexts texts = TextsOf(format);
    Prompts::FileRequest request;
    request.title = QString::fromUtf8(texts.title);
    request.filter = QString::fromUtf8(texts.filter);
    request.initialPath = ProposedLogPath(filePath, format);
    request.defaultSuffix = QString::fromUtf8(texts.suffix);
    request.confirmOverwrite = true;
    const QString out = prompts.SaveFileName(request).path;
    if (out.isEmpty())
        return std::nullopt;

    const WellLogExportResult result = ExportWellLog(FileSystemName(filePath), FileSystemName(out), smoothWindow, format);
    prompts.Message(QString::fromStdString(result.message),
                    result.ok ? Prompts::Kind::Information : Prompts::Kind::Warning);
    return result;
}
