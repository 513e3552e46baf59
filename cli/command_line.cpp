// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include "exit_status.h"
#include "option_table.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <cstddef>

namespace brevan::cli {
namespace {

constexpr const char* kDescription =
    "Checks a shortened, coil-loaded HF dipole designed with Brevan1-2 before the wire is cut:\n"
    "the design as the window computes it, the coil as it will really be wound, its losses,\n"
    "a full-wave check of the antenna with the NEC-2 engine nec2c with the trim that puts it on\n"
    "frequency, and the cut list. Numbers use a full stop as the decimal point.";

// Words of `text` on lines of at most `width` characters (a longer word gets a line of its own),
// each line after the first starting with `indent`.
std::string wrapped(const std::string& text, std::size_t width, const std::string& indent) {
    std::string out;
    std::size_t lineLength = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string word = text.substr(at, end - at);
        at = end + 1;
        if (lineLength > 0 && lineLength + 1 + word.size() > width) {
            out += "\n" + indent;
            lineLength = 0;
        } else if (lineLength > 0) {
            out += ' ';
            ++lineLength;
        }
        out += word;
        lineLength += word.size();
    }
    return out;
}

} // namespace

std::string exitStatusHelp(int width) {
    constexpr std::size_t kColumn = 7; // "  143  "
    const std::string indent(kColumn, ' ');
    const std::size_t room =
        width > static_cast<int>(kColumn) + 20 ? static_cast<std::size_t>(width) - kColumn : 20;
    std::string out = "Exit status:\n";
    for (const ExitStatusEntry& entry : kExitStatuses) {
        std::string status = "  " + std::to_string(entry.status);
        status.resize(kColumn, ' ');
        out += status + wrapped(entry.meaning, room, indent) + "\n";
    }
    return out;
}

std::variant<GivenOptions, HelpRequest, CommandLineError>
parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription) + QLatin1String("\n\n") +
                                     QString::fromStdString(exitStatusHelp()).trimmed());
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    // Every option with its unit and default, in the order --help lists them.
    for (const brevan::check::OptionRow& entry : brevan::check::optionTable()) {
        QCommandLineOption option(QString::fromLatin1(entry.option), QString::fromUtf8(entry.help));
        if (entry.valueName) {
            option.setValueName(QString::fromLatin1(entry.valueName));
        }
        parser.addOption(option);
    }
    if (!parser.parse(arguments)) {
        return CommandLineError{parser.errorText().toStdString() + " (see --help)"};
    }
    if (parser.isSet(help)) {
        return HelpRequest{parser.helpText().toStdString()};
    }
    if (parser.isSet(version)) {
        return HelpRequest{QCoreApplication::applicationName().toStdString() + " " +
                           QCoreApplication::applicationVersion().toStdString() + "\n"};
    }
    if (!parser.positionalArguments().isEmpty()) {
        return CommandLineError{"unexpected argument '" +
                                parser.positionalArguments().constFirst().toStdString() +
                                "': every input is a named option (see --help)"};
    }
    GivenOptions given;
    for (const brevan::check::OptionRow& entry : brevan::check::optionTable()) {
        const QString name = QString::fromLatin1(entry.option);
        const QStringList values = parser.values(name);
        if (values.size() > 1) {
            return CommandLineError{std::string("--") + entry.option +
                                    " is given more than once; give it once"};
        }
        if (parser.isSet(name)) {
            given[entry.option] =
                entry.valueName ? values.constFirst().toStdString() : std::string();
        }
    }
    return given;
}

} // namespace brevan::cli
