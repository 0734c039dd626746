#pragma once

#include "data/FileSlot.h"

#include <QString>

// The file on display: its path and folder as chosen, the screen slot its last load filled, and
// why that load failed. The main frame owns it and hands it to the view, which reads the file
// into it when it paints, and to the table, the tools and the dialogs, which work on what it holds.
class DisplayedFile {
public:
    // Nothing is read here; the view reads the file at its next paint.
    void Choose(const QString& path, const QString& folder)
    {
        m_strFilePath = path;
        m_strFolder = folder;
    }
    const QString& FilePath() const { return m_strFilePath; }
    const QString& Folder() const { return m_strFolder; }

    FileSlot& ScreenData() { return m_screenData; }
    const FileSlot& ScreenData() const { return m_screenData; }

    // Reads the folder's configuration (when asked to) and the file into the screen slot, and
    // builds its depth-to-pixel table for a client area of that width.
    void Load(bool readsConfiguration, int clientWidth);

    // The message of the last load that failed, empty when it succeeded.
    const QString& LoadProblem() const { return m_strLoadProblem; }
    // Whether the screen slot holds the data of this file (its last load succeeded). Every command
    // that writes what the view shows into the file checks this first.
    bool ShowsLoadedFile() const;
    // What the operator is told when a command needs the file's data and there is none.
    QString NotLoadedMessage() const;

private:
    QString m_strFilePath;
    QString m_strFolder;
    FileSlot m_screenData;
    QString m_strLoadProblem;
};
