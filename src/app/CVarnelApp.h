#pragma once

#include <QStringList>

#include <memory>

class CMainFrame;
class Prompts;

// Start-up of the program: settings, fonts, the main window and the file named on the command line.
class CVarnelApp {
public:
    explicit CVarnelApp(Prompts& prompts);
    ~CVarnelApp();

    // Sets the organisation and application names the settings live under. Called before any
    // QSettings is made; tests call it too and then point the settings at a scratch folder.
    static void SetIdentity();

    // Qt's own dialogs and buttons (file, print and preview dialogs, "OK"/"Cancel") in Chinese, as
    // everything else of the program is. False when Qt's translations are not installed; the
    // standard dialogs then stay in English.
    static bool LoadQtTranslations();

    // Creates and shows the main window and opens the file named in arguments (the program's
    // arguments without the program name). False when the named file could not be opened: the
    // program then ends, as it always has when started on a file it cannot show.
    bool InitInstance(const QStringList& arguments);

    // Open by path (command line, desktop): the checks and messages of the main frame.
    bool OpenDocumentFile(const QString& path);

    CMainFrame* MainFrame() const { return m_pMainFrame.get(); }

    // The file argument of a command line, made absolute (a double click hands over a full path;
    // a path typed in a terminal is relative to where it was typed). Empty when there is none.
    static QString FileArgument(const QStringList& arguments);

private:
    Prompts& m_prompts;
    std::unique_ptr<CMainFrame> m_pMainFrame;
};
