#include "app/CMainFrame.h"

#include "analysis/Interpretation.h"
#include "app/AppIcons.h"
#include "app/CAboutDlg.h"
#include "app/CStatusLine.h"
#include "app/CStatusPane.h"
#include "app/CSummaryWnd.h"
#include "app/CommandIds.h"
#include "app/FileChecks.h"
#include "app/RememberedFolderPrompts.h"
#include "app/ShellTexts.h"
#include "app/adjust/CAddPointDlg.h"
#include "app/adjust/HiddenAdjustment.h"
#include "app/table/CEditListCtrl.h"
#include "app/tree/CFileTreeView.h"
#include "data/Messages.h"
#include "data/PathUtil.h"
#include "report/CPrintSetDlg.h"
#include "report/CSavePicDlg.h"
#include "report/ExcelExportCommand.h"
#include "report/PictureExport.h"
#include "report/PrintJob.h"
#include "report/WellLogExportCommand.h"
#include "view/CDrawView.h"
#include "view/CSmoothSetDlg.h"
#include "view/DisplayedFile.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>

#include <algorithm>
#include "view/Prompts.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>

CMainFrame::CMainFrame(Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), m_nViewMode(cmd::kGraphMode), m_prompts(prompts),
      m_pShownFile(std::make_unique<DisplayedFile>()), m_recentFiles(4)
{
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(texts::kAppTitle);
    setWindowIcon(MakeIcon(IconId::App));
    setAcceptDrops(true);

    QSettings settings;
    m_recentFiles.Load(settings);

    CreateMenus();
    CreateToolBar();
    CreateAccelerators();
    CreateStatusBar();
    RegisterHotKeys();

    m_wndSplitter = new QSplitter(Qt::Horizontal, this);
    m_wndSplitter->setObjectName(QStringLiteral("splitter"));
    m_wndSplitter->setChildrenCollapsible(false);
    m_pTreeView = new CFileTreeView(*this, m_prompts, m_wndSplitter);
    CreateDrawView();
    m_wndSplitter->addWidget(m_pTreeView);
    m_wndSplitter->addWidget(m_pDrawView);
    // Like a static splitter, a wider window widens the view and leaves the tree as it is.
    m_wndSplitter->setStretchFactor(0, 0);
    m_wndSplitter->setStretchFactor(1, 1);
    setCentralWidget(m_wndSplitter);
    connect(m_wndSplitter, &QSplitter::splitterMoved, this,
            [this] { QSettings().setValue(QStringLiteral("Window/TreeWidth"), m_wndSplitter->sizes().value(0)); });

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        resize(area.width() * 4 / 5, area.height() * 4 / 5);
    } else {
        resize(1280, 800);
    }
    UpdateCommandUI();
}

