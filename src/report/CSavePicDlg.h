#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

// Dialog 144 "提示": tells where the pictures went, and "打开目录" opens the folder of the
// measurement file in the desktop's file manager.
class CSavePicDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kResourceId = 144;
    static constexpr int kNoticeEditId = 1022;
    static constexpr int kOpenFolderId = 1016;

    // notice: the view's m_strPicturePath; folder: its m_strFolder.
    CSavePicDlg(const QString& notice, const QString& folder, QWidget* parent = nullptr);

    QPlainTextEdit* NoticeEdit() const { return m_pNoticeEdit; }
    QPushButton* OkButton() const { return m_pOkButton; }
    QPushButton* OpenFolderButton() const { return m_pOpenFolderButton; }

    // "打开目录": closes the dialog, then opens the folder.
    void OnOpenFolder();

private:
    QString m_strFolder;
    QPlainTextEdit* m_pNoticeEdit;
    QPushButton* m_pOkButton;
    QPushButton* m_pOpenFolderButton;
};
