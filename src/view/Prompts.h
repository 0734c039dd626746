#pragma once

#include <QString>

// Everything the program asks of or tells the operator in a modal window goes through this
// interface, so that the layers below the application never open a dialog themselves and tests can
// answer with a script instead of clicking real windows. The application implements it with Qt
// message boxes and file dialogs (QtPrompts); tests use ScriptedPrompts.
class Prompts {
public:
    virtual ~Prompts() = default;

    // The kind of a message decides its icon only; every message has a single OK button.
    enum class Kind { Warning, Information };

    enum class Buttons { OkCancel, YesNo };

    // What a file dialog starts with. Filters are written the way the program's texts give them,
    // pairs of description and pattern separated by '|', ending in "||", for example
    // " Files (*.cdd)|*.cdd|All Files (*.*)|*.*||".
    struct FileRequest {
        QString title;             // empty: the platform's own title
        QString filter;
        QString initialPath;       // file selected when the dialog opens, or the folder it opens in
        QString defaultSuffix;     // added when the operator types a name without one ("xls")
        bool readOnlyBox = false;  // open dialogs: show the read-only check box
        bool readOnlyChecked = false;
        bool confirmOverwrite = true;  // save dialogs: ask before an existing file is replaced
    };

    struct FileAnswer {
        QString path;           // empty when the operator cancelled
        bool readOnly = false;  // state of the read-only check box when the dialog closed
    };

    // A modal message box with an OK button.
    virtual void Message(const QString& text, Kind kind = Kind::Warning) = 0;

    // A modal question; true when the operator answered OK (or Yes).
    virtual bool Question(const QString& text, Buttons buttons = Buttons::OkCancel) = 0;

    // What to do with work not saved yet before it would be lost.
    enum class SaveChoice { Save, Discard, Cancel };
    // A modal question with the buttons save, discard and cancel.
    virtual SaveChoice AskToSave(const QString& text) = 0;

    // Modal file dialogs; an empty path means the operator cancelled.
    virtual FileAnswer OpenFileName(const FileRequest& request) = 0;
    virtual FileAnswer SaveFileName(const FileRequest& request) = 0;
};
