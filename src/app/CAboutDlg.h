#pragma once

#include <QDialog>

// The About box: program description, version and update date with an OK button.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kResourceId = 100;

    explicit CAboutDlg(QWidget* parent = nullptr);
};