CMainFrame::~CMainFrame()
{
    // Closing moves the focus out of the grid after this frame is gone; it must not ask the frame
    // for its mode then.
    m_pTable->SetFrame(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Window parts

void CMainFrame::CreateDrawView()
{
    m_pDrawView = new CDrawView(m_wndSplitter, m_pShownFile.get());
    m_pDrawView->setObjectName(QStringLiteral("drawView"));
    m_pDrawView->setFocusPolicy(Qt::StrongFocus);
    m_pDrawView->SetFrame(this);
    m_pDrawView->SetStatusPanes(this);
    m_pDrawView->SetPrompts(&m_prompts);
    connect(m_pDrawView, &CDrawView::smoothSettingsRequested, this, &CMainFrame::OnSmoothSettings);
    connect(m_pDrawView, &CDrawView::savePictureRequested, this, &CMainFrame::OnSavePicture);
    connect(m_pDrawView, &CDrawView::exportDataRequested, this, &CMainFrame::OnExportData);
    m_pTable = new CEditListCtrl(m_pDrawView);
    m_pTable->SetFrame(this);
    m_pTable->SetPrompts(&m_prompts);
    m_pDrawView->SetTable(m_pTable);
    // Resizes of the view reach the table here; the view itself only repaints.
    m_pDrawView->installEventFilter(this);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pDrawView) {
        if (event->type() == QEvent::Resize && m_nViewMode == cmd::kTableMode)
            m_pTable->FitTo(m_pDrawView->size());
        else if (event->type() == QEvent::Paint && !m_bLoadCheckPending) {
            // The paint cannot show a message; look at its outcome once it is over.
            m_bLoadCheckPending = true;
            QTimer::singleShot(0, this, &CMainFrame::ReportLoadProblem);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::ReportLoadProblem()
{
    m_bLoadCheckPending = false;
    const QString problem = m_pDrawView->LastLoadProblem();
    if (problem.isEmpty()) {
        m_strReportedProblem.clear();
        return;
    }
    // A file that fails to load fails again at every reload; the operator hears it once.
    const QString key = m_pShownFile->FilePath() + QLatin1Char('\n') + problem;
    if (key == m_strReportedProblem)
        return;
    m_strReportedProblem = key;
    // A file that does not open is no file to come back to.
    if (m_recentFiles.Paths().contains(m_pShownFile->FilePath())) {
        m_recentFiles.Remove(m_pShownFile->FilePath());
        QSettings settings;
        m_recentFiles.Save(settings);
        UpdateRecentMenu();
    }
    m_prompts.Message(problem);
}

QAction* CMainFrame::AddAction(int nId, const QString& text, QMenu* menu)
{
    auto* action = new QAction(text, this);
    action->setData(nId);
    action->setObjectName(QStringLiteral("action%1").arg(nId));
    // Menus show no pictures; the toolbar does.
    action->setIconVisibleInMenu(false);
    connect(action, &QAction::triggered, this, [this, nId] { OnCommand(nId); });
    m_actions.insert(nId, action);
    if (menu)
        menu->addAction(action);
    return action;
}

QAction* CMainFrame::Action(int nId) const
{
    return m_actions.value(nId, nullptr);
}

void CMainFrame::CreateMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    AddAction(cmd::kFileOpen, QStringLiteral("打开(&O)...\tCtrl+O"), file);
    AddAction(cmd::kFileSave, QStringLiteral("保存(&S)\tCtrl+S"), file);
    file->addSeparator();
    AddAction(cmd::kPrint, QStringLiteral("打印(&P)...\tCtrl+P"), file);
    AddAction(cmd::kPrintPreview, QStringLiteral("打印预览(&V)...\tCtrl+V"), file);
    AddAction(cmd::kPrintSetup, QStringLiteral("打印设置(&R)...\tCtrl+R"), file);
    file->addSeparator();
    AddAction(cmd::kSavePicture, QStringLiteral("保存图片(&B)   \tCtrl+B"), file);
    AddAction(cmd::kExportData, QStringLiteral("导出数据(&E)   \tCtrl+E"), file);
    AddAction(cmd::kExportLas, QStringLiteral("导出LAS文件…"), file);
    AddAction(cmd::kExportCsv, QStringLiteral("导出CSV文件…"), file);
    AddAction(cmd::kSiteSummary, QStringLiteral("检测结果汇总…"), file);
    file->addSeparator();
    for (int i = 0; i < int(m_recentActions.size()); ++i)
        m_recentActions[std::size_t(i)] = AddAction(cmd::kMruFirst + i, texts::kRecentPlaceholder, file);
    file->addSeparator();
    AddAction(cmd::kAppExit, QStringLiteral("退出(&X)"), file);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
    AddAction(cmd::kEditUndo, QStringLiteral("撤销(&U)\tCtrl+Z"), edit);

    m_pViewMenu = menuBar()->addMenu(QStringLiteral("视图(&V)"));
    AddAction(cmd::kToggleX, QStringLiteral("X方向"), m_pViewMenu)->setCheckable(true);
    AddAction(cmd::kToggleY, QStringLiteral("Y方向"), m_pViewMenu)->setCheckable(true);
    AddAction(cmd::kToggleZ, QStringLiteral("Z方向"), m_pViewMenu)->setCheckable(true);

    QMenu* look = menuBar()->addMenu(QStringLiteral("查看(&C)"));
    AddAction(cmd::kGraphMode, QStringLiteral("图形     \tF7"), look);
    AddAction(cmd::kTableMode, QStringLiteral("表格    \tF8"), look);
    look->addSeparator();
    AddAction(cmd::kAutoInterpret, QStringLiteral("自动判读"), look)->setShortcut(QKeySequence(Qt::Key_F9));
    AddAction(cmd::kAcceptSuggestion, QStringLiteral("采用建议"), look)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F9));

    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    AddAction(cmd::kAppAbout, QStringLiteral("关于Orvek(&A)..."), help);

    // Menus are brought up to date as they open as well, so nothing can show a stale state.
    for (QMenu* menu : {file, edit, m_pViewMenu, look, help})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
}

void CMainFrame::CreateToolBar()
{
    m_wndToolBar = addToolBar(QStringLiteral("标准"));
    m_wndToolBar->setObjectName(QStringLiteral("toolBar128"));
    m_wndToolBar->setIconSize(QSize(16, 16));
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);

    // Toolbar-only commands.
    AddAction(cmd::kToolPrintSetup, QStringLiteral("打印设置"));
    AddAction(cmd::kToolPreview, QStringLiteral("打印预览"));

    struct Button {
        int nId;
        IconId icon;
        const char16_t* tip;
    };
    const Button buttons[] = {
        {cmd::kFileOpen, IconId::Open, u"打开"},
        {cmd::kFileSave, IconId::Save, u"保存"},
        {0, IconId::App, nullptr},
        {cmd::kToolPrintSetup, IconId::PrintSetup, u"打印设置"},
        {cmd::kToolPreview, IconId::PrintPreview, u"打印预览"},
        {cmd::kPrint, IconId::Print, u"打印"},
        {cmd::kAppAbout, IconId::About, u"关于"},
        {0, IconId::App, nullptr},
        {cmd::kAutoInterpret, IconId::Interpret, u"自动判读"},
    };
    for (const Button& b : buttons) {
        if (b.nId == 0) {
            m_wndToolBar->addSeparator();
            continue;
        }
        QAction* action = Action(b.nId);
        action->setIcon(MakeIcon(b.icon));
        action->setToolTip(QString::fromUtf16(b.tip));
        action->setStatusTip(QString::fromUtf16(b.tip));
        m_wndToolBar->addAction(action);
    }
}

