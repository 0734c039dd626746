#include "report/CSavePicDlg.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

CSavePicDlg::CSavePicDlg(const QString& notice, const QString& folder, QWidget* parent)
    : QDialog(parent), m_strFolder(folder)
{
    setObjectName(QStringLiteral("dialog%1").arg(kResourceId));
    setWindowTitle(QStringLiteral("提示"));

    m_pNoticeEdit = new QPlainTextEdit(notice, this);
    m_pNoticeEdit->setObjectName(QString::number(kNoticeEditId));
    m_pNoticeEdit->setReadOnly(true);
    // Room for a long path on two lines, as the dialog's edit box has always had.
    const QFontMetrics metrics(m_pNoticeEdit->font());
    m_pNoticeEdit->setMinimumSize(metrics.averageCharWidth() * 52, metrics.lineSpacing() * 3);

    m_pOkButton = new QPushButton(QStringLiteral("确    定"), this);
    m_pOkButton->setObjectName(QStringLiteral("1"));
    m_pOkButton->setDefault(true);
    connect(m_pOkButton, &QPushButton::clicked, this, &QDialog::accept);

    m_pOpenFolderButton = new QPushButton(QStringLiteral("打开目录"), this);
    m_pOpenFolderButton->setObjectName(QString::number(kOpenFolderId));
    connect(m_pOpenFolderButton, &QPushButton::clicked, this, &CSavePicDlg::OnOpenFolder);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_pOkButton);
    buttons->addWidget(m_pOpenFolderButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pNoticeEdit);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CSavePicDlg::OnOpenFolder()
{
    accept();
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_strFolder));
}
