#pragma once

#include <QString>
#include <QStringList>

class QSettings;

// The most recently opened files, newest first, kept in the program's settings under
// "Recent File List" as File1..FileN so the list survives the program.
class RecentFileList {
public:
    explicit RecentFileList(int nSize = 4);

    // Moves path to the top (adding it when new) and drops the oldest entry past the size.
    void Add(const QString& path);
    void Remove(int nIndex);
    void Remove(const QString& path);

    const QStringList& Paths() const { return m_paths; }
    int Size() const { return m_nSize; }

    void Load(QSettings& settings);
    void Save(QSettings& settings) const;

    // Menu text of entry nIndex: "&1 path", with the path written as the platform writes it.
    QString MenuText(int nIndex) const;

private:
    int m_nSize;
    QStringList m_paths;
};
