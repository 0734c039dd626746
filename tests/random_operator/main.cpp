// The random operator: the desktop program driven by random actions with its properties checked
// after each one.
//
//   random_operator --seed S [--actions N] [--seconds T] [--log FILE]   a run; its actions go to FILE
//   random_operator --replay FILE                                      the actions of FILE again
//   random_operator --shrink FILE --out FILE2                          the fewest that still fail
//
// Exit 0 when nothing was found. A finding prints a line "FINDING <property>: <detail>".
#include "Action.h"
#include "OperatorRun.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

// The last action that made no progress is reported and the process ends: an action that hangs
// would otherwise hang the run.
class Watchdog {
public:
    Watchdog(const OperatorRun& run, qint64 limitMs, std::function<void()> report)
        : m_thread([this, &run, limitMs, report = std::move(report)](std::stop_token stop) {
              while (!stop.stop_requested()) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(100));
                  const qint64 last = run.m_lastStepMs.load();
                  if (m_armed.load() && last > 0 && OperatorClockMs() - last > limitMs) {
                      report();
                      std::fflush(stdout);
                      std::_Exit(3);
                  }
              }
          })
    {
    }
    void Disarm() { m_armed = false; }

private:
    std::atomic<bool> m_armed{true};
    std::jthread m_thread;
};

struct Outcome {
    qint64 actions = 0;
    double seconds = 0;
    std::optional<Finding> finding;
};

Outcome Drive(std::function<std::optional<Action>(OperatorRun&)> next, QFile* log, qint64 hangMs,
              const QString& hangNote)
{
    Outcome outcome;
    const qint64 start = OperatorClockMs();
    OperatorRun run;
    QTextStream out(log);
    qint64 done = 0;
    run.m_nextAction = [&]() -> std::optional<Action> {
        std::optional<Action> action = next(run);
        if (action) {
            ++done;
            if (log) {
                // Flushed at once: a crash leaves the sequence that led to it.
                out << action->ToLine() << '\n';
                out.flush();
                log->flush();
            }
        }
        return action;
    };
    Watchdog watchdog(run, hangMs, [&] {
        std::printf("FINDING hang: action %lld did not return within %lld ms%s\n", static_cast<long long>(done),
                    static_cast<long long>(hangMs), qPrintable(hangNote));
    });
    run.Run();
    watchdog.Disarm();
    outcome.finding = run.FirstFinding();
    std::printf("%s\n", qPrintable(run.Statistics()));
    run.Finish();
    outcome.actions = done;
    outcome.seconds = double(OperatorClockMs() - start) / 1000.0;
    return outcome;
}

void Report(const Outcome& outcome)
{
    if (outcome.finding)
        std::printf("FINDING %s: %s\n", qPrintable(outcome.finding->property), qPrintable(outcome.finding->detail));
    std::printf("actions %lld, seconds %.0f, findings %d\n", static_cast<long long>(outcome.actions), outcome.seconds,
                outcome.finding ? 1 : 0);
    std::fflush(stdout);
}

// How a replay of a sequence ended, for the delta debugging: "" when nothing was found.
QString ReplaySignature(const QString& program, const std::vector<Action>& actions, const QString& dir, int timeoutMs,
                        qint64 hangMs)
{
    const QString path = dir + QStringLiteral("/candidate.seq");
    WriteSequence(path, actions);
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(program, {QStringLiteral("--replay"), path, QStringLiteral("--hang-ms"), QString::number(hangMs)});
    if (!child.waitForFinished(timeoutMs)) {
        child.kill();
        child.waitForFinished();
        return QStringLiteral("hang");
    }
    const QString output = QString::fromUtf8(child.readAll());
    for (const QString& line : output.split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("FINDING ")))
            return line.mid(8).section(QLatin1Char(':'), 0, 0);
    if (output.contains(QStringLiteral("Sanitizer")) || output.contains(QStringLiteral("runtime error")))
        return QStringLiteral("sanitizer");
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return QStringLiteral("crash");
    return {};
}

