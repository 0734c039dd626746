#include "OperatorRun.h"

#include "app/CMainFrame.h"
#include "app/CStatusPane.h"
#include "app/CVarnelApp.h"
#include "app/CommandIds.h"
#include "app/ShellTexts.h"
#include "app/table/CEditListCtrl.h"
#include "app/tree/CFileTreeView.h"
#include "data/MeasurementFile.h"
#include "data/SystemConfig.h"
#include "data/TextCodec.h"
#include "view/CDrawView.h"
#include "view/DisplayedFile.h"
#include "view/IStatusPanes.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QSettings>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <array>
#include <climits>
#include <cmath>
#include <cstdio>

namespace {

const QStringList kSamples = {QStringLiteral("P01-12m.cdd"), QStringLiteral("P02-20m.cdd"),
                              QStringLiteral("P03-30m.cdd"), QStringLiteral("P04-45m.cdd"),
                              QStringLiteral("P05-60m.cdd"), QStringLiteral("P06-45m-5cm.cdd"),
                              QStringLiteral("P07-36m.cdd"), QStringLiteral("P08-24m.cdd")};

}  // namespace

qint64 OperatorClockMs()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

namespace {

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray SampleBytes(const QString& name)
{
    return Bytes(QStringLiteral(ORVEK_SAMPLES_DIR "/") + name);
}

// Every command id the program knows, and a few it does not.
const std::vector<int>& CommandIds()
{
    static const std::vector<int> ids = [] {
        // clang-format off
        std::vector<int> v = {
            cmd::kFileNew, cmd::kFileOpen, cmd::kFileSave, cmd::kPrintSetup, cmd::kPrint, cmd::kPrintPreview,
            cmd::kEditCopy, cmd::kEditCut, cmd::kEditPaste, cmd::kEditUndo, cmd::kAppAbout, cmd::kNextPane,
            cmd::kPrevPane, cmd::kToggleX, cmd::kToggleY, cmd::kToggleZ, cmd::kGraphMode, cmd::kTableMode,
            cmd::kGraphModeKey, cmd::kTableModeKey, cmd::kStoreMessage, cmd::kToolPreview, cmd::kToolPrintSetup,
            cmd::kExportLas, cmd::kExportCsv, cmd::kSiteSummary, cmd::kAutoInterpret, cmd::kAcceptSuggestion,
            cmd::kSavePicture, cmd::kExportData, cmd::kClearMarkers, cmd::kSmoothSettings, cmd::kHotKeyStartDepth,
            cmd::kHotKeyTail, 0, -1, 99999};
        // clang-format on
        for (int id = cmd::kMruFirst; id <= cmd::kMruLast; ++id)
            v.push_back(id);
        for (int kind = 0; kind < 11; ++kind)
            v.push_back(cmd::MarkerCommandId(kind));
        return v;
    }();
    return ids;
}

struct KeyChord {
    int key;
    int modifiers;
};

const std::vector<KeyChord>& Keys()
{
    // clang-format off
    static const std::vector<KeyChord> keys = {
        {Qt::Key_Left, 0}, {Qt::Key_Right, 0}, {Qt::Key_Up, 0}, {Qt::Key_Down, 0}, {Qt::Key_Home, 0},
        {Qt::Key_End, 0}, {Qt::Key_PageUp, 0}, {Qt::Key_PageDown, 0}, {Qt::Key_F7, 0}, {Qt::Key_F8, 0},
        {Qt::Key_F9, 0}, {Qt::Key_F9, Qt::ControlModifier}, {Qt::Key_Z, Qt::ControlModifier},
        {Qt::Key_Backspace, Qt::AltModifier}, {Qt::Key_Return, 0}, {Qt::Key_Escape, 0}, {Qt::Key_Tab, 0},
        {Qt::Key_Tab, Qt::ControlModifier}, {Qt::Key_F10, Qt::ShiftModifier}, {Qt::Key_Menu, 0},
        {Qt::Key_Delete, 0}, {Qt::Key_I, Qt::ControlModifier | Qt::MetaModifier},
        {Qt::Key_E, Qt::ControlModifier | Qt::MetaModifier}, {Qt::Key_O, Qt::ControlModifier},
        {Qt::Key_S, Qt::ControlModifier}, {Qt::Key_P, Qt::ControlModifier}, {Qt::Key_F, Qt::AltModifier},
        {Qt::Key_V, Qt::AltModifier}, {Qt::Key_F6, 0}, {Qt::Key_5, 0}, {Qt::Key_Minus, 0}, {Qt::Key_Space, 0},
    };
    // clang-format on
    return keys;
}

// Texts an operator might type: numbers, numbers with slips, and garbage.
QString RandomText(std::mt19937& rng)
{
    static const QStringList texts = {
        QStringLiteral("44610"),    QStringLiteral("-12"),          QStringLiteral("0"),
        QStringLiteral("12.5"),     QStringLiteral("44 610"),       QStringLiteral("abc"),
        QStringLiteral(""),         QStringLiteral("99999999999"),  QStringLiteral("1e9"),
        QStringLiteral("东湖新区"), QStringLiteral("￥100"),        QStringLiteral("3"),
        QStringLiteral("-0.5"),     QStringLiteral("25"),           QStringLiteral("ＺＫ７"),
        QStringLiteral("\t"),       QString(300, QLatin1Char('x')), QStringLiteral("7,5"),
    };
    return texts[int(rng() % uint32_t(texts.size()))];
}

// Types text as keys; QTest's own typing knows ASCII only.
void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80 && ch.isPrint()) {
            QTest::keyClicks(widget, QString(ch));
        } else if (ch == QLatin1Char('\t')) {
            QTest::keyClick(widget, Qt::Key_Tab);
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(widget, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(widget, &release);
        }
    }
}

