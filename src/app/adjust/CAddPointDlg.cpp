#include "app/adjust/CAddPointDlg.h"

#include "app/adjust/HiddenAdjustment.h"
#include "data/Adjustments.h"
#include "view/CDrawView.h"
#include "view/Prompts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CAddPointDlg::CAddPointDlg(CDrawView& view, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_fStartDepth(view.File().ScreenData().primary.m_fStartDepth), m_view(view), m_prompts(prompts)
{
    setObjectName(QStringLiteral("dialog%1").arg(kResourceId));
    setWindowTitle(QStringLiteral("修正起点深度"));

    // Six significant digits, the way a float is written into a dialog's edit box.
    m_editStartDepth = new QLineEdit(QString::number(static_cast<double>(m_fStartDepth), 'g', 6), this);
    m_editStartDepth->setObjectName(QString::number(kStartDepthEditId));

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("请确认起点深度"), this));
    row->addWidget(m_editStartDepth, 1);
    row->addWidget(new QLabel(QStringLiteral("m"), this));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("2"));
    connect(ok, &QPushButton::clicked, this, &CAddPointDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CAddPointDlg::OnOK()
{
    const StartDepthPlan plan =
        PlanStartDepthCorrection(m_view.File().ScreenData().primary, m_editStartDepth->text().toStdU16String());
    if (plan.check != StartDepthCheck::Ok) {
        // Less than one step of change is refused without a word, as the dialog always did.
        const QString message = QString::fromUtf8(StartDepthCheckMessage(plan.check));
        if (!message.isEmpty())
            m_prompts.Message(message);
        m_editStartDepth->setFocus();
        return;
    }
    m_fStartDepth = plan.value;
    CorrectStartDepth(m_view, plan, m_prompts);
    accept();
}
