#pragma once

#include "app/RecentFileList.h"
#include "report/PrintSelection.h"
#include "view/IFrameState.h"
#include "view/IStatusPanes.h"

#include <QHash>
#include <QMainWindow>
#include <QStringList>

#include <array>
#include <memory>
#include <string>
#include <vector>

class CDrawView;
class DisplayedFile;
class CEditListCtrl;
class CFileTreeView;
class CStatusLine;
class CStatusPane;
class Prompts;
class QAction;
class QDialog;
class QPrintDialog;
class QPrinter;
class QLabel;
class QMenu;
class QShortcut;
class QSplitter;
class QToolBar;

// The main window: file tree on the left, drawing view on the right, and every command of the
// menu, toolbar, accelerators and hot keys. Commands arrive by id at OnCommand, whatever their
// source, and whether a command may run is decided in IsCommandEnabled alone, so a key can never
// do what a greyed-out menu item would refuse.
class CMainFrame : public QMainWindow, public IFrameState, public IStatusPanes {
    Q_OBJECT
public:
    explicit CMainFrame(Prompts& prompts, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Where a file to show came from; the entry points differ in a few steps only.
    enum class Origin { OpenDialog, Path, Tree };

    // --- commands ---
    void OnCommand(int nId);
    bool IsCommandEnabled(int nId) const;
    // Re-applies the enabling rules, check marks and recent-file entries to the actions.
    void UpdateCommandUI();
    QAction* Action(int nId) const;

    void OnFileOpen();
    // File / Open once the file is chosen (the dialog, a file dropped on the window).
    bool OpenChosenFile(const QString& path);
    // Before the markers of the file on display would be lost: asks whether to save them when
    // the operator changed them. False when the operator chose to stay.
    bool MayDropMarkers();
    // File / Save: the markers into a copy; the message pane says where.
    void OnFileSave();
    // "采用建议": asks first when markers stand.
    void OnAcceptSuggestion();
    // Open by path (recent files, command line, desktop): false when the file was refused.
    bool OpenDocumentFile(const QString& path);
    void OnGraphMode();
    void OnTableMode();
    void OnToggleComponent(int nId);
    void OnNextPane();
    void OnAppAbout();
    // "自动判读": the suggestion for the file on display, drawn over the graph, with its
    // confidence and reason in the message pane.
    void OnAutoInterpret();
    // The smoothing settings dialog the view's context menu asks for.
    void OnSmoothSettings();
    // "打印设置" from the menu or the toolbar.
    void OnPrintSetup();
    void OnPrint(int printMode);
    // "保存图片" and "导出数据", which the view hands on from its own command handler.
    void OnSavePicture();
    void OnExportData();
    void OnRecentFile(int nIndex);

    // Hot keys of the hidden correction tools: they act only on an opened file shown as a table.
    bool HotKeyAllowed() const;
    void OnHotKey(int nId);
    // Ctrl+Meta+I: the start depth dialog; Ctrl+Meta+E: five copies of the shallowest sample.
    void OnStartDepthCorrection();
    void OnTailInsertion();

    // The part of choosing a file that all entry points share once the file passed its checks.
    void ShowChosenFile(const QString& path, Origin origin);
    void SetFileTitle(const QString& path);
    void AddRecentFile(const QString& path);
    const RecentFileList& RecentFiles() const { return m_recentFiles; }

    CFileTreeView* GetTreeView() const { return m_pTreeView; }
    CDrawView* GetDrawView() const { return m_pDrawView; }
    CEditListCtrl* GetTable() const { return m_pTable; }
    QSplitter* GetSplitter() const { return m_wndSplitter; }
    CStatusPane* StatusPane(int nId) const;
    void SetStatusPaneText(int nId, const QString& text);
    Prompts& GetPrompts() const { return m_prompts; }
    // The file on display, which the view, the table and the dialogs work on.
    DisplayedFile& ShownFile() const { return *m_pShownFile; }
    // The files and settings chosen for printing.
    PrintSelection& GetPrintSelection() { return m_printSelection; }
    // The rows of the last Excel export (depth, Z, Z gradient), the shallowest sample first.
    const std::vector<std::vector<std::u16string>>& ExportList() const { return m_exportList; }

    // IFrameState
    int ViewMode() const override { return m_nViewMode; }
    bool ShowX() const override { return m_bShowX != 0; }
    bool ShowY() const override { return m_bShowY != 0; }
    bool ShowZ() const override { return m_bShowZ != 0; }
    int ShownComponents() const override { return m_nShownComponents; }

    // IStatusPanes
    void SetPaneWidth(int nPaneId, int nWidth) override;
    void SetPaneText(int nPaneId, const QString& text) override { SetStatusPaneText(nPaneId, text); }

    // Gives the tree one eighth of the width; done once when the window first shows.
    void ApplyInitialSplit();

    // Display mode and direction switches, read by the drawing view at every paint.
    int m_nShownComponents = 1;
    int m_bShowX = 0;
    int m_bShowY = 0;
    int m_bShowZ = 1;
    int m_nViewMode;
    // Set by the first file opened through File / Open, a recent file or the command line; a
    // file chosen in the tree alone does not unlock saving, printing and export.
    int m_bFileOpened = 0;

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* AddAction(int nId, const QString& text, QMenu* menu = nullptr);
    void CreateMenus();
    void CreateToolBar();
    void CreateAccelerators();
    void CreateStatusBar();
    void RegisterHotKeys();
    void UpdateRecentMenu();
    // Runs a dialog window-modally; it is deleted when closed and the commands are brought up to
    // date then, since what it changed may enable others.
    void RunDialog(QDialog* dialog);
    void OnFrameActivated();
    void CreateDrawView();
    void ProposePdfName(QPrintDialog& dialog, QPrinter& printer);
    void ReportLoadProblem();

    Prompts& m_prompts;
    std::unique_ptr<DisplayedFile> m_pShownFile;
    PrintSelection m_printSelection;
    std::vector<std::vector<std::u16string>> m_exportList;
    QSplitter* m_wndSplitter = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    CFileTreeView* m_pTreeView = nullptr;
    CDrawView* m_pDrawView = nullptr;
    CEditListCtrl* m_pTable = nullptr;
    CStatusLine* m_pStatusLine = nullptr;
    CStatusPane* m_pMessagePane = nullptr;
    std::array<CStatusPane*, 9> m_panes{};
    QHash<int, QAction*> m_actions;
    QMenu* m_pViewMenu = nullptr;
    std::array<QAction*, 4> m_recentActions{};
    QList<QShortcut*> m_accelerators;
    QList<QShortcut*> m_hotKeys;
    RecentFileList m_recentFiles;
    bool m_bSplitApplied = false;
    bool m_bLoadCheckPending = false;
    QString m_strReportedProblem;  // "path\nmessage" of the load failure last shown
};