// Whether no two samples share a depth.
bool EvenlySpaced(const std::vector<DepthPixelEntry>& entries)
{
    for (std::size_t i = 1; i < entries.size(); ++i)
        if (entries[i].depth == entries[i - 1].depth)
            return false;
    return true;
}

bool HasCddSuffix(const QString& path)
{
    return path.endsWith(QStringLiteral(".cdd"), Qt::CaseInsensitive);
}

// The byte ranges the program's rewrite of a file's data owns: start depth and count, and the
// samples on.
WriteAllowance DataRewriteOf(const QString& path)
{
    return {path, false, {{qint64(cdd::kStartDepth), qint64(cdd::kAcqTexts)}, {qint64(cdd::kSamples), -1}}, true};
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Prompts

void RandomPrompts::StartAction(uint32_t seed, std::vector<WriteAllowance>* allowances)
{
    m_rng.seed(seed);
    m_pAllowances = allowances;
}

void RandomPrompts::RunBoxLoop()
{
    // The box would paint and let timers run while it waits; the operator's input is blocked.
    ++m_depth;
    QCoreApplication::processEvents();
    --m_depth;
}

void RandomPrompts::Allow(WriteAllowance allowance)
{
    if (m_pAllowances && !allowance.path.isEmpty())
        m_pAllowances->push_back(std::move(allowance));
}

void RandomPrompts::Message(const QString& text, Kind)
{
    m_texts.append(text);
    RunBoxLoop();
}

bool RandomPrompts::Question(const QString& text, Buttons)
{
    m_texts.append(text);
    RunBoxLoop();
    const bool yes = m_rng() % 2 == 0;
    // Leaving the table with the answer yes writes the grid's Z column back.
    if (yes && text == QStringLiteral("保存修改？"))
        Allow({m_context.tableFile(), false, {{qint64(cdd::kSamples), -1}}, false});
    return yes;
}

Prompts::SaveChoice RandomPrompts::AskToSave(const QString& text)
{
    m_texts.append(text);
    RunBoxLoop();
    return std::array{SaveChoice::Save, SaveChoice::Discard, SaveChoice::Cancel}[m_rng() % 3];
}

Prompts::FileAnswer RandomPrompts::OpenFileName(const FileRequest&)
{
    RunBoxLoop();
    const QStringList files = m_context.folderFiles();
    const uint32_t pick = m_rng() % uint32_t(files.size() + 2);
    if (pick == uint32_t(files.size()))
        return {};
    if (pick > uint32_t(files.size()))
        return {QDir(m_context.folder).filePath(QStringLiteral("missing.cdd")), false};
    return {files[int(pick)], m_rng() % 4 == 0};
}

Prompts::FileAnswer RandomPrompts::SaveFileName(const FileRequest& request)
{
    RunBoxLoop();
    const QStringList files = m_context.folderFiles();
    QString path;
    switch (m_rng() % 7) {
    case 0:
        return {};
    case 1:
        path = m_context.shownFile();
        break;
    case 2:
        path = files.value(int(m_rng() % uint32_t(std::max<qsizetype>(files.size(), 1))));
        break;
    case 3:
        path = QDir(m_context.readOnlyFolder).filePath(QStringLiteral("out.") + request.defaultSuffix);
        break;
    case 4:
        path = QDir(m_context.folder).filePath(QStringLiteral("no/such/folder/out.") + request.defaultSuffix);
        break;
    default:
        path = QDir(m_context.folder)
                   .filePath(QStringLiteral("saved-%1.").arg(m_rng() % 4) +
                             (request.defaultSuffix.isEmpty() ? QStringLiteral("out") : request.defaultSuffix));
        break;
    }
    if (path.isEmpty())
        return {};
    // File / Save into the file on display itself owns its marker table only; any other file the
    // operator named is the program's to write as a whole.
    const bool markerSave = request.filter.contains(QStringLiteral("*.cdd"));
    if (markerSave && QFileInfo(path) == QFileInfo(m_context.shownFile()))
        Allow({path, false, {{0, qint64(cdd::kReportFlag)}}, false});
    else
        Allow({path, true, {}, true});
    return {path, false};
}

// ---------------------------------------------------------------------------------------------
// The run

OperatorRun::OperatorRun()
{
    CVarnelApp::SetIdentity();
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settingsDir.path());
    m_folder = m_dataDir.filePath(QStringLiteral("site"));
    BuildFolder();
    RandomPrompts::Context context;
    context.shownFile = [this] { return m_frame ? m_frame->ShownFile().FilePath() : QString(); };
    context.tableFile = [this] { return m_frame ? m_frame->GetTable()->FilledPath() : QString(); };
    context.folderFiles = [this] { return FolderFiles(); };
    context.folder = m_folder;
    context.readOnlyFolder = QDir(m_folder).filePath(QStringLiteral("ro"));
    m_prompts = std::make_unique<RandomPrompts>(context);
    m_otherProgram = std::make_unique<QWidget>();
    m_otherProgram->resize(200, 100);
    StartFrame();
    Snapshot();
}