void CMainFrame::CreateAccelerators()
{
    // The accelerator table, entry by entry. F7 and F8 come in under ids of their own; Ctrl+V is
    // the paste command, which nothing handles (the preview's menu text notwithstanding).
    const std::pair<QKeySequence, int> table[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_C), cmd::kEditCopy},
        {QKeySequence(Qt::CTRL | Qt::Key_Insert), cmd::kEditCopy},
        {QKeySequence(Qt::SHIFT | Qt::Key_Delete), cmd::kEditCut},
        {QKeySequence(Qt::CTRL | Qt::Key_X), cmd::kEditCut},
        {QKeySequence(Qt::CTRL | Qt::Key_V), cmd::kEditPaste},
        {QKeySequence(Qt::SHIFT | Qt::Key_Insert), cmd::kEditPaste},
        {QKeySequence(Qt::ALT | Qt::Key_Backspace), cmd::kEditUndo},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), cmd::kEditUndo},
        {QKeySequence(Qt::CTRL | Qt::Key_N), cmd::kFileNew},
        {QKeySequence(Qt::CTRL | Qt::Key_O), cmd::kFileOpen},
        {QKeySequence(Qt::CTRL | Qt::Key_P), cmd::kPrint},
        {QKeySequence(Qt::CTRL | Qt::Key_S), cmd::kFileSave},
        {QKeySequence(Qt::Key_F6), cmd::kNextPane},
        {QKeySequence(Qt::SHIFT | Qt::Key_F6), cmd::kPrevPane},
        {QKeySequence(Qt::Key_F7), cmd::kGraphModeKey},
        {QKeySequence(Qt::Key_F8), cmd::kTableModeKey},
    };
    for (const auto& [keys, nId] : table) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setProperty("commandId", nId);
        connect(shortcut, &QShortcut::activated, this, [this, id = nId] { OnCommand(id); });
        m_accelerators.append(shortcut);
    }
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(true);
    // One permanent line holds every pane, so that it alone shares out the bar's width.
    m_pStatusLine = new CStatusLine(bar);
    bar->addPermanentWidget(m_pStatusLine, 1);
    m_pMessagePane = m_pStatusLine->MessagePane();
    for (int i = 0; i < pane::kPaneCount; ++i) {
        const int nId = pane::kFirstPane + i;
        CStatusPane* pane = m_pStatusLine->Pane(i);
        pane->setObjectName(QStringLiteral("pane%1").arg(nId));
        pane->setProperty("paneId", nId);
        m_panes[std::size_t(i)] = pane;
    }
}

