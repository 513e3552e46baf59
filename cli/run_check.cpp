#include "run_check.h"

#include "check_report.h"
#include "command_line.h"
#include "nec/engine/nec2c_engine.h"
#include "report/report_format.h"
#include "report_json.h"
#include "report/report_text.h"
#include "report/svg_plot.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

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

std::string plotSvg(const check::CheckReport& report) {
    const check::AntennaCheck& a = *report.antenna;
    std::vector<check::PlotCurve> curves;
    const std::pair<const char*, const check::AntennaResult*> antennas[] = {
        {"As designed", &a.designed},
        {"As built", &a.built},
        {"As built, trimmed", a.trimmed ? &*a.trimmed : nullptr}};
    for (const auto& [label, result] : antennas) {
        if (!result) {
            continue;
        }
        check::PlotCurve curve{label, {}};
        for (const check::FeedPoint& p : result->curve) {
            curve.points.emplace_back(p.frequencyMHz, check::swr(p.impedance));
        }
        curves.push_back(std::move(curve));
    }
    return check::swrPlotSvg(curves, report.inputs.frequencyMHz,
                             "SWR of the loaded dipole, " +
                                 check::number(report.inputs.lengthM, 2) + " m, coils at " +
                                 check::number(report.inputs.distanceM, 2) + " m");
}

struct OutputFile {
    std::string path;
    std::string content;
};

// Every file is written to a temporary beside it and renamed over the target only when all of
// them were written, so a failed run leaves no half-written file behind.
std::optional<std::string> writeFiles(const std::vector<OutputFile>& files) {
    std::vector<std::unique_ptr<QSaveFile>> saves;
    for (const OutputFile& file : files) {
        auto save = std::make_unique<QSaveFile>(QString::fromStdString(file.path));
        if (!save->open(QIODevice::WriteOnly) ||
            save->write(file.content.data(), static_cast<qint64>(file.content.size())) !=
                static_cast<qint64>(file.content.size())) {
            return "cannot write " + file.path + ": " + save->errorString().toStdString();
        }
        saves.push_back(std::move(save));
    }
    for (std::size_t i = 0; i < saves.size(); ++i) {
        if (!saves[i]->commit()) {
            // Those already in place came from this failed run: take them away again.
            for (std::size_t j = 0; j < i; ++j) {
                QFile::remove(QString::fromStdString(files[j].path));
            }
            return "cannot write " + files[i].path + ": " + saves[i]->errorString().toStdString();
        }
    }
    return std::nullopt;
}

int writeStdout(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        return fail(kExitOutput, "cannot write the report to standard output");
    }
    return kExitOk;
}

int run(const QStringList& arguments) {
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

    std::vector<OutputFile> files;
    if (inputs.antenna) {
        check::Nec2cOptions options;
        options.timeLimitSeconds = inputs.engineTimeoutSeconds;
        const auto failure =
            check::addAntennaCheck(report, check::nec2cEngine(options), progressReporter());
        if (failure) {
            // Without an engine failure, the model or the trim search found no answer: like a
            // design without a result.
            const bool engineFault = failure->engine != check::EngineFailure::None;
            return fail(engineFault ? engineStatus(failure->engine) : kExitNoDesign,
                        failure->message);
        }
        if (inputs.plotPath) {
            files.push_back({*inputs.plotPath, plotSvg(report)});
        }
        if (inputs.deckPath) {
            files.push_back({*inputs.deckPath, report.antenna->builtDeck});
        }
    }

    const std::string version = QCoreApplication::applicationVersion().toStdString();
    const std::string out = inputs.format == check::OutputFormat::Json
                                ? reportJson(report, QString::fromStdString(version)).toStdString()
                                : check::reportText(report, version);
    if (const auto error = writeFiles(files)) {
        return fail(kExitCannotCreate, *error);
    }
    return writeStdout(out);
}

} // namespace

int runCheck(const QStringList& arguments) {
    try {
        return run(arguments);
    } catch (const std::exception& error) {
        return fail(kExitInternal, std::string("internal error: ") + error.what());
    }
}

} // namespace brevan::cli
