#include "app/RecentFileList.h"

#include <QDir>
#include <QSettings>

namespace {
const QString kGroup = QStringLiteral("Recent File List");

// The operators' folders come from Windows, where a path names the same file whatever its case.
Qt::CaseSensitivity PathCase()
{
#ifdef Q_OS_WIN
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}
}  // namespace

RecentFileList::RecentFileList(int nSize) : m_nSize(nSize > 0 ? nSize : 1) {}

void RecentFileList::Add(const QString& path)
{
    if (path.isEmpty())
        return;
    Remove(path);
    m_paths.prepend(path);
    while (m_paths.size() > m_nSize)
        m_paths.removeLast();
}

void RecentFileList::Remove(int nIndex)
{
    if (nIndex >= 0 && nIndex < m_paths.size())
        m_paths.removeAt(nIndex);
}

void RecentFileList::Remove(const QString& path)
{
    for (qsizetype i = m_paths.size() - 1; i >= 0; --i)
        if (m_paths[i].compare(path, PathCase()) == 0)
            m_paths.removeAt(i);
}

void RecentFileList::Load(QSettings& settings)
{
    m_paths.clear();
    settings.beginGroup(kGroup);
    for (int i = 1; i <= m_nSize; ++i) {
        const QString path = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty() && m_paths.size() < m_nSize)
            m_paths.append(path);
    }
    settings.endGroup();
}

void RecentFileList::Save(QSettings& settings) const
{
    settings.beginGroup(kGroup);
    for (int i = 1; i <= m_nSize; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= m_paths.size())
            settings.setValue(key, m_paths[i - 1]);
        else
            settings.remove(key);
    }
    settings.endGroup();
    settings.sync();
}

QString RecentFileList::MenuText(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_paths.size())
        return QString();
    QString shown = QDir::toNativeSeparators(m_paths[nIndex]);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(nIndex + 1).arg(shown);
}
