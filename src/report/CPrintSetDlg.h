#pragma once

#include "data/FileSlot.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>

class CDrawCanvas;
class Prompts;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextEdit;
class QTreeWidget;
struct PrintSelection;
struct PrintSettings;
struct ReportTexts;

// "打印设置": the operator fills in the report values of a measurement file and stores them in
// its report block, and chooses which files of the folder to print and which kinds of page.
// Created for each command, shown modally, destroyed; opening it empties the print selection's
// lists, and only OK hands over new files and settings.
class CPrintSetDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 104;

    // Control ids; every control carries its id as object name.
    enum ControlId : int {
        IDC_OK = 1,
        IDC_CANCEL = 2,
        IDC_TITLE_CHECK = 1002,
        IDC_ENGINEERING_NAME = 1003,
        IDC_DESIGN_CAGE = 1006,
        IDC_DESIGN_PILE = 1007,
        IDC_PILE_NO = 1008,
        IDC_DETECTED_LENGTH = 1009,
        IDC_START_DEPTH = 1010,
        IDC_FILE_LIST = 1011,
        IDC_NOTES = 1012,
        IDC_CURRENT_FILE = 1013,
        IDC_PRINT_WAVE = 1014,
        IDC_PRINT_DATA = 1015,
        IDC_SAVE = 1016,
        IDC_DATE = 1017,
        IDC_SELECT_ALL = 1018,
        IDC_SITE = 1020,
        IDC_PROJECT = 1021,
    };

    static constexpr int kEngineeringNameLimit = 32;

    // treeFiles: the file names the file tree lists (its leaves), in tree order.
    // view: the graph view of the file on display, which reads that file again when it is saved.
    CPrintSetDlg(CDrawCanvas& view, PrintSelection& selection, const QStringList& treeFiles, Prompts& prompts,
                 QWidget* parent = nullptr);
    ~CPrintSetDlg() override;

    // The leaf texts of a file tree in tree order: items with children are descended into.
    static QStringList TreeLeafNames(const QTreeWidget& tree);

    // The control with the given id, or nullptr.
    QWidget* Control(int id) const;
    // Text of an edit control (1003, 1006..1010, 1012, 1017, 1020, 1021) or of static 1013.
    QString ControlText(int id) const;
    void SetControlText(int id, const QString& text);

    // Handlers, public so that the shell and the tests drive them exactly as the controls do.
    void OnSelectionChanged();
    void OnTitleCheckClicked();
    void OnSelectAllClicked();
    void OnSave();
    void OnOK();

    // Members bound to the controls by UpdateData.
    QString m_strEngineeringName;
    QString m_strProject;
    QString m_strSite;
    QString m_strPileNo;
    QString m_strDetectedLength;
    QString m_strStartDepth;
    QString m_strDesignCage;
    QString m_strDesignPile;
    QString m_strDate;
    QString m_strNotes;

    // The file being filled in, read with the header load.
    std::unique_ptr<FileSlot> m_dataSlot;
    // Name of the file on display.
    QString m_strCurrentName;
    // Full path of the file being filled in; "保  存" writes to it.
    QString m_strSelectedPath;

private:
    void CreateControls();
    void InitDialog(const QStringList& treeFiles);
    // Copies the controls' texts into the text members.
    void UpdateData();
    void ClearReportFields();
    void ShowReportTexts(const ReportTexts& texts);
    // Header load of path into m_dataSlot; false (and a fresh slot) when it cannot be read.
    bool ReadDataSlot(const QString& path);
    PrintSettings SettingsFromControls() const;

    CDrawCanvas& m_view;
    PrintSelection& m_selection;
    Prompts& m_prompts;
    // Why the selected file's header did not load ("无法读取文件", "当前文件无效"); empty when it did.
    // "保  存" never writes into a file whose header did not load.
    QString m_strSelectedProblem;

    QCheckBox* m_pTitleCheck = nullptr;
    QLineEdit* m_pEngineeringName = nullptr;
    QLineEdit* m_pProject = nullptr;
    QLineEdit* m_pSite = nullptr;
    QLineEdit* m_pPileNo = nullptr;
    QLineEdit* m_pDetectedLength = nullptr;
    QLineEdit* m_pStartDepth = nullptr;
    QLineEdit* m_pDesignCage = nullptr;
    QLineEdit* m_pDesignPile = nullptr;
    QLineEdit* m_pDate = nullptr;
    QTextEdit* m_pNotes = nullptr;
    QLabel* m_pCurrentFile = nullptr;
    QListWidget* m_pFileList = nullptr;
    QCheckBox* m_pSelectAll = nullptr;
    QCheckBox* m_pPrintWave = nullptr;
    QCheckBox* m_pPrintData = nullptr;
    QPushButton* m_pSave = nullptr;
    QPushButton* m_pOk = nullptr;
    QPushButton* m_pCancel = nullptr;
};
