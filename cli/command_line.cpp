// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include "exit_status.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <cstddef>

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
    {"wire", "gauge",
     "Antenna wire: an SWG of 10 12 14 16 18 20 22 24 26 28 30, an AWG gauge as 'AWG 14', or "
     "the bare diameter as '1.63mm'. The design uses the SWG nearest in diameter; the model, "
     "the wire itself."},
    {"former", "mm", "Coil former diameter in millimetres."},
    {"coil-length", "mm", "Planned coil length in millimetres."},
    {"coil-wire", "gauge", "Coil wire, in the same forms."},
    {"pitch", "mm",
     "Distance between turn centres in millimetres (default: close-wound, one "
     "bare wire diameter)."},
    {"coil-q", "Q", "Use this Q for each coil instead of the estimate from its losses."},
    {"former-material", "tube|ptfe|pe|pvc|permittivity",
     "What the coils are wound on: a thin-walled tube or air (default), or a solid rod of PTFE "
     "(relative permittivity 2.1), PE (2.3), PVC (3.5) or the given relative permittivity."},
    {"turns", "N",
     "The turns actually wound on each coil, in place of step 2's; their length comes from "
     "--pitch or --winding-length."},
    {"winding-length", "mm",
     "The length the --turns were wound over, in millimetres (instead of --pitch)."},
    {"coil-inductance", "uH",
     "Each coil's inductance as measured at low frequency, in microhenries: the check models "
     "this coil instead of the computed one."},
    {"coil-self-resonance", "MHz",
     "That coil's measured self-resonance, in MHz, which gives its self-capacitance (default: "
     "the self-capacitance computed for the coil as wound)."},
    {"height", "m", "Height of the antenna above ground in metres (default: free space)."},
    {"ground", "kind",
     "Ground under the antenna: poor, average (default with --height), good "
     "or perfect."},
    {"shape", "straight|inverted-v",
     "How the wire hangs: straight and horizontal (default), or an inverted V from one support "
     "with its apex at --height (in free space, at the centre)."},
    {"leg-angle", "degrees",
     "Inverted V: the angle between the legs, 60 to 180 degrees; kept when the trim changes the "
     "length."},
    {"ends-height", "m",
     "Inverted V over ground: the height of the ends in metres, below --height; kept when the "
     "trim changes the length."},
    {"insulation", "pvc|pe|permittivity",
     "The antenna wire is insulated: PVC (relative permittivity 3.5), PE (2.3) or the "
     "sleeve's relative permittivity (default: bare wire). Needs --insulation-thickness."},
    {"insulation-thickness", "mm",
     "Radial thickness of that insulation in millimetres (0 is bare wire)."},
    {"power", "W",
     "The transmitter's peak envelope power at the feed point in watts (default 100): what "
     "each coil and the tips must hold."},
    {"mode", "ssb|cw|am|fm|digital",
     "The mode, for the coils' average heat: SSB (default, 20 % of the peak on average), CW "
     "(40 %), AM (26 %), FM or digital modes at full duty (100 %)."},
    {"no-antenna", nullptr,
     "Skip the full-wave check with nec2c: design, coil, losses and cut "
     "list only."},
    {"engine-timeout", "seconds", "Time limit of each nec2c run (default 60)."},
    {"format", "text|json", "Report as text to read (default) or as one JSON object."},
    {"units", "metric|imperial",
     "Lengths in the text report in metres and millimetres (default), or in feet and inches to "
     "the nearest 1/8 inch, with the wires as AWG. The JSON keeps SI units."},
    {"plot", "FILE.svg", "Also write SWR against frequency of the three antennas as SVG."},
    {"deck", "FILE.nec", "Also write the NEC-2 deck of the antenna as built."},
    {"measured", "FILE",
     "The analyser's sweep of the antenna as hung (Touchstone .s1p or CSV): add what it shows "
     "and what to cut to the report."},
    {"feedline-length", "m",
     "The sweep was measured through this length of coax, in metres (default: at the feed "
     "point)."},
    {"feedline-vf", "factor", "Velocity factor of that coax (default 0.66)."},
    {"feedline-loss", "dB",
     "Loss of that coax in dB per 100 m at the design frequency (default 0, lossless)."},
    {"study", "coil-position",
     "Also study where the coils should go: the coil that puts the antenna on frequency, its "
     "efficiency and 2:1 band with the coils at positions from the feed to 80 % of the way to "
     "the tip."},
    {"study-plot", "FILE.svg", "Also write the study's efficiency and 2:1 band against B as SVG."},
};

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
