#pragma once

#include "analysis/SiteSummary.h"
#include "report/SummaryPages.h"

#include <QHash>
#include <QPair>
#include <QString>
#include <QWidget>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

class Prompts;
class QDoubleSpinBox;
class QFileSystemWatcher;
class QLabel;
class QModelIndex;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;
class QTimer;

// "检测结果汇总": the summary of results of the folder on display, in a window beside the main one.
// The files are read on a worker thread, so a folder of a thousand piles fills the table with the
// window still answering; the table follows the folder (a saved marker or report rewrites its file)
// by watching it. A double click on a row opens the file in the main window.
class CSummaryWnd : public QWidget {
    Q_OBJECT
public:
    using OpenFile = std::function<void(const QString& path)>;

    CSummaryWnd(Prompts& prompts, OpenFile openFile, QWidget* parent = nullptr);
    ~CSummaryWnd() override;

    // The window of parent (made on first use), showing folder.
    static CSummaryWnd* ShowFor(QWidget& parent, const QString& folder, Prompts& prompts, OpenFile openFile);

    // Reads the folder's files again from the start.
    void ShowFolder(const QString& folder);
    const QString& Folder() const { return m_strFolder; }
    // The rows, in the order of the summary (by pile number), whatever the table is sorted by.
    const std::vector<SummaryRow>& Rows() const { return m_rows; }
    bool IsFilling() const { return m_worker.joinable(); }
    QTableView* Table() const { return m_pTable; }
    SummarySettings Settings() const;

    // The buttons' commands; each asks for the file through the prompts.
    void OnExportCsv();
    void OnExportExcel();
    void OnExportPdf();
    void OnPrint();

private:
    void StartReading(std::vector<std::string> paths);
    void OnPollWorker();
    void OnFolderChanged();
    void OnSettingsChanged();
    void OnRowActivated(const QModelIndex& index);
    void FillModel();
    QString ExportPath(const QString& filter, const QString& suffix);
    // Asks for the file, writes it and tells the operator how it went.
    void Export(const QString& filter, const QString& suffix, const std::function<bool(const QString& path)>& write);
    SummaryDocument Document() const;

    Prompts& m_prompts;
    OpenFile m_openFile;
    QString m_strFolder;
    std::vector<SummaryRow> m_rows;
    // Modification stamp and size of every file the rows were read from, to see which changed.
    QHash<QString, QPair<qint64, qint64>> m_stamps;

    std::thread m_worker;
    std::vector<std::string> m_workerPaths;
    std::vector<SummaryRow> m_workerRows;
    std::atomic<std::size_t> m_nDone{0};
    std::atomic<bool> m_bWorkerFinished{false};
    std::atomic<bool> m_bCancel{false};
    bool m_bFullRead = false;
    bool m_bRereadPending = false;
    bool m_bFitColumns = true;

    QDoubleSpinBox* m_pCageTop = nullptr;
    QDoubleSpinBox* m_pTolerance = nullptr;
    QLabel* m_pStatus = nullptr;
    QProgressBar* m_pProgress = nullptr;
    QTableView* m_pTable = nullptr;
    QStandardItemModel* m_pModel = nullptr;
    QSortFilterProxyModel* m_pSorted = nullptr;
    QFileSystemWatcher* m_pWatcher = nullptr;
    QTimer* m_pPoll = nullptr;
    QTimer* m_pSettle = nullptr;
};
