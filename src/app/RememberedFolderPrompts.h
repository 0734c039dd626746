#pragma once

#include "view/Prompts.h"

#include <QString>

// The operator's prompts, with the save dialogs of one kind of export starting in the folder the
// last export of that kind went to (kept in the settings under key). The file name proposed stays.
class RememberedFolderPrompts final : public Prompts {
public:
    RememberedFolderPrompts(Prompts& prompts, const QString& key) : m_prompts(prompts), m_strKey(key) {}

    // The folder last remembered under key; empty when none.
    static QString Folder(const QString& key);
    static void Remember(const QString& key, const QString& path);

    void Message(const QString& text, Kind kind = Kind::Warning) override { m_prompts.Message(text, kind); }
    bool Question(const QString& text, Buttons buttons = Buttons::OkCancel) override
    {
        return m_prompts.Question(text, buttons);
    }
    SaveChoice AskToSave(const QString& text) override { return m_prompts.AskToSave(text); }
    FileAnswer OpenFileName(const FileRequest& request) override { return m_prompts.OpenFileName(request); }
    FileAnswer SaveFileName(const FileRequest& request) override;

private:
    Prompts& m_prompts;
    QString m_strKey;
};