bool CMainFrame::event(QEvent* event)
{
    // Tool and menu tips show in the message pane; the bar itself has no room left for them.
    if (event->type() == QEvent::StatusTip) {
        m_pStatusLine->ShowTip(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

CStatusPane* CMainFrame::StatusPane(int nId) const
{
    if (nId < pane::kFirstPane || nId > pane::kLastPane)
        return nullptr;
    return m_panes[std::size_t(nId - pane::kFirstPane)];
}

void CMainFrame::SetStatusPaneText(int nId, const QString& text)
{
    if (CStatusPane* pane = StatusPane(nId))
        pane->SetPaneText(text);
}

void CMainFrame::SetPaneWidth(int nPaneId, int nWidth)
{
    // The view measures the text in its own font: the width the pane asks for when there is room.
    if (CStatusPane* pane = StatusPane(nPaneId))
        pane->SetPreferredTextWidth(nWidth);
}

void CMainFrame::RegisterHotKeys()
{
    const std::pair<QKeySequence, int> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::META | Qt::Key_I), cmd::kHotKeyStartDepth},
        {QKeySequence(Qt::CTRL | Qt::META | Qt::Key_E), cmd::kHotKeyTail},
    };
    for (const auto& [sequence, nId] : keys) {
        auto* shortcut = new QShortcut(sequence, this);
        shortcut->setContext(Qt::ApplicationShortcut);
        shortcut->setProperty("hotKeyId", nId);
        connect(shortcut, &QShortcut::activated, this, [this, id = nId] { OnHotKey(id); });
        m_hotKeys.append(shortcut);
    }
}

void CMainFrame::ApplyInitialSplit()
{
    m_bSplitApplied = true;
    const int width = m_wndSplitter->width();
    // The width the operator dragged the tree to last, while it leaves the view some room.
    const int stored = QSettings().value(QStringLiteral("Window/TreeWidth"), 0).toInt();
    const int tree = stored > 0 && stored < width - 100 ? stored : width / 8;
    m_wndSplitter->setSizes({tree, width - tree});
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_bSplitApplied)
        ApplyInitialSplit();
}

// ---------------------------------------------------------------------------------------------
// Command routing and enabling

bool CMainFrame::IsCommandEnabled(int nId) const
{
    switch (nId) {
    case cmd::kFileSave:
        return m_bFileOpened && m_nViewMode != cmd::kTableMode;
    case cmd::kPrintSetup:
    case cmd::kSavePicture:
    case cmd::kExportData:
    case cmd::kToolPrintSetup:
    case cmd::kExportLas:
    case cmd::kExportCsv:
        return m_bFileOpened != 0;
    case cmd::kPrint:
    case cmd::kPrintPreview:
    case cmd::kToolPreview:
        return m_printSelection.m_printReady != 0;
    case cmd::kGraphMode:
        return m_nViewMode == cmd::kTableMode;
    case cmd::kTableMode:
        return m_nViewMode != cmd::kTableMode;
    case cmd::kAutoInterpret:
        return m_nViewMode == cmd::kGraphMode && !m_pShownFile->FilePath().isEmpty();
    case cmd::kEditUndo:
        return m_nViewMode == cmd::kGraphMode && m_pDrawView->MarkerLayer().CanUndo();
    case cmd::kSiteSummary:
        return !m_pTreeView->m_strFolder.isEmpty();
    case cmd::kAcceptSuggestion:
        return m_nViewMode == cmd::kGraphMode && m_pDrawView->Suggestion().Shown();
    default:
        if (nId >= cmd::kMruFirst && nId <= cmd::kMruLast)
            return nId - cmd::kMruFirst < m_recentFiles.Paths().size();
        return true;
    }
}

