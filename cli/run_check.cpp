// SPDX-License-Identifier: GPL-3.0-or-later
#include "run_check.h"

#include "check_report.h"
#include "command_line.h"
#include "nec/engine/nec2c_engine.h"
#include "report/report_format.h"
#include "report/report_json.h"
#include "report/report_plot.h"
#include "report/report_text.h"
#include "report/study_plot.h"
#include "report/svg_plot.h"
#include "stop_signals.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brevan::cli {
namespace {

constexpr const char* kProgram = "brevan-check";

int fail(int status, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", kProgram, message.c_str());
    return status;
}

int engineStatus(check::EngineFailure failure) {
    switch (failure) {
    case check::EngineFailure::Missing: return kExitEngineMissing;
    case check::EngineFailure::Failed: return kExitEngineFailed;
    case check::EngineFailure::TimedOut: return kExitEngineTimedOut;
    case check::EngineFailure::Unreadable: return kExitEngineUnreadable;
    case check::EngineFailure::None: break;
    }
    return kExitInternal;
}

// Progress is for a person watching a terminal; a script reading standard error gets only
// errors.
check::Progress progressReporter() {
    if (!isatty(STDERR_FILENO)) {
        return {};
    }
    return [](const std::string& stage) {
        std::fprintf(stderr, "%s: %s...\n", kProgram, stage.c_str());
        std::fflush(stderr);
    };
}

struct OutputFile {
    std::string path;
    std::string content;
};

struct WriteError {
    int status;
    std::string message;
};

// Every file is written to a temporary beside it and flushed, and only when all of them are
// complete are they renamed over their targets, so a failed run leaves no half-written file and
// the files it would have replaced as they were. (QSaveFile::commit() reports no failure of the
// flush it does on closing, which a full disk makes fail: hence the explicit flush first.)
std::optional<WriteError> writeFiles(const std::vector<OutputFile>& files,
                                     const std::atomic<int>* stopSignal) {
    std::vector<std::unique_ptr<QSaveFile>> saves;
    for (const OutputFile& file : files) {
        auto save = std::make_unique<QSaveFile>(QString::fromStdString(file.path));
        if (!save->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            return WriteError{kExitCannotCreate, "cannot create " + file.path + ": " +
                                                     save->errorString().toStdString()};
        }
        // Unbuffered, a full disk shows here as a short write. Qt's own text for that is
        // "Unknown error"; the system's says what happened.
        errno = 0;
        const auto size = static_cast<qint64>(file.content.size());
        const bool whole = save->write(file.content.data(), size) == size;
        const int writeErrno = errno;
        if (!whole || !save->flush() || save->error() != QFileDevice::NoError) {
            const std::string reason =
                writeErrno != 0 ? std::strerror(writeErrno) : save->errorString().toStdString();
            return WriteError{kExitIoError, "cannot write " + file.path + ": " + reason +
                                                "; the file is left as it was"};
        }
        saves.push_back(std::move(save));
    }
    if (stopSignal != nullptr && *stopSignal != 0) {
        return std::nullopt; // the caller reports the signal; the temporaries go with `saves`
    }
    for (std::size_t i = 0; i < saves.size(); ++i) {
        if (!saves[i]->commit()) {
            // Those already in place came from this failed run: take them away again.
            for (std::size_t j = 0; j < i; ++j) {
                QFile::remove(QString::fromStdString(files[j].path));
            }
            return WriteError{kExitIoError, "cannot write " + files[i].path + ": " +
                                                saves[i]->errorString().toStdString()};
        }
    }
    return std::nullopt;
}

// Where the report will begin when standard output is a file: for a file opened to add to
// (>>), its end, as the offset of such a file says nothing until the first write.
off_t reportStart() {
    const int flags = ::fcntl(STDOUT_FILENO, F_GETFL);
    struct stat info {};
    if (flags != -1 && (flags & O_APPEND) != 0 && ::fstat(STDOUT_FILENO, &info) == 0) {
        return info.st_size;
    }
    return ::lseek(STDOUT_FILENO, 0, SEEK_CUR);
}

// The whole text to standard output. Should it not all go (a full disk under a redirection), what
// did go is cut off again when standard output is a file, so that no half report is left.
int writeStdout(const std::string& text) {
    std::fflush(stdout);
    const off_t start = reportStart();
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const std::string reason = n < 0 ? std::strerror(errno) : "nothing was written";
            struct stat info {};
            if (start >= 0 && ::fstat(STDOUT_FILENO, &info) == 0 && S_ISREG(info.st_mode)) {
                [[maybe_unused]] const int cut = ::ftruncate(STDOUT_FILENO, start);
            }
            return fail(kExitIoError, "cannot write the report to standard output: " + reason);
        }
        written += static_cast<std::size_t>(n);
    }
    return kExitOk;
}

