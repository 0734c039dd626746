#pragma once

#include "Action.h"

#include "view/Prompts.h"

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <functional>
#include <memory>
#include <random>
#include <utility>
#include <vector>

class CMainFrame;
class QWidget;

// Milliseconds since the first call, on a clock any thread may read.
qint64 OperatorClockMs();

// The ways the file's bytes may change in one action, learnt from what the operator confirmed.
struct WriteAllowance {
    QString path;
    bool whole = false;                             // a new file or a file replaced as a whole
    std::vector<std::pair<qint64, qint64>> ranges;  // [from, to) bytes; to = -1 for the end
    bool sizeMayChange = false;
};

// The prompts of the program answered at random, with the answers drawn from the seed of the
// action that brought them up. Each answer that lets the program write is noted as an allowance.
class RandomPrompts : public Prompts {
public:
    // What the prompts need to know of the program and the folder.
    struct Context {
        std::function<QString()> shownFile;
        std::function<QString()> tableFile;
        std::function<QStringList()> folderFiles;
        QString folder;
        QString readOnlyFolder;
    };

    explicit RandomPrompts(Context context) : m_context(std::move(context)) {}

    void StartAction(uint32_t seed, std::vector<WriteAllowance>* allowances);
    bool InPrompt() const { return m_depth > 0; }
    const QStringList& Texts() const { return m_texts; }

    void Message(const QString& text, Kind kind = Kind::Warning) override;
    bool Question(const QString& text, Buttons buttons = Buttons::OkCancel) override;
    SaveChoice AskToSave(const QString& text) override;
    FileAnswer OpenFileName(const FileRequest& request) override;
    FileAnswer SaveFileName(const FileRequest& request) override;

private:
    // A real message box runs the event loop until it is answered.
    void RunBoxLoop();
    void Allow(WriteAllowance allowance);

    Context m_context;
    std::mt19937 m_rng;
    std::vector<WriteAllowance>* m_pAllowances = nullptr;
    QStringList m_texts;
    int m_depth = 0;
};

// A finding: which property failed, and how.
struct Finding {
    QString property;
    QString detail;
};

// The whole desktop program on a scratch folder, driven one action at a time, with the
// properties checked after each. The folder holds copies of the bundled samples, damaged files
// and one file that another program writes to during the run.
class OperatorRun {
public:
    OperatorRun();
    ~OperatorRun();

    // Draws the next action for the state the program is in.
    Action Draw(std::mt19937& rng) const;
    // Does action, lets the program finish what it started, and checks the properties.
    // Actions done from inside a nested event loop (a dialog run by exec) come back through the
    // step hook, in order.
    void Perform(const Action& action);
    // The first finding, once there is one.
    const std::optional<Finding>& FirstFinding() const { return m_finding; }
    // What the run did: prompts answered, files written, dialogs worked.
    QString Statistics() const;
    // Closes the program once the run is over.
    void Finish();

    // Called for each action from the event loop, including nested ones: the driver supplies the
    // next action, or nothing when the run is over.
    std::function<std::optional<Action>()> m_nextAction;
    // Runs the actions the driver supplies until it has no more or a property fails.
    void Run();

    // When the last action started (OperatorClockMs), for the watchdog.
    std::atomic<qint64> m_lastStepMs{0};

private:
    void Step();
    void ScheduleStep();
    void StartFrame();
    void BuildFolder();
    QStringList FolderFiles() const;
    void Snapshot();
    void CheckFiles();
    void CheckDisplay();
    void CloseEverything();
    // Runs the event loop for the action under way without starting the next action in it.
    void Hold(const std::function<void()>& run);
    void Fail(const QString& property, const QString& detail);
    QWidget* ModalWidget() const;
    QWidget* SummaryWindow() const;
    QWidget* Target(int which) const;
    void DoDialog(QWidget* dialog, const Action& action);
    void DoMenu(const Action& action);
    void DoKey(const Action& action);
    void DoClick(const Action& action);
    void DoEdit(const Action& action);
    void AllowShownFileRewrite();

    QTemporaryDir m_settingsDir;
    QTemporaryDir m_dataDir;
    QString m_folder;
    QString m_liveFile;
    std::unique_ptr<RandomPrompts> m_prompts;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<QWidget> m_otherProgram;
    QHash<QString, QByteArray> m_bytes;  // what each file of the folder held after the last action
    std::vector<WriteAllowance> m_allowances;
    std::optional<Finding> m_finding;
    struct {
        int writes = 0;
        int restarts = 0;
        int displayChecks = 0;
        qint64 performed = 0;
        qint64 slowestMs = 0;
        QString slowest;
        QMap<QString, int> dialogs;
    } m_stats;
    bool m_bRunning = false;
    bool m_bStepPending = false;
    int m_nDepth = 0;
    int m_nHoldLevel = -1;  // loop level at which the next action waits, -1 for none
    bool m_bDeferred = false;
};