OperatorRun::~OperatorRun()
{
    // The folders must be writable again to be removed.
    QFile::setPermissions(QDir(m_folder).filePath(QStringLiteral("ro")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void OperatorRun::BuildFolder()
{
    QDir().mkpath(m_folder);
    for (const QString& name : kSamples)
        WriteBytes(QDir(m_folder).filePath(name), SampleBytes(name));
    WriteBytes(QDir(m_folder).filePath(QStringLiteral("empty.cdd")), {});
    WriteBytes(QDir(m_folder).filePath(QStringLiteral("text.cdd")), "not a measurement\r\n");
    WriteBytes(QDir(m_folder).filePath(QStringLiteral("truncated.cdd")), SampleBytes(kSamples[0]).left(1500));
    // One sample more than a data set holds, with the bytes to back it.
    QByteArray big = SampleBytes(kSamples[5]);
    const int32_t count = 2049;
    std::memcpy(big.data() + cdd::kCount, &count, sizeof count);
    big.append(QByteArray(int(cdd::kSampleSize) * 2049 + 64, '\x01'));
    WriteBytes(QDir(m_folder).filePath(QStringLiteral("toomany.cdd")), big);
    const QString readOnly = QDir(m_folder).filePath(QStringLiteral("readonly.cdd"));
    WriteBytes(readOnly, SampleBytes(kSamples[1]));
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup);
    m_liveFile = QDir(m_folder).filePath(QStringLiteral("live.cdd"));
    WriteBytes(m_liveFile, SampleBytes(kSamples[2]));
    const QString roFolder = QDir(m_folder).filePath(QStringLiteral("ro"));
    QDir().mkpath(roFolder);
    QFile::setPermissions(roFolder, QFile::ReadOwner | QFile::ExeOwner);
}

QStringList OperatorRun::FolderFiles() const
{
    QStringList files;
    QDirIterator it(m_folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    return files;
}

void OperatorRun::StartFrame()
{
    m_frame = std::make_unique<CMainFrame>(*m_prompts);
    m_frame->resize(1040, 700);
    m_frame->show();
    QApplication::setActiveWindow(m_frame.get());
    (void)QTest::qWaitForWindowExposed(m_frame.get(), 2000);
    // The first view shows the site's folder, as if the program had been started from it.
    m_frame->OpenDocumentFile(QDir(m_folder).filePath(kSamples[0]));
}

namespace {

// Pictures and printed pages are the program's own output beside the file on display, written by
// their commands without a question; they are not watched (and are the largest files).
bool IsOutput(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("bmp") || suffix == QLatin1String("pdf");
}

}  // namespace

void OperatorRun::Snapshot()
{
    m_bytes.clear();
    for (const QString& path : FolderFiles())
        if (!IsOutput(path))
            m_bytes.insert(path, Bytes(path));
}

void OperatorRun::Fail(const QString& property, const QString& detail)
{
    if (!m_finding)
        m_finding = Finding{property, detail};
}

QWidget* OperatorRun::ModalWidget() const
{
    return QApplication::activeModalWidget();
}

QWidget* OperatorRun::SummaryWindow() const
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && QByteArray(window->metaObject()->className()) == "CSummaryWnd")
            return window;
    return nullptr;
}

QWidget* OperatorRun::Target(int which) const
{
    switch (which % 3) {
    case 0:
        return m_frame->GetDrawView();
    case 1:
        return m_frame->GetTreeView();
    default:
        return m_frame->GetTable();
    }
}

Action OperatorRun::Draw(std::mt19937& rng) const
{
    Action action;
    action.seed = rng();
    auto pick = [&rng](int n) { return int(rng() % uint32_t(n)); };
    const int roll = pick(100);
    const bool popup = QApplication::activePopupWidget() != nullptr;
    const bool modal = ModalWidget() != nullptr;
    if (popup && roll < 85) {
        action.kind = Action::Kind::Menu;
        action.a = pick(16);
        return action;
    }
    if ((modal && roll < 75) || (!modal && roll >= 97 && SummaryWindow())) {
        action.kind = Action::Kind::Dialog;
        action.a = pick(100) < 45 ? 0 : pick(6);
        action.b = pick(12);
        action.text = RandomText(rng);
        return action;
    }
    const int r = pick(100);
    if (r < 14) {
        action.kind = Action::Kind::Command;
        action.a = CommandIds()[std::size_t(pick(int(CommandIds().size())))];
    } else if (r < 24) {
        action.kind = Action::Kind::Trigger;
        action.a = CommandIds()[std::size_t(pick(int(CommandIds().size())))];
    } else if (r < 46) {
        action.kind = Action::Kind::Key;
        const KeyChord& chord = Keys()[std::size_t(pick(int(Keys().size())))];
        action.a = chord.key;
        action.b = chord.modifiers;
    } else if (r < 74) {
        action.kind = Action::Kind::Click;
        action.a = pick(100) < 60 ? 0 : 1 + pick(2);
        action.b = pick(1000);
        action.c = pick(1000);
        const int how = pick(10);
        action.text = how < 3 ? QStringLiteral("R") : how < 5 ? QStringLiteral("D") : QStringLiteral("L");
    } else if (r < 82) {
        action.kind = Action::Kind::Edit;
        action.a = pick(200);
        action.b = pick(15);
        action.text = RandomText(rng);
    } else if (r < 85) {
        action.kind = Action::Kind::Resize;
        action.a = 300 + pick(1400);
        action.b = 200 + pick(900);
    } else if (r < 89) {
        action.kind = Action::Kind::Focus;
        action.a = pick(3);
    } else if (r < 92) {
        action.kind = Action::Kind::Activate;
        action.a = pick(2);
    } else if (r < 93) {
        action.kind = Action::Kind::External;
        action.a = pick(int(kSamples.size()));
    } else if (r < 94) {
        // Long enough, now and then, for the progress of a print to show.
        action.kind = Action::Kind::Wait;
        action.a = pick(700);
    } else if (r < 95) {
        action.kind = Action::Kind::Close;
    } else {
        action.kind = Action::Kind::Drop;
        action.a = pick(20);
    }
    return action;
}

void OperatorRun::Run()
{
    m_bRunning = true;
    ScheduleStep();
    while (m_bRunning)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

void OperatorRun::ScheduleStep()
{
    if (m_bStepPending || !m_bRunning)
        return;
    m_bStepPending = true;
    // A new timer each time: a nested event loop (a dialog run by exec) runs it too, where a
    // repeating timer would wait for its own slot to return.
    QTimer::singleShot(0, [this] {
        m_bStepPending = false;
        Step();
    });
}

void OperatorRun::Step()
{
    if (!m_bRunning)
        return;
    if (m_prompts->InPrompt()) {
        // The operator is answering a message box; nothing else takes input meanwhile.
        QTimer::singleShot(5, [this] { ScheduleStep(); });
        return;
    }
    if (m_nHoldLevel == QThread::currentThread()->loopLevel()) {
        // The event loop is running for the action that is under way; the next action waits
        // for it, unless that action opened a loop of its own.
        m_bDeferred = true;
        return;
    }
    const std::optional<Action> next = m_finding ? std::nullopt : m_nextAction();
    if (!next) {
        CloseEverything();
        return;
    }
    ScheduleStep();
    ++m_nDepth;
    Perform(*next);
    --m_nDepth;
}

void OperatorRun::Hold(const std::function<void()>& run)
{
    const int outer = m_nHoldLevel;
    m_nHoldLevel = QThread::currentThread()->loopLevel();
    run();
    m_nHoldLevel = outer;
    if (m_bDeferred && m_nHoldLevel != QThread::currentThread()->loopLevel()) {
        m_bDeferred = false;
        ScheduleStep();
    }
}

void OperatorRun::AllowShownFileRewrite()
{
    if (m_frame && !m_frame->ShownFile().FilePath().isEmpty())
        m_allowances.push_back(DataRewriteOf(m_frame->ShownFile().FilePath()));
}

void OperatorRun::Perform(const Action& action)
{
    const qint64 started = OperatorClockMs();
    const qint64 performed = ++m_stats.performed;
    m_lastStepMs = started;
    static const bool trace = qEnvironmentVariableIsSet("RANDOM_OPERATOR_TRACE");
    if (trace)
        std::fprintf(stderr, "%lld ms, depth %d: %s\n", static_cast<long long>(m_lastStepMs.load()), m_nDepth,
                     qPrintable(action.ToLine()));
    m_prompts->StartAction(action.seed, &m_allowances);
    QWidget* modal = ModalWidget();
    QWidget* popup = QApplication::activePopupWidget();
    switch (action.kind) {
    case Action::Kind::Command:
        // A command id reaches the frame only through its menus, keys and buttons, which a dialog
        // or a menu that is open keeps from it.
        if (!modal && !popup) {
            if (action.a == cmd::kHotKeyStartDepth || action.a == cmd::kHotKeyTail)
                AllowShownFileRewrite();
            m_frame->OnCommand(action.a);
        }
        break;
    case Action::Kind::Trigger:
        if (!modal && !popup)
            if (QAction* item = m_frame->Action(action.a))
                item->trigger();
        break;
    case Action::Kind::Key:
        DoKey(action);
        break;
    case Action::Kind::Click:
        DoClick(action);
        break;
    case Action::Kind::Edit:
        DoEdit(action);
        break;
    case Action::Kind::Resize:
        if (!modal && !popup)
            m_frame->resize(action.a, action.b);
        break;
    case Action::Kind::Focus:
        if (!modal && !popup && Target(action.a)->isVisible())
            Target(action.a)->setFocus(Qt::MouseFocusReason);
        break;
    case Action::Kind::Activate:
        if (action.a == 0) {
            m_otherProgram->show();
            QApplication::setActiveWindow(m_otherProgram.get());
        } else {
            m_otherProgram->hide();
            QApplication::setActiveWindow(modal ? modal : m_frame.get());
        }
        break;
    case Action::Kind::External:
        // Another program writes the file it owns; the program's own files stay as they were.
        WriteBytes(m_liveFile, SampleBytes(kSamples[action.a % kSamples.size()]));
        m_bytes[m_liveFile] = Bytes(m_liveFile);
        break;
    case Action::Kind::Dialog:
        // Without a dialog open, the site summary's window takes its turn when it is shown.
        if (QWidget* window = modal ? modal : (popup ? nullptr : SummaryWindow()))
            DoDialog(window, action);
        break;
    case Action::Kind::Menu:
        DoMenu(action);
        break;
    case Action::Kind::Wait:
        Hold([&] { QTest::qWait(action.a); });
        break;
    case Action::Kind::Close:
        if (!modal && !popup && m_nDepth <= 1) {
            m_frame->close();
            if (!m_frame->isVisible()) {
                m_frame.reset();
                ++m_stats.restarts;
                StartFrame();
            }
        }
        break;
    case Action::Kind::Drop:
        if (!modal && !popup) {
            const QStringList files = FolderFiles();
            auto* mime = new QMimeData;
            mime->setUrls({QUrl::fromLocalFile(files.value(action.a % int(files.size())))});
            const QPoint at(m_frame->width() / 2, m_frame->height() / 2);
            QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(m_frame.get(), &enter);
            if (enter.isAccepted()) {
                QDropEvent drop(QPointF(at), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(m_frame.get(), &drop);
            }
            delete mime;
        }
        break;
    }
    // What the action started (paints, a dropped file, a dialog's close) runs before the check.
    Hold([] {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    });
    // An action that ran a nested loop lasted as long as the actions done in it, and a wait as
    // long as it was told; the others are timed on their own.
    if (action.kind != Action::Kind::Wait && m_stats.performed == performed &&
        OperatorClockMs() - started > m_stats.slowestMs) {
        m_stats.slowestMs = OperatorClockMs() - started;
        m_stats.slowest = action.ToLine();
    }
    CheckFiles();
    CheckDisplay();
}

void OperatorRun::DoKey(const Action& action)
{
    const auto modifiers = Qt::KeyboardModifiers(action.b);
    if ((modifiers & Qt::ControlModifier) && (modifiers & Qt::MetaModifier))
        AllowShownFileRewrite();
    // Keys go where the window system would send them: the focus of an open menu or dialog,
    // else of the active window.
    QWidget* target = QApplication::activePopupWidget();
    if (!target)
        target = ModalWidget();
    if (target && target->focusWidget())
        target = target->focusWidget();
    if (!target)
        target = QApplication::focusWidget() ? QApplication::focusWidget() : m_frame.get();
    QTest::keyClick(target, Qt::Key(action.a), modifiers);
}

void OperatorRun::DoClick(const Action& action)
{
    if (ModalWidget() || QApplication::activePopupWidget())
        return;  // the window does not take clicks then
    QWidget* widget = Target(action.a);
    if (!widget->isVisible())
        return;
    if (auto* view = qobject_cast<QAbstractScrollArea*>(widget))
        widget = view->viewport();
    const QPoint at(widget->width() * action.b / 1000, widget->height() * action.c / 1000);
    if (action.text == QLatin1String("R")) {
        QTest::mouseClick(widget, Qt::RightButton, {}, at);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
        QApplication::sendEvent(widget, &menu);
    } else if (action.text == QLatin1String("D")) {
        QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
    } else {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    }
}

void OperatorRun::DoEdit(const Action& action)
{
    CEditListCtrl* table = m_frame->GetTable();
    if (ModalWidget() || QApplication::activePopupWidget() || !table->isVisible() || table->rowCount() == 0)
        return;
    QTableWidgetItem* item = table->item(action.a % table->rowCount(), action.b % table->columnCount());
    if (!item)
        return;
    table->setFocus(Qt::MouseFocusReason);
    table->setCurrentItem(item);
    table->editItem(item);
    QWidget* editor = QApplication::focusWidget();
    if (!editor || editor->parentWidget() != table->viewport())
        return;
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    TypeText(editor, action.text);
    QTest::keyClick(editor, action.seed % 3 == 0 ? Qt::Key_Escape : Qt::Key_Return);
}

void OperatorRun::DoMenu(const Action& action)
{
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu)
        return;
    QList<QAction*> items;
    for (QAction* item : menu->actions())
        if (item->isEnabled() && !item->isSeparator() && item->isVisible())
            items.append(item);
    if (action.a >= items.size()) {
        menu->close();
        return;
    }
    QAction* item = items[action.a];
    if (item->menu()) {
        menu->setActiveAction(item);
        return;
    }
    // The menu closes first, as a click on its item would close it.
    menu->close();
    item->trigger();
}

void OperatorRun::DoDialog(QWidget* dialog, const Action& action)
{
    ++m_stats.dialogs[QString::fromLatin1(dialog->metaObject()->className())];
    if (auto* print = qobject_cast<QPrintDialog*>(dialog)) {
        // Qt's own print dialog: printing goes into a PDF of the folder, never to a real printer.
        if (action.a == 0 && action.b % 2 == 0) {
            print->printer()->setOutputFormat(QPrinter::PdfFormat);
            print->printer()->setOutputFileName(QDir(m_folder).filePath(QStringLiteral("printed.pdf")));
            m_allowances.push_back({QDir(m_folder).filePath(QStringLiteral("printed.pdf")), true, {}, true});
            print->accept();
        } else {
            print->reject();
        }
        return;
    }
    if (auto* preview = qobject_cast<QPrintPreviewDialog*>(dialog)) {
        // Its page actions are harmless; its print and page set-up buttons would open Qt's own
        // dialogs, which are not the program's.
        if (action.a == 0 && action.b < 6) {
            const QList<QAction*> actions = preview->findChildren<QAction*>();
            if (!actions.isEmpty()) {
                QAction* item = actions[action.b * 7 % actions.size()];
                const QString name = item->text();
                if (!name.contains(QStringLiteral("rint"), Qt::CaseInsensitive) &&
                    !name.contains(QStringLiteral("etup"), Qt::CaseInsensitive) && !item->menu())
                    item->trigger();
            }
        } else {
            preview->reject();
        }
        return;
    }
    if (qobject_cast<QProgressDialog*>(dialog)) {
        if (action.a == 0 || action.a == 4)
            static_cast<QProgressDialog*>(dialog)->cancel();
        return;
    }
    // One of the program's own dialogs.
    const bool rewriteTool = QByteArray(dialog->metaObject()->className()) == "CAddPointDlg";
    const bool reportDialog = QByteArray(dialog->metaObject()->className()) == "CPrintSetDlg";
    auto visible = [](auto list) {
        decltype(list) shown;
        for (auto* w : list)
            if (w->isVisible() && w->isEnabled())
                shown.append(w);
        return shown;
    };
    switch (action.a) {
    case 0: {
        const auto buttons = visible(dialog->findChildren<QAbstractButton*>());
        if (buttons.isEmpty())
            break;
        QAbstractButton* button = buttons[action.b % buttons.size()];
        if (qobject_cast<QCheckBox*>(button) == nullptr) {
            if (rewriteTool)
                AllowShownFileRewrite();
            if (reportDialog)
                for (const QString& path : FolderFiles())
                    if (HasCddSuffix(path))
                        m_allowances.push_back(
                            {path, false, {{qint64(cdd::kReportFlag), qint64(cdd::kReportEnd)}}, false});
        }
        button->click();
        break;
    }
    case 1: {
        const auto fields = visible(dialog->findChildren<QLineEdit*>());
        if (!fields.isEmpty()) {
            QLineEdit* field = fields[action.b % fields.size()];
            field->setFocus();
            field->selectAll();
            TypeText(field, action.text);
        }
        break;
    }
    case 2: {
        const auto boxes = visible(dialog->findChildren<QCheckBox*>());
        if (!boxes.isEmpty())
            boxes[action.b % boxes.size()]->click();
        break;
    }
    case 3: {
        const auto lists = visible(dialog->findChildren<QListWidget*>());
        if (!lists.isEmpty() && lists[0]->count() > 0) {
            QListWidgetItem* item = lists[0]->item(action.b % lists[0]->count());
            lists[0]->setCurrentItem(item);
            if (item->flags() & Qt::ItemIsUserCheckable)
                item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        }
        break;
    }
    case 4:
        QTest::keyClick(dialog, Qt::Key_Escape);
        break;
    default:
        if (rewriteTool)
            AllowShownFileRewrite();
        if (reportDialog)
            for (const QString& path : FolderFiles())
                if (HasCddSuffix(path))
                    m_allowances.push_back({path, false, {{qint64(cdd::kReportFlag), qint64(cdd::kReportEnd)}}, false});
        QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_Return);
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Properties

void OperatorRun::CheckFiles()
{
    const QStringList now = FolderFiles();
    for (auto it = m_bytes.cbegin(); it != m_bytes.cend(); ++it)
        if (!now.contains(it.key()))
            Fail(QStringLiteral("file lost"), it.key());
    for (const QString& path : now) {
        if (IsOutput(path))
            continue;
        const QByteArray after = Bytes(path);
        const auto before = m_bytes.constFind(path);
        if (before != m_bytes.cend() && *before == after)
            continue;
        const bool isNew = before == m_bytes.cend();
        // A folder's configuration is created when a file of it is first read.
        if (isNew && QFileInfo(path).fileName() == QLatin1String(kSystemConfigName))
            continue;
        bool explained = false;
        for (const WriteAllowance& allowance : m_allowances) {
            if (QFileInfo(allowance.path) != QFileInfo(path))
                continue;
            if (allowance.whole) {
                explained = true;
                break;
            }
            if (isNew)
                continue;
            if (!allowance.sizeMayChange && after.size() != before->size())
                continue;
            const qint64 common = std::min(after.size(), before->size());
            bool inside = true;
            for (qint64 i = 0; i < common && inside; ++i) {
                if (after[i] == (*before)[i])
                    continue;
                inside = false;
                for (const auto& [from, to] : allowance.ranges)
                    inside = inside || (i >= from && (to < 0 || i < to));
            }
            if (inside && after.size() != before->size()) {
                // Bytes added or cut must lie in a range that runs to the end.
                for (const auto& [from, to] : allowance.ranges)
                    inside = to < 0 && common >= from;
            }
            if (inside) {
                explained = true;
                break;
            }
        }
        m_stats.writes += explained ? 1 : 0;
        if (!explained)
            Fail(QStringLiteral("file changed without a confirmed save"),
                 QStringLiteral("%1 (%2 -> %3 bytes)").arg(path).arg(isNew ? -1 : before->size()).arg(after.size()));
    }
    // A dialog run by exec answers in a nested action, but the program writes once it returns.
    if (m_nDepth <= 1)
        m_allowances.clear();
    Snapshot();
}

void OperatorRun::CheckDisplay()
{
    if (!m_frame || ModalWidget() || QApplication::activePopupWidget() || !m_frame->isVisible())
        return;
    if (qEnvironmentVariableIsSet("RANDOM_OPERATOR_TRACE")) {
        const CMarkerLayer& l = m_frame->GetDrawView()->MarkerLayer();
        for (int k = 0; k < kMarkerSlots; ++k) {
            const auto& m0 = l.Markers()[std::size_t(k)];
            if (m0.placed || l.MarkerOnImage(k) || m0.depth != 0.0f)
                std::fprintf(stderr, "  marker %d: placed %d x %d depth %.2f onImage %d line %d,%d-%d,%d\n", k,
                             m0.placed, m0.x, double(m0.depth), int(l.MarkerOnImage(k)), m0.lineStart[0].x(),
                             m0.lineStart[0].y(), m0.lineEnd[0].x(), m0.lineEnd[0].y());
        }
        std::fprintf(stderr, "  cursor %d/%d components %d\n", int(l.CursorShown()), l.CursorX(),
                     m_frame->ShownComponents());
    }
    const DisplayedFile& shown = m_frame->ShownFile();
    const QString path = shown.FilePath();
    const QString title = m_frame->windowTitle();
    const QString expected = path.isEmpty() ? texts::kAppTitle : texts::kFileTitle.arg(QDir::toNativeSeparators(path));
    if (title != expected)
        Fail(QStringLiteral("title"), QStringLiteral("shows \"%1\" with %2 on display").arg(title, path));

    if (m_frame->ViewMode() != cmd::kGraphMode || m_frame->ShownComponents() == 0)
        return;
    CDrawView& view = *m_frame->GetDrawView();
    if (!view.isVisible() || view.PaintedSize() != view.size())
        return;
    ++m_stats.displayChecks;
    const CMarkerLayer& layer = view.MarkerLayer();
    auto pane = [this](int id) { return m_frame->StatusPane(id)->text(); };
    if (shown.ShowsLoadedFile()) {
        const CFileData& d = shown.ScreenData().primary;
        if (QFileInfo(QString::fromStdString(shown.ScreenData().sourcePath)) != QFileInfo(path))
            Fail(QStringLiteral("display"), QStringLiteral("data of %1 shown for %2")
                                                .arg(QString::fromStdString(shown.ScreenData().sourcePath), path));
        const QString count =
            QString::asprintf("测点总数;%d", int(d.m_nCount)) + QString::asprintf(" 步距;%dcm", int(d.m_nStep));
        const QString pile = QStringLiteral("桩号;") + QString::fromStdU16String(DecodeAcquisitionText(d.m_strPileNo));
        const QString shownCount = pane(pane::kCount) + QLatin1Char(' ') + pane(pane::kStep);
        if (shownCount != count || pane(pane::kPileNo) != pile)
            Fail(QStringLiteral("status bar"), QStringLiteral("\"%1\" \"%2\" for %3 (%4, %5)")
                                                   .arg(shownCount, pane(pane::kPileNo), path, count, pile));
        if (layer.CursorShown() && pane(pane::kFile).startsWith(QStringLiteral("当前选中文件：")) &&
            pane(pane::kFile) != QStringLiteral("当前选中文件：") + path)
            Fail(QStringLiteral("status bar"),
                 QStringLiteral("\"%1\" with %2 on display").arg(pane(pane::kFile), path));
    } else if (!pane(pane::kCount).trimmed().isEmpty() || !pane(pane::kPileNo).trimmed().isEmpty()) {
        Fail(QStringLiteral("status bar"),
             QStringLiteral("\"%1\" \"%2\" with no file read").arg(pane(pane::kCount), pane(pane::kPileNo)));
    }

    // The markers drawn are the ones File / Save would write: every depth the save would store
    // stands on the image as a line, and no line stands for a marker the save would leave out.
    if (!shown.ShowsLoadedFile())
        return;
    const QImage& image = view.BackingImage();
    const auto& markers = layer.Markers();
    for (int k = 0; k < kMarkerSlots; ++k) {
        const MarkerRecord& m = markers[std::size_t(k)];
        const bool saved = m.depth > 0.0f;
        const bool line = m.lineStart[0] != m.lineEnd[0];
        if (layer.MarkerOnImage(k) && !saved)
            Fail(QStringLiteral("markers"),
                 QStringLiteral("slot %1 drawn at x %2 but saved as depth %3").arg(k).arg(m.x).arg(double(m.depth)));
        if (saved && m.placed && line && !layer.MarkerOnImage(k))
            Fail(QStringLiteral("markers"),
                 QStringLiteral("slot %1 saved as %2 m but not drawn").arg(k).arg(double(m.depth)));
        if (!layer.MarkerOnImage(k) || !line || image.isNull())
            continue;
        // The line stands where the curves draw the depth the label gives and the save writes:
        // on the nearest sample's column, give or take two pixels. Not on a file with samples at
        // one depth (after a tail insertion), where the cursor's column formula, which counts
        // samples, and the curves, which follow depths, part: see marker-after-tail-insertion.seq.
        const auto& entries = shown.ScreenData().primary.m_depthPixels;
        if (!EvenlySpaced(entries))
            continue;
        int nearest = INT_MAX;
        for (const DepthPixelEntry& e : entries)
            nearest = std::min(nearest, std::abs(e.x - m.x));
        float low = INFINITY;
        float high = -INFINITY;
        for (const DepthPixelEntry& e : entries) {
            if (std::abs(e.x - m.x) <= nearest + 2) {
                low = std::min(low, e.depth);
                high = std::max(high, e.depth);
            }
        }
        if (!(m.depth >= low - 0.01f && m.depth <= high + 0.01f))
            Fail(QStringLiteral("markers"), QStringLiteral("slot %1 at x %2 stands on %3..%4 m but saves %5 m")
                                                .arg(k)
                                                .arg(m.x)
                                                .arg(double(low))
                                                .arg(double(high))
                                                .arg(double(m.depth)));
        // The image itself: the inverted column differs from its neighbour over most of the
        // line, where no other line stands close by.
        bool crowded = layer.CursorShown() && std::abs(layer.CursorX() - m.x) < 8;
        for (int j = 0; j < kMarkerSlots; ++j)
            crowded = crowded || (j != k && layer.MarkerOnImage(j) && std::abs(markers[std::size_t(j)].x - m.x) < 8);
        const qreal ratio = image.devicePixelRatio();
        const int x = int(m.x * ratio);
        if (crowded || x < 4 || x >= image.width())
            continue;
        int differ = 0;
        int rows = 0;
        for (int y = int(m.lineStart[0].y() * ratio); y < int(m.lineEnd[0].y() * ratio) && y < image.height(); ++y) {
            ++rows;
            differ += image.pixel(x, y) != image.pixel(x - 4, y);
        }
        if (rows > 10 && differ * 3 < rows)
            Fail(QStringLiteral("markers"),
                 QStringLiteral("slot %1 at x %2: its line is not on the image (%3 of %4 rows)")
                     .arg(k)
                     .arg(m.x)
                     .arg(differ)
                     .arg(rows));
    }
}

void OperatorRun::CloseEverything()
{
    // A menu or dialog run by exec holds the nested event loops open: they are answered one by
    // one, as an operator leaving would, until the outermost loop gets control back.
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
    } else if (auto* dialog = qobject_cast<QDialog*>(ModalWidget())) {
        dialog->reject();
    } else {
        m_bRunning = false;
        return;
    }
    QTimer::singleShot(1, [this] { CloseEverything(); });
}

QString OperatorRun::Statistics() const
{
    if (qEnvironmentVariableIsSet("RANDOM_OPERATOR_TRACE")) {
        QMap<QString, int> texts;
        for (const QString& text : m_prompts->Texts())
            ++texts[text.left(60)];
        for (auto it = texts.cbegin(); it != texts.cend(); ++it)
            std::fprintf(stderr, "%5d  %s\n", it.value(), qPrintable(it.key()));
    }
    QStringList dialogs;
    for (auto it = m_stats.dialogs.cbegin(); it != m_stats.dialogs.cend(); ++it)
        dialogs.append(QStringLiteral("%1 %2").arg(it.key()).arg(it.value()));
    return QStringLiteral("prompts %1, confirmed writes %2, restarts %3, display checks %4, slowest action %5 ms (%6), "
                          "dialog actions: %7")
        .arg(m_prompts->Texts().size())
        .arg(m_stats.writes)
        .arg(m_stats.restarts)
        .arg(m_stats.displayChecks)
        .arg(m_stats.slowestMs)
        .arg(m_stats.slowest)
        .arg(dialogs.join(QStringLiteral(", ")));
}

void OperatorRun::Finish()
{
    m_frame.reset();
}
