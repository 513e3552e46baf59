#include "nec/engine/nec2c_engine.h"

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
#include <atomic>
#include <climits>
#include <cmath>
#include <cstddef>
#include <thread>

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

// One deck in its own temporary folder, which goes when this returns, whatever happened.
EngineRun runOne(const QString& program, const std::string& deck, int limitMs) {
    QTemporaryDir folder;
    if (!folder.isValid()) {
        return failure(EngineFailure::Failed,
                       "could not make a temporary folder: " + folder.errorString().toStdString());
    }
    QFile deckFile(folder.filePath(QString::fromLatin1(kDeckFile)));
    if (!deckFile.open(QIODevice::WriteOnly) ||
        deckFile.write(deck.data(), static_cast<qint64>(deck.size())) !=
            static_cast<qint64>(deck.size())) {
        return failure(EngineFailure::Failed,
                       "could not write the deck: " + deckFile.errorString().toStdString());
    }
    deckFile.close();

    QProcess process;
    process.setProgram(program);
    process.setArguments({QStringLiteral("-i"), QString::fromLatin1(kDeckFile),
                          QStringLiteral("-o"), QString::fromLatin1(kOutputFile)});
    process.setWorkingDirectory(folder.path());
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(folder.filePath(QString::fromLatin1(kErrorFile)));
    // One limit for starting and running together.
    const QDeadlineTimer deadline(limitMs);
    const auto remainingMs = [&deadline] {
        return static_cast<int>(std::max<qint64>(1, deadline.remainingTime()));
    };
    process.start();
    if (!process.waitForStarted(remainingMs())) {
        const std::string reason = process.errorString().toStdString();
        process.kill();
        process.waitForFinished(-1);
        return failure(EngineFailure::Failed, "nec2c did not start: " + reason);
    }
    if (!process.waitForFinished(remainingMs())) {
        // Stop it and reap it before its folder is removed.
        process.kill();
        process.waitForFinished(-1);
        return failure(EngineFailure::TimedOut,
                       "nec2c ran longer than " + std::to_string(limitMs) + " ms and was stopped");
    }
    if (process.exitStatus() != QProcess::NormalExit) {
        return failure(EngineFailure::Failed, withTail("nec2c crashed", folder));
    }
    if (process.exitCode() != 0) {
        return failure(
            EngineFailure::Failed,
            withTail("nec2c exited with code " + std::to_string(process.exitCode()), folder));
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

    // Each worker takes the next deck until none is left; every QProcess lives and dies in the
    // thread that made it, waiting without an event loop.
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t index = next++; index < decks.size(); index = next++) {
            runs[index] = runOne(program, decks[index], limitMs);
        }
    };
    if (workers == 1) {
        work();
        return runs;
    }
    std::vector<std::thread> threads;
    threads.reserve(workers);
    for (std::size_t i = 0; i < workers; ++i) {
        threads.emplace_back(work);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    return runs;
}

Engine nec2cEngine(const Nec2cOptions& options) {
    return [options](const std::vector<std::string>& decks) { return runNec2c(decks, options); };
}

} // namespace brevan::check