void CMainFrame::UpdateCommandUI()
{
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        it.value()->setEnabled(IsCommandEnabled(it.key()));
    Action(cmd::kToggleX)->setChecked(m_bShowX != 0);
    Action(cmd::kToggleY)->setChecked(m_bShowY != 0);
    Action(cmd::kToggleZ)->setChecked(m_bShowZ != 0);
    UpdateRecentMenu();
}

void CMainFrame::UpdateRecentMenu()
{
    // With no recent file the first entry stands greyed as a placeholder.
    const QStringList& paths = m_recentFiles.Paths();
    for (int i = 0; i < int(m_recentActions.size()); ++i) {
        QAction* action = m_recentActions[std::size_t(i)];
        if (i < paths.size()) {
            action->setText(m_recentFiles.MenuText(i));
            action->setVisible(true);
        } else {
            action->setText(texts::kRecentPlaceholder);
            action->setVisible(i == 0 && paths.isEmpty());
        }
    }
}

void CMainFrame::OnCommand(int nId)
{
    if (!IsCommandEnabled(nId))
        return;
    switch (nId) {
    case cmd::kFileOpen:
        OnFileOpen();
        break;
    case cmd::kFileSave:
        OnFileSave();
        break;
    case cmd::kEditUndo:
        m_pDrawView->UndoMarkers();
        break;
    case cmd::kSavePicture:
    case cmd::kExportData:
        // These act on the file on display, whichever pane has the focus.
        m_pDrawView->OnCommand(nId);
        break;
    case cmd::kPrintSetup:
    case cmd::kToolPrintSetup:
        OnPrintSetup();
        break;
    case cmd::kExportLas:
    case cmd::kExportCsv: {
        RememberedFolderPrompts prompts(m_prompts,
                                        nId == cmd::kExportLas ? QStringLiteral("las") : QStringLiteral("csv"));
        RunWellLogExport(m_pShownFile->FilePath(), m_pShownFile->ScreenData().primary.m_nSmoothWindow,
                         nId == cmd::kExportLas ? WellLogFormat::Las : WellLogFormat::Csv, prompts);
        break;
    }
    case cmd::kPrint:
        OnPrint(PrintJob::kPrint);
        break;
    case cmd::kPrintPreview:
    case cmd::kToolPreview:
        OnPrint(PrintJob::kPreview);
        break;
    case cmd::kAppExit:
        close();
        break;
    case cmd::kAppAbout:
        OnAppAbout();
        break;
    case cmd::kToggleX:
    case cmd::kToggleY:
    case cmd::kToggleZ:
        OnToggleComponent(nId);
        break;
    case cmd::kGraphMode:
    case cmd::kGraphModeKey:
        OnGraphMode();
        break;
    case cmd::kTableMode:
    case cmd::kTableModeKey:
        OnTableMode();
        break;
    case cmd::kNextPane:
    case cmd::kPrevPane:
        OnNextPane();
        break;
    case cmd::kStoreMessage:
        m_prompts.Message(texts::kStoreMessage);
        break;
    case cmd::kAutoInterpret:
        OnAutoInterpret();
        break;
    case cmd::kAcceptSuggestion:
        OnAcceptSuggestion();
        break;
    case cmd::kSiteSummary:
        // A row opens its file the way File / Open by path does, with all of that path's checks.
        CSummaryWnd::ShowFor(*this, m_pTreeView->m_strFolder, m_prompts,
                             [this](const QString& path) { OpenDocumentFile(path); });
        break;
    default:
        if (nId >= cmd::kMruFirst && nId <= cmd::kMruLast)
            OnRecentFile(nId - cmd::kMruFirst);
        // Edit commands and File / New come in through accelerators and are not handled.
        break;
    }
    UpdateCommandUI();
}

// ---------------------------------------------------------------------------------------------
// Opening files

