#pragma once

#include "view/Prompts.h"

#include <QList>
#include <QString>
#include <deque>

// A Prompts stand-in for tests: answers come from queues filled by the test, and every call is
// recorded so a test can check which texts the operator would have seen, in which order.
class ScriptedPrompts : public Prompts {
public:
    enum class Call { Message, Question, OpenFile, SaveFile, AskToSave };

    struct Record {
        Call call;
        QString text;         // message or question text; empty for file dialogs
        Kind kind = Kind::Warning;
        Buttons buttons = Buttons::OkCancel;
        FileRequest request;  // file dialogs only
    };

    // Answers used in order; when a queue runs dry questions are answered with
    // m_bDefaultAnswer and file dialogs are cancelled.
    std::deque<bool> m_answers;
    std::deque<FileAnswer> m_fileAnswers;
    bool m_bDefaultAnswer = false;
    // Answers of AskToSave in order; when dry, the work is discarded (the program before it asked).
    std::deque<SaveChoice> m_saveChoices;

    QList<Record> m_calls;

    void Message(const QString& text, Kind kind = Kind::Warning) override;
    bool Question(const QString& text, Buttons buttons = Buttons::OkCancel) override;
    SaveChoice AskToSave(const QString& text) override;
    FileAnswer OpenFileName(const FileRequest& request) override;
    FileAnswer SaveFileName(const FileRequest& request) override;

    // Queue the answer of the next file dialog (an empty path cancels it).
    void AnswerFile(const QString& path, bool readOnly = false);

    // Texts of the messages shown so far, in order.
    QStringList Messages() const;
    // Texts of the questions asked so far (AskToSave included), in order.
    QStringList Questions() const;
    // Number of calls of one kind.
    int Count(Call call) const;
    // The last file-dialog request, or a default one when none was made.
    FileRequest LastFileRequest() const;

    void Clear();

private:
    FileAnswer FileDialog(Call call, const FileRequest& request);
};
