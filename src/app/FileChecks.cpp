#include "app/FileChecks.h"

#include "data/PathUtil.h"

#include <QFile>
#include <QFileInfo>

bool PathExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool IsReadableNonEmpty(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.size() > 0;
}

QString FolderOfPath(const QString& path)
{
    return QString::fromStdString(FolderOf(path.toStdString()));
}

QString LastComponentOf(const QString& folder)
{
    const std::string text = folder.toStdString();
    if (LastSeparator(text) == std::string::npos)
        return QString();
    return QString::fromStdString(FileNameOf(text));
}
