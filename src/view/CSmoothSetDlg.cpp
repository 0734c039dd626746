#include "view/CSmoothSetDlg.h"

#include "data/NumberText.h"
#include "view/CDrawView.h"
#include "view/Prompts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CSmoothSetDlg::CSmoothSetDlg(CDrawView* view, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_pView(view), m_prompts(prompts)
{
    setObjectName(QStringLiteral("dialog%1").arg(kResourceId));
    setWindowTitle(QStringLiteral("平滑设置"));

    m_pPointsEdit = new QLineEdit(QStringLiteral("1"), this);
    m_pPointsEdit->setObjectName(QString::number(kPointsEditId));
    // Operators type the count straight away, as in any dialog whose first edit opens selected:
    // "5" must replace the "1", not make "15" (which falls back to one point).
    m_pPointsEdit->selectAll();

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("平滑点数"), this));
    row->addWidget(m_pPointsEdit, 1);

    // OK only: the dialog has no Cancel button, Esc and the frame's close button cancel.
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CSmoothSetDlg::OnOK);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int CSmoothSetDlg::PointsFromText(const QString& text)
{
    const int32_t points = ParseLeadingInt(text.toStdU16String());
    return points >= 1 && points <= 10 ? points : 1;
}

void CSmoothSetDlg::OnOK()
{
    if (!m_pView) {
        m_prompts.Message(QStringLiteral("设置失败!"));
        reject();
        return;
    }
    m_pView->File().ScreenData().primary.m_nSmoothWindow = PointsFromText(m_pPointsEdit->text());
    // The next paint smooths with the new count; it must not re-read the file, which would bring
    // back markers already moved on screen.
    m_pView->RequestRepaint();
    accept();
}
