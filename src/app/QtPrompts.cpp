#include "app/QtPrompts.h"

#include "app/ShellTexts.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

QtPrompts::QtPrompts(QWidget* parent) : m_pParent(parent) {}

QWidget* QtPrompts::Parent() const
{
    return m_pParent ? m_pParent : QApplication::activeWindow();
}

void QtPrompts::Message(const QString& text, Kind kind)
{
    QMessageBox box(kind == Kind::Information ? QMessageBox::Information : QMessageBox::Warning,
                    texts::kAppTitle, text, QMessageBox::Ok, Parent());
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}

bool QtPrompts::Question(const QString& text, Buttons buttons)
{
    const bool yesNo = buttons == Buttons::YesNo;
    QMessageBox box(QMessageBox::Question, texts::kAppTitle, text,
                    yesNo ? (QMessageBox::Yes | QMessageBox::No) : (QMessageBox::Ok | QMessageBox::Cancel),
                    Parent());
    // The buttons speak the program's language whether or not Qt's translations are installed.
    if (yesNo) {
        box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
        box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    } else {
        box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    }
    const int answer = box.exec();
    return answer == (yesNo ? QMessageBox::Yes : QMessageBox::Ok);
}

Prompts::SaveChoice QtPrompts::AskToSave(const QString& text)
{
    QMessageBox box(QMessageBox::Question, texts::kAppTitle, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, Parent());
    box.button(QMessageBox::Save)->setText(QStringLiteral("保存(&S)"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("不保存(&N)"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveChoice::Save;
    case QMessageBox::Discard:
        return SaveChoice::Discard;
    default:
        return SaveChoice::Cancel;
    }
}

Prompts::FileAnswer QtPrompts::OpenFileName(const FileRequest& request)
{
    QFileDialog dialog(Parent(), request.title, QString(), QtFilterFromPipes(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (QFileInfo(request.initialPath).isDir())
        dialog.setDirectory(request.initialPath);
    else if (!request.initialPath.isEmpty())
        dialog.selectFile(request.initialPath);

    // Qt's own dialog has no read-only box; the platform dialogs cannot take one, so the dialog
    // is drawn by Qt whenever the box is asked for.
    QCheckBox* readOnly = nullptr;
    if (request.readOnlyBox) {
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
            readOnly = new QCheckBox(QStringLiteral("以只读方式打开(&R)"), &dialog);
            readOnly->setChecked(request.readOnlyChecked);
            grid->addWidget(readOnly, grid->rowCount(), 0, 1, -1);
        }
    }
    FileAnswer answer;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        answer.path = dialog.selectedFiles().constFirst();
    answer.readOnly = readOnly ? readOnly->isChecked() : request.readOnlyChecked;
    return answer;
}

Prompts::FileAnswer QtPrompts::SaveFileName(const FileRequest& request)
{
    QFileDialog dialog(Parent(), request.title, QString(), QtFilterFromPipes(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.initialPath.isEmpty())
        dialog.selectFile(request.initialPath);
    FileAnswer answer;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        answer.path = dialog.selectedFiles().constFirst();
    return answer;
}

QString QtFilterFromPipes(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i];
        QString patterns = parts[i + 1];
        if (description.isEmpty() && patterns.isEmpty())
            break;  // the "||" that ends the list
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (description.contains(QLatin1Char('(') + patterns + QLatin1Char(')')))
            filters.append(description);
        else
            filters.append(description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}
