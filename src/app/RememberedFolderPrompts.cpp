#include "app/RememberedFolderPrompts.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

QString SettingsKey(const QString& key)
{
    return QStringLiteral("Folders/") + key;
}

}  // namespace

QString RememberedFolderPrompts::Folder(const QString& key)
{
    const QString folder = QSettings().value(SettingsKey(key)).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void RememberedFolderPrompts::Remember(const QString& key, const QString& path)
{
    if (!path.isEmpty())
        QSettings().setValue(SettingsKey(key), QFileInfo(path).absolutePath());
}

Prompts::FileAnswer RememberedFolderPrompts::SaveFileName(const FileRequest& request)
{
    FileRequest where = request;
    const QString folder = Folder(m_strKey);
    if (!folder.isEmpty())
        where.initialPath = QDir(folder).filePath(QFileInfo(request.initialPath).fileName());
    FileAnswer answer = m_prompts.SaveFileName(where);
    Remember(m_strKey, answer.path);
    return answer;
}
