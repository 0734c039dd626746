#include "ScriptedPrompts.h"

void ScriptedPrompts::Message(const QString& text, Kind kind)
{
    Record r{Call::Message, text};
    r.kind = kind;
    m_calls.append(r);
}

bool ScriptedPrompts::Question(const QString& text, Buttons buttons)
{
    Record r{Call::Question, text};
    r.buttons = buttons;
    m_calls.append(r);
    if (m_answers.empty())
        return m_bDefaultAnswer;
    const bool answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

Prompts::SaveChoice ScriptedPrompts::AskToSave(const QString& text)
{
    m_calls.append(Record{Call::AskToSave, text});
    if (m_saveChoices.empty())
        return SaveChoice::Discard;
    const SaveChoice choice = m_saveChoices.front();
    m_saveChoices.pop_front();
    return choice;
}

Prompts::FileAnswer ScriptedPrompts::OpenFileName(const FileRequest& request)
{
    return FileDialog(Call::OpenFile, request);
}

Prompts::FileAnswer ScriptedPrompts::SaveFileName(const FileRequest& request)
{
    return FileDialog(Call::SaveFile, request);
}

Prompts::FileAnswer ScriptedPrompts::FileDialog(Call call, const FileRequest& request)
{
    Record r{call, QString()};
    r.request = request;
    m_calls.append(r);
    if (m_fileAnswers.empty())
        return {};
    FileAnswer answer = m_fileAnswers.front();
    m_fileAnswers.pop_front();
    return answer;
}

void ScriptedPrompts::AnswerFile(const QString& path, bool readOnly)
{
    m_fileAnswers.push_back(FileAnswer{path, readOnly});
}

QStringList ScriptedPrompts::Messages() const
{
    QStringList texts;
    for (const Record& r : m_calls)
        if (r.call == Call::Message)
            texts.append(r.text);
    return texts;
}

QStringList ScriptedPrompts::Questions() const
{
    QStringList texts;
    for (const Record& r : m_calls)
        if (r.call == Call::Question || r.call == Call::AskToSave)
            texts.append(r.text);
    return texts;
}

int ScriptedPrompts::Count(Call call) const
{
    int n = 0;
    for (const Record& r : m_calls)
        if (r.call == call)
            ++n;
    return n;
}

Prompts::FileRequest ScriptedPrompts::LastFileRequest() const
{
    for (auto it = m_calls.crbegin(); it != m_calls.crend(); ++it)
        if (it->call == Call::OpenFile || it->call == Call::SaveFile)
            return it->request;
    return {};
}

void ScriptedPrompts::Clear()
{
    m_calls.clear();
    m_answers.clear();
    m_fileAnswers.clear();
    m_saveChoices.clear();
}