void CMainFrame::OnFileOpen()
{
    Prompts::FileRequest request;
    request.filter = texts::kOpenFilter;
    request.readOnlyBox = true;
    request.readOnlyChecked = true;
    // Start where the file on display lives, that is where its neighbours are; without one, where
    // the last file opened came from.
    request.initialPath = FolderOfPath(m_pShownFile->FilePath());
    if (request.initialPath.isEmpty())
        request.initialPath = RememberedFolderPrompts::Folder(QStringLiteral("open"));
    const QString path = m_prompts.OpenFileName(request).path;
    if (path.isEmpty())
        return;
    if (OpenChosenFile(path))
        RememberedFolderPrompts::Remember(QStringLiteral("open"), path);
}

bool CMainFrame::OpenChosenFile(const QString& path)
{
    if (!IsReadableNonEmpty(path)) {
        m_prompts.Message(QString::fromUtf8(msg::kCannotRead));
        return false;
    }
    if (!MayDropMarkers())
        return false;
    AddRecentFile(path);
    m_bFileOpened = 1;
    ShowChosenFile(path, Origin::OpenDialog);
    return true;
}

bool CMainFrame::MayDropMarkers()
{
    if (!m_pDrawView->MarkerLayer().HasUnsavedMarkers())
        return true;
    switch (m_prompts.AskToSave(texts::kUnsavedMarkers)) {
    case Prompts::SaveChoice::Save:
        OnFileSave();
        // A save that was cancelled or failed keeps the markers on display.
        return !m_pDrawView->MarkerLayer().HasUnsavedMarkers();
    case Prompts::SaveChoice::Discard:
        return true;
    case Prompts::SaveChoice::Cancel:
        break;
    }
    return false;
}

void CMainFrame::OnFileSave()
{
    const QString saved = m_pDrawView->OnFileSave();
    if (saved.isEmpty())
        return;
    m_pMessagePane->SetPaneText(texts::kSavedTo.arg(QDir::toNativeSeparators(saved)));
    // A copy saved beside the files of the tree belongs in it, with its marker image.
    if (!m_pTreeView->m_strFolder.isEmpty() &&
        QFileInfo(FolderOfPath(saved)).canonicalFilePath() == QFileInfo(m_pTreeView->m_strFolder).canonicalFilePath()) {
        m_pTreeView->Refill();
        m_pTreeView->SelectPath(m_pShownFile->FilePath());
    }
}

void CMainFrame::OnAcceptSuggestion()
{
    CDrawView& view = *m_pDrawView;
    if (view.MarkerLayer().AnyMarkerStands() && !m_prompts.Question(texts::kReplaceMarkers))
        return;
    view.Suggestion().Accept(view);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (MayDropMarkers())
        event->accept();
    else
        event->ignore();
}

namespace {

// The first measurement file among the local files of a drag.
QString DroppedFile(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl& url : mime->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty() && HasCddExtension(QFile::encodeName(path).toStdString()))
            return path;
    }
    return {};
}

}  // namespace

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // The drop ends before the file is shown, so that a question asked on the way does not stall
    // the program the file came from.
    QTimer::singleShot(0, this, [this, path] {
        OpenChosenFile(path);
        UpdateCommandUI();
    });
}

bool CMainFrame::OpenDocumentFile(const QString& path)
{
    if (!PathExists(path)) {
        m_prompts.Message(QString::fromUtf8(msg::kFileMissing));
        return false;
    }
    if (!IsReadableNonEmpty(path)) {
        m_prompts.Message(QString::fromUtf8(msg::kCannotRead));
        return false;
    }
    // The file itself is fine; the operator chose to keep the markers on display.
    if (!MayDropMarkers())
        return true;
    if (!FolderOfPath(path).isEmpty())
        m_bFileOpened = 1;
    ShowChosenFile(path, Origin::Path);
    UpdateCommandUI();
    return true;
}

void CMainFrame::OnRecentFile(int nIndex)
{
    const QStringList& paths = m_recentFiles.Paths();
    if (nIndex < 0 || nIndex >= paths.size())
        return;
    const QString path = paths[nIndex];
    // An entry that no longer opens would only fail again; it leaves the list.
    if (!OpenDocumentFile(path)) {
        m_recentFiles.Remove(path);
        QSettings settings;
        m_recentFiles.Save(settings);
    }
}

