#include "app/CAboutDlg.h"

#include "app/AppIcons.h"
#include "app/ShellTexts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dialog%1").arg(kResourceId));
    setWindowTitle(texts::kAboutTitle);

    auto* icon = new QLabel(this);
    icon->setPixmap(MakeIcon(IconId::App).pixmap(QSize(32, 32), devicePixelRatioF()));
    icon->setAlignment(Qt::AlignTop);

    auto* lines = new QVBoxLayout;
    for (const QString& text : {texts::kAboutDescription, texts::kAboutVersion, texts::kAboutDate})
        lines->addWidget(new QLabel(text, this));

    auto* body = new QHBoxLayout;
    body->addWidget(icon);
    body->addSpacing(12);
    body->addLayout(lines, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
