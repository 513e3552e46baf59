// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec/engine/nec2c_engine.h"

#include "nec/engine/parallel_batch.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <mutex>
#include <optional>

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace brevan::check {

namespace {

constexpr const char* kProgram = "nec2c";
constexpr const char* kDeckFile = "deck.nec";
constexpr const char* kOutputFile = "out.txt";
constexpr const char* kErrorFile = "stderr.txt";
constexpr qsizetype kTailBytes = 400; // of the engine's own messages, for a failure's detail

EngineRun failure(EngineFailure kind, std::string detail) {
    EngineRun run;
    run.failure = kind;
    run.detail = std::move(detail);
    return run;
}

int timeLimitMilliseconds(double seconds) {
    if (!(seconds > 0.0)) {
        return 1;
    }
    const double milliseconds = std::ceil(seconds * 1000.0);
    return milliseconds >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(milliseconds);
}

// The last few hundred bytes of what the engine wrote to stderr, as one line.
std::string errorTail(const QTemporaryDir& folder) {
    QFile file(folder.filePath(QString::fromLatin1(kErrorFile)));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QByteArray text = file.readAll().trimmed();
    if (text.size() > kTailBytes) {
        text = "..." + text.right(kTailBytes);
    }
    text.replace('\n', "; ");
    return text.toStdString();
}

std::string withTail(std::string detail, const QTemporaryDir& folder) {
    const std::string tail = errorTail(folder);
    if (!tail.empty()) {
        detail += ": " + tail;
    }
    return detail;
}

// How long a wait for the engine lasts before it looks again whether the batch is to stop: the
// time a stop can take.
constexpr int kPollMilliseconds = 50;

// The engine runs in a process group of its own, so that a stop ends whatever it started too,
// and with the signals unblocked that this program takes in one thread of its own.
void prepareEngineChild() {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL); // should this program die without cleaning up
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

// Ends the engine and every process of its group, and reaps it, unless it has already ended.
// The group is killed only while its leader is not yet reaped, so its number cannot belong to
// anyone else.
void endEngine(QProcess& process) {
    if (process.state() == QProcess::NotRunning) {
        return;
    }
    const qint64 pid = process.processId();
    if (pid > 0) {
        ::kill(-static_cast<pid_t>(pid), SIGKILL);
    }
    process.kill();
    process.waitForFinished(-1);
}

// Whatever way runOne is left, even by an exception, no engine process outlives it.
class EngineProcess {
public:
    EngineProcess() { m_process.setChildProcessModifier(prepareEngineChild); }
    ~EngineProcess() { endEngine(m_process); }
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;
    QProcess& operator*() { return m_process; }
    QProcess* operator->() { return &m_process; }

    void start() {
        m_process.start();
        // Also from this side, in case the child has not reached its setpgid yet when a stop
        // comes; once the child runs the engine this fails harmlessly.
        if (m_process.processId() > 0) {
            const auto pid = static_cast<pid_t>(m_process.processId());
            ::setpgid(pid, pid);
        }
    }

private:
    QProcess m_process;
};

enum class Waited { Finished, TimedOut, Stopped };

Waited waitForEngine(QProcess& process, const QDeadlineTimer& deadline, const BatchStop& stop) {
    for (;;) {
        if (stop.stopping()) {
            return Waited::Stopped;
        }
        if (deadline.hasExpired()) {
            return Waited::TimedOut;
        }
        const auto slice =
            static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 1, kPollMilliseconds));
        // False also when it had already ended.
        if (process.waitForFinished(slice) || process.state() == QProcess::NotRunning) {
            return Waited::Finished;
        }
    }
}