void CMainFrame::AddRecentFile(const QString& path)
{
    m_recentFiles.Add(path);
    QSettings settings;
    m_recentFiles.Save(settings);
    UpdateRecentMenu();
}

void CMainFrame::SetFileTitle(const QString& path)
{
    setWindowTitle(texts::kFileTitle.arg(QDir::toNativeSeparators(path)));
}

void CMainFrame::ShowChosenFile(const QString& path, Origin origin)
{
    SetFileTitle(path);
    const QString folder = FolderOfPath(path);
    if (origin == Origin::Tree) {
        AddRecentFile(path);
    } else if (!folder.isEmpty()) {
        m_pTreeView->m_strFolder = folder;
        m_pTreeView->Refill();
    } else {
        m_prompts.Message(QString::fromUtf8(msg::kNoFileChosen));
    }

    // The view loads nothing now: it is told which file to show and reads it when it paints.
    m_strReportedProblem.clear();
    CDrawView& view = *m_pDrawView;
    // The suggestion and its message speak of the file shown before.
    view.Suggestion().Clear();
    m_pMessagePane->SetPaneText(texts::kReady);
    std::function<void()> leaveTable;
    if (m_nViewMode == cmd::kTableMode)
        leaveTable = [this] { OnCommand(cmd::kGraphMode); };
    view.ShowFile(path, origin == Origin::Tree && folder.isEmpty() ? path : folder, leaveTable);
    // The read-out of the file shown before stands on its depths.
    SetStatusPaneText(pane::kReadout, QStringLiteral(" "));
    m_pTreeView->SelectPath(path);
    if (origin != Origin::Tree)
        view.setFocus();
    UpdateCommandUI();
}

// ---------------------------------------------------------------------------------------------
// Display mode, directions, focus

void CMainFrame::OnGraphMode()
{
    m_nViewMode = cmd::kGraphMode;
    // Hiding the grid takes the focus from it, which is where edits of the table are saved.
    m_pTable->hide();
    m_pDrawView->ShowGraph();
}

void CMainFrame::OnTableMode()
{
    m_nViewMode = cmd::kTableMode;
    CDrawView& view = *m_pDrawView;
    view.ShowTable();
    // The view may have changed size while the grid was hidden.
    m_pTable->FitTo(view.size());
    m_pTable->show();
}

void CMainFrame::OnToggleComponent(int nId)
{
    int* flag = nId == cmd::kToggleX ? &m_bShowX : nId == cmd::kToggleY ? &m_bShowY : &m_bShowZ;
    *flag = *flag ? 0 : 1;
    m_nShownComponents += *flag ? 1 : -1;
    m_pDrawView->RequestRelayout();
}

void CMainFrame::OnNextPane()
{
    // Two panes: the next one and the previous one are the same.
    if (m_pTreeView->hasFocus())
        m_pDrawView->setFocus();
    else
        m_pTreeView->setFocus();
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        OnFrameActivated();
}

void CMainFrame::OnFrameActivated()
{
    // Coming back from a dialog or another program: the file may have been written meanwhile.
    m_pDrawView->RequestReload(CDrawCanvas::Reload::EveryPaint);
}

void CMainFrame::OnAutoInterpret()
{
    CDrawView& view = *m_pDrawView;
    if (!view.ShowsLoadedFile()) {
        m_prompts.Message(view.NotLoadedMessage());
        return;
    }
    view.Suggestion().Show(SuggestCage(m_pShownFile->ScreenData().primary));
    m_pMessagePane->SetPaneText(view.Suggestion().Summary());
    view.update();
}

void CMainFrame::OnAppAbout()
{
    RunDialog(new CAboutDlg(this));
}

void CMainFrame::OnSmoothSettings()
{
    RunDialog(new CSmoothSetDlg(m_pDrawView, m_prompts, this));
}

void CMainFrame::OnPrintSetup()
{
    RunDialog(
        new CPrintSetDlg(*m_pDrawView, m_printSelection, CPrintSetDlg::TreeLeafNames(*m_pTreeView), m_prompts, this));
}

