#pragma once

#include "view/Prompts.h"

class QWidget;

// Prompts answered by the operator through Qt message boxes and file dialogs. Message boxes carry
// the application title as caption, like every message box of the program always has.
class QtPrompts : public Prompts {
public:
    // parent: the window the dialogs are modal to; null means the active window at the time.
    explicit QtPrompts(QWidget* parent = nullptr);

    void SetParent(QWidget* parent) { m_pParent = parent; }

    void Message(const QString& text, Kind kind = Kind::Warning) override;
    bool Question(const QString& text, Buttons buttons = Buttons::OkCancel) override;
    SaveChoice AskToSave(const QString& text) override;
    FileAnswer OpenFileName(const FileRequest& request) override;
    FileAnswer SaveFileName(const FileRequest& request) override;

private:
    QWidget* Parent() const;
    QWidget* m_pParent;
};

// Converts a filter written as "Description|pattern|...||" into Qt's "Description (pattern);;..."
// form. A description that already names its pattern in parentheses keeps its text unchanged.
QString QtFilterFromPipes(const QString& filter);
