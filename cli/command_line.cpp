#include "command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

namespace brevan::cli {
namespace {

struct OptionEntry {
    const char* name;
    const char* valueName; // nullptr for a flag
    const char* help;
};

// Every option with its unit and default, in the order --help lists them.
constexpr OptionEntry kOptions[] = {
    {"frequency", "MHz",
     "Design frequency in MHz (0.1 to 100; the design is meant for 1.5 to 30)."},
    {"length", "m", "Total length A of the antenna, tip to tip, in metres."},
    {"distance", "m", "Distance B from the centre to the middle of each coil, in metres."},
    {"wire", "SWG", "Antenna wire gauge: 10 12 14 16 18 20 22 24 26 28 30."},
    {"former", "mm", "Coil former diameter in millimetres."},
    {"coil-length", "mm", "Planned coil length in millimetres."},
    {"coil-wire", "SWG", "Coil wire gauge, from the same list."},
    {"pitch", "mm",
     "Distance between turn centres in millimetres (default: close-wound, one "
     "bare wire diameter)."},
    {"coil-q", "Q", "Use this Q for each coil instead of the estimate from its losses."},
    {"height", "m", "Height of the antenna above ground in metres (default: free space)."},
    {"ground", "kind",
     "Ground under the antenna: poor, average (default with --height), good "
     "or perfect."},
    {"no-antenna", nullptr,
     "Skip the full-wave check with nec2c: design, coil, losses and cut "
     "list only."},
    {"engine-timeout", "seconds", "Time limit of each nec2c run (default 60)."},
    {"format", "text|json", "Report as text to read (default) or as one JSON object."},
    {"plot", "FILE.svg", "Also write SWR against frequency of the three antennas as SVG."},
    {"deck", "FILE.nec", "Also write the NEC-2 deck of the antenna as built."},
};

constexpr const char* kDescription =
    "Checks a shortened, coil-loaded HF dipole designed with Brevan1-2 before the wire is cut:\n"
    "the design as the window computes it, the coil as it will really be wound, its losses,\n"
    "a full-wave check of the antenna with the NEC-2 engine nec2c with the trim that puts it on\n"
    "frequency, and the cut list. Numbers use a full stop as the decimal point.\n\n"
    "Exit status: 0 done; 64 bad command line; 65 the design has no result or cannot be\n"
    "modelled; 69 nec2c is not installed; 70 internal error; 71 nec2c failed; 73 an output file\n"
    "cannot be written; 74 standard output cannot be written; 75 nec2c ran past its time\n"
    "limit; 76 nec2c's output cannot be read.";

} // namespace

std::variant<GivenOptions, HelpRequest, CommandLineError>
parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const OptionEntry& entry : kOptions) {
        QCommandLineOption option(QString::fromLatin1(entry.name), QString::fromUtf8(entry.help));
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
    for (const OptionEntry& entry : kOptions) {
        const QString name = QString::fromLatin1(entry.name);
        const QStringList values = parser.values(name);
        if (values.size() > 1) {
            return CommandLineError{std::string("--") + entry.name +
                                    " is given more than once; give it once"};
        }
        if (parser.isSet(name)) {
            given[entry.name] = entry.valueName ? values.constFirst().toStdString() : std::string();
        }
    }
    return given;
}

} // namespace brevan::cli