// Zeller's ddmin: the sequence cut into n parts, a part or its complement kept while the failure
// stays the same, n doubled when neither fails.
std::vector<Action> Shrink(const QString& program, std::vector<Action> actions, const QString& signature, int timeoutMs,
                           qint64 hangMs)
{
    QTemporaryDir dir;
    std::size_t n = 2;
    while (actions.size() >= 2) {
        const std::size_t chunk = (actions.size() + n - 1) / n;
        bool reduced = false;
        for (std::size_t start = 0; start < actions.size() && !reduced; start += chunk) {
            const auto from = actions.begin() + std::ptrdiff_t(start);
            const auto to = actions.begin() + std::ptrdiff_t(std::min(start + chunk, actions.size()));
            std::vector<Action> part(from, to);
            std::vector<Action> rest(actions.begin(), from);
            rest.insert(rest.end(), to, actions.end());
            if (n > 2 && ReplaySignature(program, part, dir.path(), timeoutMs, hangMs) == signature) {
                actions = part;
                n = 2;
                reduced = true;
            } else if (ReplaySignature(program, rest, dir.path(), timeoutMs, hangMs) == signature) {
                actions = rest;
                n = std::max<std::size_t>(n - 1, 2);
                reduced = true;
            }
        }
        if (!reduced) {
            if (n >= actions.size())
                break;
            n = std::min(actions.size(), n * 2);
        }
        std::printf("shrinking: %zu actions\n", actions.size());
        std::fflush(stdout);
    }
    return actions;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions(
        {{QStringLiteral("seed"), QStringLiteral("Seed of the run."), QStringLiteral("S"), QStringLiteral("1")},
         {QStringLiteral("actions"), QStringLiteral("Most actions."), QStringLiteral("N"), QStringLiteral("0")},
         {QStringLiteral("seconds"), QStringLiteral("Most seconds."), QStringLiteral("T"), QStringLiteral("0")},
         {QStringLiteral("log"), QStringLiteral("Where the actions go."), QStringLiteral("FILE")},
         {QStringLiteral("replay"), QStringLiteral("Actions to replay."), QStringLiteral("FILE")},
         {QStringLiteral("shrink"), QStringLiteral("Failing actions to shorten."), QStringLiteral("FILE")},
         {QStringLiteral("out"), QStringLiteral("The shortened actions."), QStringLiteral("FILE")},
         {QStringLiteral("hang-ms"), QStringLiteral("An action that takes longer hangs."), QStringLiteral("MS"),
          QStringLiteral("2000")}});
    parser.addHelpOption();
    parser.process(app);
    const qint64 hangMs = parser.value(QStringLiteral("hang-ms")).toLongLong();

    if (parser.isSet(QStringLiteral("shrink"))) {
        const std::vector<Action> actions = ReadSequence(parser.value(QStringLiteral("shrink")));
        QTemporaryDir dir;
        const int timeoutMs = int(std::max<qint64>(60000, hangMs * 4 + 30000));
        const QString signature = ReplaySignature(app.applicationFilePath(), actions, dir.path(), timeoutMs, hangMs);
        if (signature.isEmpty()) {
            std::printf("the %zu actions replay without a finding; nothing to shorten\n", actions.size());
            return 2;
        }
        std::printf("shortening %zu actions that fail with \"%s\"\n", actions.size(), qPrintable(signature));
        const std::vector<Action> shortened = Shrink(app.applicationFilePath(), actions, signature, timeoutMs, hangMs);
        const QString out = parser.value(QStringLiteral("out"));
        if (out.isEmpty() || !WriteSequence(out, shortened))
            return 2;
        std::printf("%zu actions still fail with \"%s\": %s\n", shortened.size(), qPrintable(signature),
                    qPrintable(out));
        return 0;
    }

    if (parser.isSet(QStringLiteral("replay"))) {
        const std::vector<Action> actions = ReadSequence(parser.value(QStringLiteral("replay")));
        std::size_t at = 0;
        const Outcome outcome = Drive(
            [&](OperatorRun&) -> std::optional<Action> {
                if (at >= actions.size())
                    return std::nullopt;
                return actions[at++];
            },
            nullptr, hangMs, QString());
        Report(outcome);
        return outcome.finding ? 1 : 0;
    }

    const uint32_t seed = parser.value(QStringLiteral("seed")).toUInt();
    const qint64 most = parser.value(QStringLiteral("actions")).toLongLong();
    const double seconds = parser.value(QStringLiteral("seconds")).toDouble();
    QFile log(parser.value(QStringLiteral("log")));
    const bool logging = !log.fileName().isEmpty() && log.open(QIODevice::WriteOnly | QIODevice::Truncate);
    std::mt19937 rng(seed);
    qint64 drawn = 0;
    const qint64 start = OperatorClockMs();
    const QString note = QStringLiteral(" (seed %1)").arg(seed);
    const Outcome outcome = Drive(
        [&](OperatorRun& run) -> std::optional<Action> {
            if ((most > 0 && drawn >= most) || (seconds > 0 && double(OperatorClockMs() - start) / 1000.0 >= seconds))
                return std::nullopt;
            ++drawn;
            return run.Draw(rng);
        },
        logging ? &log : nullptr, hangMs, note);
    if (outcome.finding)
        std::printf("seed %u, after %lld actions%s%s\n", seed, static_cast<long long>(outcome.actions),
                    logging ? ", actions in " : "", logging ? qPrintable(log.fileName()) : "");
    Report(outcome);
    return outcome.finding ? 1 : 0;
}
