#include "Action.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>
#include <QUrl>

#include <array>

namespace {

constexpr std::array<const char*, 14> kKindNames = {"cmd",    "trigger", "key",      "click",    "edit",
                                                    "resize", "focus",   "activate", "external", "dialog",
                                                    "menu",   "wait",    "close",    "drop"};

}  // namespace

QString Action::ToLine() const
{
    // The text is percent-encoded so that a line stays one line whatever was typed.
    return QStringLiteral("%1 %2 %3 %4 %5 %6")
        .arg(QString::fromLatin1(kKindNames[std::size_t(kind)]))
        .arg(a)
        .arg(b)
        .arg(c)
        .arg(seed)
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(text.isEmpty() ? QStringLiteral("-") : text)));
}

std::optional<Action> Action::FromLine(const QString& line)
{
    const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 6 || parts[0].startsWith(QLatin1Char('#')))
        return std::nullopt;
    Action action;
    std::size_t k = 0;
    while (k < kKindNames.size() && parts[0] != QLatin1String(kKindNames[k]))
        ++k;
    if (k == kKindNames.size())
        return std::nullopt;
    action.kind = Kind(k);
    action.a = parts[1].toInt();
    action.b = parts[2].toInt();
    action.c = parts[3].toInt();
    action.seed = parts[4].toUInt();
    const QString text = QUrl::fromPercentEncoding(parts[5].toLatin1());
    action.text = text == QLatin1String("-") ? QString() : text;
    return action;
}

std::vector<Action> ReadSequence(const QString& path)
{
    std::vector<Action> actions;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return actions;
    QTextStream in(&file);
    while (!in.atEnd())
        if (const auto action = Action::FromLine(in.readLine().trimmed()))
            actions.push_back(*action);
    return actions;
}

bool WriteSequence(const QString& path, const std::vector<Action>& actions)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    for (const Action& action : actions)
        out << action.ToLine() << '\n';
    out.flush();
    return file.commit();
}