void CMainFrame::OnPrint(int printMode)
{
    PrintJob job(*m_pShownFile, m_printSelection, m_prompts);
    job.StartCommand(printMode);
    // Many pages take a while: the operator sees how far it got and may stop it.
    QProgressDialog progress(QStringLiteral("正在生成打印页面…"), QStringLiteral("取消"), 0, 1, this);
    progress.setWindowTitle(texts::kAppTitle);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    progress.reset();
    job.SetProgress([&progress](int done, int total) {
        if (done == 0) {
            progress.reset();
            progress.setMaximum(total);
        }
        progress.setLabelText(QStringLiteral("正在生成第 %1 页，共 %2 页…").arg(std::min(done + 1, total)).arg(total));
        progress.setValue(done);
        if (done == total)
            progress.reset();
        return !progress.wasCanceled();
    });
    QPrinter printer(QPrinter::HighResolution);
    PrintJob::PreparePrinter(printer);
    if (printMode == PrintJob::kPrint) {
        // Qt's print dialog also offers printing into a PDF file.
        QPrintDialog dialog(&printer, this);
        dialog.setMinMax(1, std::max(1, job.MaximumPage()));
        ProposePdfName(dialog, printer);
        if (job.MaximumPage() > 0 && dialog.exec() == QDialog::Accepted)
            job.PrintToPrinter(printer);
    } else {
        QPrintPreviewDialog preview(&printer, this);
        connect(&preview, &QPrintPreviewDialog::paintRequested, this,
                [&job](QPrinter* target) { job.RenderPreview(*target); });
        preview.exec();
        if (m_nViewMode == cmd::kTableMode)
            m_pDrawView->RequestTableRefill();
    }
}

void CMainFrame::ProposePdfName(QPrintDialog& dialog, QPrinter& printer)
{
    // Printing into a file proposes the file on display's folder and name; Qt's own dialog takes
    // the name from the document name and its field of that name.
    const QString shown = m_pShownFile->FilePath();
    if (shown.isEmpty())
        return;
    const QFileInfo info(shown);
    printer.setDocName(info.completeBaseName());
    if (auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("filename")))
        field->setText(QDir(info.absolutePath()).filePath(info.completeBaseName() + QStringLiteral(".pdf")));
}

void CMainFrame::OnSavePicture()
{
    CDrawView& view = *m_pDrawView;
    const picture::Result result = picture::SavePictures(view, picture::Snapshot(view), picture::ScreenOf(view));
    if (!result.Ok()) {
        m_prompts.Message(result.failure);
        return;
    }
    RunDialog(new CSavePicDlg(result.notice, m_pShownFile->Folder(), this));
}

void CMainFrame::OnExportData()
{
    RememberedFolderPrompts prompts(m_prompts, QStringLiteral("xls"));
    RunExcelExport(m_exportList, m_pShownFile->ScreenData().primary, prompts);
}

void CMainFrame::RunDialog(QDialog* dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, &CMainFrame::UpdateCommandUI);
    dialog->open();
}

bool CMainFrame::HotKeyAllowed() const
{
    return m_bFileOpened && m_nViewMode == cmd::kTableMode;
}

void CMainFrame::OnHotKey(int nId)
{
    if (!HotKeyAllowed())
        return;
    if (nId == cmd::kHotKeyStartDepth)
        OnStartDepthCorrection();
    else if (nId == cmd::kHotKeyTail)
        OnTailInsertion();
    UpdateCommandUI();
}

void CMainFrame::OnStartDepthCorrection()
{
    if (!m_pDrawView->ShowsLoadedFile()) {
        m_prompts.Message(m_pDrawView->NotLoadedMessage());
        return;
    }
    auto* dialog = new CAddPointDlg(*m_pDrawView, m_prompts, this);
    connect(dialog, &QDialog::accepted, this, [this] {
        // The grid still shows the data from before the rewrite; with the focus out of it while
        // the table is up, leaving the table cannot offer to write those values back.
        m_pDrawView->setFocus();
        OnCommand(cmd::kGraphMode);
    });
    RunDialog(dialog);
}

void CMainFrame::OnTailInsertion()
{
    // The table is showing already, so the table-mode command would be refused as disabled; the
    // switch itself is what refills the grid.
    if (InsertTailPoints(*m_pDrawView, m_prompts))
        OnTableMode();
}