// The sweep file read whole and parsed, with the line it came through; or why not, in words.
std::variant<check::MeasuredSetup, std::string> readMeasuredSetup(const check::CheckInputs& in) {
    const std::string& path = *in.measuredPath;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return "cannot read the sweep " + path + ": " + file.errorString().toStdString();
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return "cannot read the sweep " + path + ": " + file.errorString().toStdString();
    }
    auto read = check::readSweep(std::string_view(bytes.constData(), bytes.size()), path);
    if (const auto* error = std::get_if<check::SweepError>(&read)) {
        return check::message(*error);
    }
    check::MeasuredSetup setup{path, std::get<check::MeasuredSweep>(std::move(read)), {}};
    if (in.feedlineLengthM) {
        setup.feedLine = check::FeedLine{*in.feedlineLengthM, in.feedlineVelocityFactor,
                                         in.feedlineLossDb, in.frequencyMHz, 50.0};
    }
    return setup;
}

// Without an engine failure, the model or a search found no answer: like a design without a
// result.
int failedCheck(const check::AntennaCheckFailure& failure) {
    const bool engineFault = failure.engine != check::EngineFailure::None;
    return fail(engineFault ? engineStatus(failure.engine) : kExitNoDesign, failure.message);
}

int stopped(int signal) {
    const char* name = signal == SIGINT ? "SIGINT" : signal == SIGTERM ? "SIGTERM" : "SIGHUP";
    return fail(statusForSignal(signal),
                std::string("stopped by ") + name + "; nothing was written");
}

int run(const QStringList& arguments, const RunEnvironment& environment) {
    const auto signalled = [&environment] {
        return environment.stopSignal != nullptr ? environment.stopSignal->load() : 0;
    };
    const auto line = parseCommandLine(arguments);
    if (const auto* help = std::get_if<HelpRequest>(&line)) {
        return writeStdout(help->text);
    }
    if (const auto* error = std::get_if<CommandLineError>(&line)) {
        return fail(kExitUsage, error->message);
    }
    const auto read = check::readCheckInputs(std::get<GivenOptions>(line));
    if (const auto* usage = std::get_if<check::UsageError>(&read)) {
        return fail(kExitUsage, usage->message + " (see --help)");
    }
    const check::CheckInputs& inputs = std::get<check::CheckInputs>(read);

    auto built = check::buildCheckReport(inputs);
    if (const auto* refusal = std::get_if<check::DesignRefusal>(&built)) {
        return fail(kExitNoDesign, refusal->message);
    }
    check::CheckReport& report = std::get<check::CheckReport>(built);

    // The sweep is read before the engine runs, so a bad file costs nothing.
    std::optional<check::MeasuredSetup> measured;
    if (inputs.measuredPath) {
        auto setup = readMeasuredSetup(inputs);
        if (const auto* refusal = std::get_if<std::string>(&setup)) {
            return fail(kExitBadSweep, *refusal);
        }
        measured = std::get<check::MeasuredSetup>(std::move(setup));
    }

    std::vector<OutputFile> files;
    if (inputs.antenna) {
        check::Nec2cOptions options;
        options.timeLimitSeconds = inputs.engineTimeoutSeconds;
        options.stop = environment.stopSignal;
        const auto failure =
            check::addAntennaCheck(report, environment.engine(options), progressReporter());
        if (signalled() != 0) {
            return stopped(signalled()); // what failed was the engine being stopped
        }
        if (failure) {
            return failedCheck(*failure);
        }
        if (measured) {
            const auto measuredFailure = check::addMeasured(
                report, *measured, environment.engine(options), progressReporter());
            if (signalled() != 0) {
                return stopped(signalled());
            }
            if (measuredFailure) {
                return failedCheck(*measuredFailure);
            }
        }
        if (inputs.coilPositionStudy) {
            const auto studyFailure = check::addCoilPositionStudy(
                report, environment.engine(options), progressReporter());
            if (signalled() != 0) {
                return stopped(signalled());
            }
            if (studyFailure) {
                return failedCheck(*studyFailure);
            }
        }
        if (inputs.studyPlotPath) {
            files.push_back({*inputs.studyPlotPath, check::studyPlotSvg(report)});
        }
        if (inputs.plotPath) {
            files.push_back({*inputs.plotPath, check::reportPlotCurvesSvg(report)});
        }
        if (inputs.deckPath) {
            files.push_back({*inputs.deckPath, report.antenna->builtDeck});
        }
    }

    const std::string version = QCoreApplication::applicationVersion().toStdString();
    const std::string out = inputs.format == check::OutputFormat::Json
                                ? check::reportJson(report, version)
                                : check::reportText(report, version);
    if (const auto error = writeFiles(files, environment.stopSignal)) {
        return fail(error->status, error->message);
    }
    if (signalled() != 0) {
        return stopped(signalled());
    }
    return writeStdout(out);
}

} // namespace

int runCheck(const QStringList& arguments, const RunEnvironment& environment) {
    try {
        return run(arguments, environment);
    } catch (const std::bad_alloc&) {
        return fail(kExitInternal, "internal error: out of memory");
    } catch (const std::exception& error) {
        return fail(kExitInternal, std::string("internal error: ") + error.what());
    } catch (...) {
        return fail(kExitInternal, "internal error: an unknown exception");
    }
}

} // namespace brevan::cli
