#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

// One thing a random operator does, as a line of a replayable sequence. What an action means is
// worked out against the program's state when it is done (the n-th button of whatever dialog is
// open, a point at a fraction of whatever widget is shown), so a sequence still replays sensibly
// after the delta debugging has taken some of its actions out.
struct Action {
    enum class Kind {
        Command,   // a: command id, sent to the frame whether its item is enabled or not
        Trigger,   // a: command id, its menu or toolbar item clicked (nothing when greyed out)
        Key,       // a: key, b: modifiers, to whatever has the keyboard focus
        Click,     // a: widget (0 graph, 1 tree, 2 table), b/c: position in 1/1000, text "R" right, "D" double
        Edit,      // a/b: table row and column, text typed into the cell
        Resize,    // a x b pixels
        Focus,     // a: widget (0 graph, 1 tree, 2 table)
        Activate,  // a: 0 another program comes to the front, 1 the program comes back
        External,  // a: sample written over the file that other programs write to
        Dialog,    // a: 0 button, 1 field, 2 check box, 3 list row, 4 Escape, 5 Enter; b: which; text
        Menu,      // a: which item of the open menu (past the last: the menu is closed)
        Wait,      // a: milliseconds of the event loop
        Close,     // the window is closed, and the program started again when it closed
        Drop,      // a: file of the folder dropped on the window
    };

    Kind kind = Kind::Wait;
    int a = 0;
    int b = 0;
    int c = 0;
    uint32_t seed = 0;  // the answers of the prompts this action brings up
    QString text;

    QString ToLine() const;
    static std::optional<Action> FromLine(const QString& line);
};

std::vector<Action> ReadSequence(const QString& path);
bool WriteSequence(const QString& path, const std::vector<Action>& actions);