// One deck in its own temporary folder, which goes when this returns, whatever happened. Nothing
// when the batch was stopped before this run ended.
std::optional<EngineRun> runOne(const QString& program, const std::string& deck, int limitMs,
                                const BatchStop& stop) {
    QTemporaryDir folder;
    if (!folder.isValid()) {
        return failure(EngineFailure::Failed,
                       "could not make a temporary folder: " + folder.errorString().toStdString());
    }
    QFile deckFile(folder.filePath(QString::fromLatin1(kDeckFile)));
    if (!deckFile.open(QIODevice::WriteOnly) ||
        deckFile.write(deck.data(), static_cast<qint64>(deck.size())) !=
            static_cast<qint64>(deck.size()) ||
        !deckFile.flush()) {
        return failure(EngineFailure::Failed,
                       "could not write the deck: " + deckFile.errorString().toStdString());
    }
    deckFile.close();

    // Declared after the folder, so it is ended before the folder is removed.
    EngineProcess process;
    process->setProgram(program);
    process->setArguments({QStringLiteral("-i"), QString::fromLatin1(kDeckFile),
                           QStringLiteral("-o"), QString::fromLatin1(kOutputFile)});
    process->setWorkingDirectory(folder.path());
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(folder.filePath(QString::fromLatin1(kErrorFile)));
    // One limit for starting and running together.
    const QDeadlineTimer deadline(limitMs);
    process.start();
    if (!process->waitForStarted(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) {
        const std::string reason = process->errorString().toStdString();
        endEngine(*process);
        return failure(EngineFailure::Failed, "nec2c did not start: " + reason);
    }
    switch (waitForEngine(*process, deadline, stop)) {
    case Waited::Stopped: endEngine(*process); return std::nullopt;
    case Waited::TimedOut:
        endEngine(*process);
        return failure(EngineFailure::TimedOut,
                       "nec2c ran longer than " + std::to_string(limitMs) + " ms and was stopped");
    case Waited::Finished: break;
    }
    if (process->exitStatus() != QProcess::NormalExit) {
        return failure(EngineFailure::Failed, withTail("nec2c crashed", folder));
    }
    if (process->exitCode() != 0) {
        return failure(
            EngineFailure::Failed,
            withTail("nec2c exited with code " + std::to_string(process->exitCode()), folder));
    }

    QFile output(folder.filePath(QString::fromLatin1(kOutputFile)));
    if (!output.open(QIODevice::ReadOnly)) {
        return failure(EngineFailure::Unreadable, withTail("nec2c wrote no output file", folder));
    }
    const QByteArray text = output.readAll();
    std::string error;
    auto points = parseEngineOutput(
        std::string_view(text.constData(), static_cast<std::size_t>(text.size())), &error);
    if (!points) {
        return failure(EngineFailure::Unreadable,
                       withTail("the output of nec2c could not be read: " + error, folder));
    }
    EngineRun run;
    run.points = std::move(*points);
    run.output.assign(text.constData(), static_cast<std::size_t>(text.size()));
    return run;
}

} // namespace

std::vector<EngineRun> runNec2c(const std::vector<std::string>& decks,
                                const Nec2cOptions& options) {
    std::vector<EngineRun> runs(decks.size());
    if (decks.empty()) {
        return runs;
    }
    // Looked up on every call: PATH may change between calls.
    const QString program = QStandardPaths::findExecutable(QString::fromLatin1(kProgram));
    if (program.isEmpty()) {
        std::fill(runs.begin(), runs.end(),
                  failure(EngineFailure::Missing,
                          "nec2c was not found on PATH: install the Debian package nec2c"));
        return runs;
    }
    const int limitMs = timeLimitMilliseconds(options.timeLimitSeconds);
    const int wanted =
        options.parallelRuns > 0 ? options.parallelRuns : std::max(1, QThread::idealThreadCount());
    const std::size_t workers = std::min(static_cast<std::size_t>(wanted), decks.size());

    // Every QProcess lives and dies in the worker thread that made it, waiting without an event
    // loop. The first failure stops the batch: the caller reports one failure, and the runs
    // still going would only cost time.
    std::vector<std::optional<EngineRun>> done(decks.size());
    std::mutex firstFailureLock;
    std::optional<EngineRun> firstFailure;
    BatchStop stop(options.stop);
    runInParallel(decks.size(), workers, stop, [&](std::size_t index) {
        done[index] = runOne(program, decks[index], limitMs, stop);
        if (done[index] && done[index]->failure != EngineFailure::None && stop.fail()) {
            const std::lock_guard<std::mutex> hold(firstFailureLock);
            firstFailure = *done[index];
        }
    });

    // A run that was stopped, or never started, carries the failure that stopped the batch,
    // whichever deck it was; a stop from outside has no failure of its own.
    const EngineRun stopped =
        firstFailure ? *firstFailure
                     : failure(EngineFailure::Failed, "nec2c was stopped before it finished");
    for (std::size_t i = 0; i < decks.size(); ++i) {
        runs[i] = done[i] ? std::move(*done[i]) : stopped;
    }
    return runs;
}

Engine nec2cEngine(const Nec2cOptions& options) {
    return [options](const std::vector<std::string>& decks) { return runNec2c(decks, options); };
}

} // namespace brevan::check
