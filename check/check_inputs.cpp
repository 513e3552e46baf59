// SPDX-License-Identifier: GPL-3.0-or-later
#include "check_inputs.h"

#include "option_table.h"
#include "option_values.h"

#include "portable_maths.h"

#include "floating_chars.h"
#include "range_limits.h"
#include "wire_gauge_table.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <limits>

namespace brevan::check {
namespace {

using options::badValue;
using options::plain;
using options::Range;
using options::readChoice;
using options::readGauge;
using options::readNumber;
using options::readPath;
using options::readRequired;

// The options that describe the line a sweep was measured through.
constexpr const char* kFeedlineOptions[] = {"feedline-length", "feedline-vf", "feedline-loss"};

// The options that only make sense with the full-wave check.
constexpr const char* kAntennaOnly[] = {"height",
                                        "ground",
                                        "plot",
                                        "deck",
                                        "engine-timeout",
                                        "measured",
                                        "study",
                                        "study-plot",
                                        "shape",
                                        "leg-angle",
                                        "ends-height",
                                        "insulation",
                                        "insulation-thickness",
                                        "power",
                                        "mode"};

// The sweep to read and the line it came through; the line's options mean nothing alone.
std::optional<UsageError> readMeasured(const std::map<std::string, std::string>& given,
                                       CheckInputs& in) {
    const auto it = given.find("measured");
    if (it != given.end() && it->second.empty()) {
        return UsageError{"--measured: the file name is empty; give the analyser's sweep "
                          "(Touchstone .s1p or CSV)"};
    }
    if (it == given.end()) {
        for (const char* option : kFeedlineOptions) {
            if (given.count(option)) {
                return UsageError{std::string("--") + option +
                                  " describes the line a sweep was measured through; give the "
                                  "sweep with --measured"};
            }
        }
        return std::nullopt;
    }
    in.measuredPath = it->second;
    if (auto e =
            readNumber(given, "feedline-length", limitsOf("feedline-length"), in.feedlineLengthM))
        return e;
    std::optional<double> vf;
    if (auto e = readNumber(given, "feedline-vf", limitsOf("feedline-vf"), vf))
        return e;
    std::optional<double> loss;
    if (auto e = readNumber(given, "feedline-loss", limitsOf("feedline-loss"), loss))
        return e;
    if ((vf || loss) && !in.feedlineLengthM) {
        return UsageError{std::string("--") + (vf ? "feedline-vf" : "feedline-loss") +
                          " needs --feedline-length: give the length of the line in metres"};
    }
    in.feedlineVelocityFactor = vf.value_or(in.feedlineVelocityFactor);
    in.feedlineLossDb = loss.value_or(in.feedlineLossDb);
    return std::nullopt;
}

// The power the antenna must hold, and the mode that averages it.
std::optional<UsageError> readPower(const std::map<std::string, std::string>& given,
                                    CheckInputs& in) {
    std::optional<double> watts;
    if (auto e = readNumber(given, "power", limitsOf("power"), watts))
        return e;
    in.power.watts = watts.value_or(kDefaultPowerW);
    std::map<std::string, int> modes;
    for (const Mode m : {Mode::Ssb, Mode::Cw, Mode::Am, Mode::Fm, Mode::Digital}) {
        modes[modeDuty(m).option] = static_cast<int>(m);
    }
    int mode = static_cast<int>(Mode::Ssb);
    if (auto e = readChoice(given, "mode", modes, mode))
        return e;
    in.power.mode = static_cast<Mode>(mode);
    return std::nullopt;
}

// The one study there is, and where its picture goes.
std::optional<UsageError> readStudy(const std::map<std::string, std::string>& given,
                                    CheckInputs& in) {
    int study = 0;
    if (auto e = readChoice(given, "study", {{"coil-position", 1}}, study))
        return e;
    in.coilPositionStudy = study == 1;
    if (given.count("study-plot") && !in.coilPositionStudy) {
        return UsageError{"--study-plot draws the study; give --study coil-position"};
    }
    return readPath(given, "study-plot", in.studyPlotPath);
}

// How the wire hangs: straight, or an inverted V given by the angle between its legs or, over
// ground, by the height of its ends (below the apex, which is --height).
std::optional<UsageError> readHang(const std::map<std::string, std::string>& given,
                                   CheckInputs& in) {
    int shape = static_cast<int>(HangShape::Straight);
    const std::map<std::string, int> shapes{{"straight", static_cast<int>(HangShape::Straight)},
                                            {"inverted-v", static_cast<int>(HangShape::InvertedV)}};
    if (auto e = readChoice(given, "shape", shapes, shape))
        return e;
    in.hang.shape = static_cast<HangShape>(shape);
    const bool angleGiven = given.count("leg-angle") > 0;
    const bool endsGiven = given.count("ends-height") > 0;
    if (in.hang.shape != HangShape::InvertedV) {
        if (angleGiven || endsGiven) {
            return UsageError{std::string("--") + (angleGiven ? "leg-angle" : "ends-height") +
                              " describes an inverted V; give --shape inverted-v with it"};
        }
        return std::nullopt;
    }
    if (angleGiven == endsGiven) {
        return UsageError{angleGiven
                              ? "--leg-angle and --ends-height both describe the inverted V; "
                                "give one of them"
                              : "--shape inverted-v needs --leg-angle (the angle between the "
                                "legs in degrees) or, over ground, --ends-height (the height of "
                                "the ends in metres)"};
    }
    if (angleGiven) {
        std::optional<double> angle;
        if (auto e = readNumber(given, "leg-angle", limitsOf("leg-angle"), angle))
            return e;
        in.hang.legAngle = *angle;
        return std::nullopt;
    }
    if (in.ground.kind == GroundKind::FreeSpace) {
        return UsageError{"--ends-height needs --height: the ends hang below the apex, which is "
                          "at the antenna's height (in free space give --leg-angle)"};
    }
    if (auto e = readNumber(given, "ends-height", limitsOf("ends-height"), in.hang.endsHeight))
        return e;
    if (*in.hang.endsHeight >= in.ground.height) {
        return badValue("ends-height", given.at("ends-height"), "is not below the apex",
                        "give a height below the --height of " + plain(in.ground.height) + " m");
    }
    return std::nullopt;
}

// The sleeve on the antenna wire: a material by name or its permittivity, and a thickness;
// each means nothing without the other.
std::optional<UsageError> readInsulation(const std::map<std::string, std::string>& given,
                                         CheckInputs& in) {
    const auto material = given.find("insulation");
    const bool thicknessGiven = given.count("insulation-thickness") > 0;
    if (material == given.end()) {
        if (thicknessGiven) {
            return UsageError{"--insulation-thickness needs --insulation: give the insulation's "
                              "material, pvc or pe, or its relative permittivity"};
        }
        return std::nullopt;
    }
    double permittivity = 0.0;
    if (material->second == "pvc") {
        permittivity = kPvcPermittivity;
    } else if (material->second == "pe") {
        permittivity = kPolyethylenePermittivity;
    } else if (!parseOptionNumber(material->second)) {
        return badValue("insulation", material->second, "is neither a material nor a number",
                        std::string("give pvc, pe or ") + limitsOf("insulation").accepted);
    } else {
        std::optional<double> value;
        if (auto e = readNumber(given, "insulation", limitsOf("insulation"), value))
            return e;
        permittivity = *value;
    }
    if (!thicknessGiven) {
        return UsageError{"--insulation needs --insulation-thickness: give the thickness of the "
                          "insulation in millimetres"};
    }
    std::optional<double> thicknessMm;
    if (auto e = readNumber(given, "insulation-thickness", limitsOf("insulation-thickness"),
                            thicknessMm))
        return e;
    in.insulationThicknessMm = *thicknessMm;
    in.insulationPermittivity = permittivity;
    return std::nullopt;
}

// What the coils are wound on: a tube (air inside, the default), a rod of a named plastic, or a
// rod of the given permittivity.
std::optional<UsageError> readFormer(const std::map<std::string, std::string>& given,
                                     CheckInputs& in) {
    const auto material = given.find("former-material");
    if (material == given.end()) {
        return std::nullopt;
    }
    const std::map<std::string, double> presets = {{"tube", 1.0},
                                                   {"ptfe", kPtfePermittivity},
                                                   {"pe", kPolyethylenePermittivity},
                                                   {"pvc", kPvcPermittivity}};
    if (const auto preset = presets.find(material->second); preset != presets.end()) {
        in.formerPermittivity = preset->second;
        return std::nullopt;
    }
    if (!parseOptionNumber(material->second)) {
        return badValue("former-material", material->second, "is neither a material nor a number",
                        std::string("give tube, ptfe, pe, pvc or ") +
                            limitsOf("former-material").accepted);
    }
    std::optional<double> value;
    if (auto e = readNumber(given, "former-material", limitsOf("former-material"), value))
        return e;
    in.formerPermittivity = *value;
    return std::nullopt;
}

// The turns the builder wound, and the length they take: from the pitch, or as measured.
std::optional<UsageError> readWound(const std::map<std::string, std::string>& given,
                                    CheckInputs& in) {
    if (!given.count("turns")) {
        if (given.count("winding-length")) {
            return UsageError{"--winding-length needs --turns: give the turns wound over that "
                              "length"};
        }
        return std::nullopt;
    }
    if (auto e = readNumber(given, "turns", limitsOf("turns"), in.turns))
        return e;
    if (!given.count("winding-length")) {
        return std::nullopt;
    }
    if (given.count("pitch")) {
        return UsageError{"--winding-length and --pitch both say how far apart the turns are; "
                          "give one of them"};
    }
    // Touching turns take one wire diameter each: the length can be no shorter.
    const double wireMm = coilWireMm(in);
    const Range length{*in.turns * wireMm, true, 10000, "mm",
                       "the length of the winding in millimetres (at least the turns "
                       "close-wound, turns x the bare wire diameter)"};
    return readNumber(given, "winding-length", length, in.windingLengthMm);
}

// A coil the builder measured: its inductance, and its self-resonance and Q when measured too.
std::optional<UsageError> readMeasuredCoil(const std::map<std::string, std::string>& given,
                                           CheckInputs& in) {
    if (!given.count("coil-inductance")) {
        if (given.count("coil-self-resonance")) {
            return UsageError{"--coil-self-resonance needs --coil-inductance: give the coil's "
                              "measured inductance in microhenries"};
        }
        return std::nullopt;
    }
    if (auto e =
            readNumber(given, "coil-inductance", limitsOf("coil-inductance"), in.coilInductanceUh))
        return e;
    return readNumber(given, "coil-self-resonance", limitsOf("coil-self-resonance"),
                      in.coilSelfResonanceMHz);
}

} // namespace

std::variant<CheckInputs, UsageError>
readCheckInputs(const std::map<std::string, std::string>& given) {
    CheckInputs in;
    if (auto e = readRequired(given, "frequency", limitsOf("frequency"), in.frequencyMHz))
        return *e;
    if (auto e = readRequired(given, "length", limitsOf("length"), in.lengthM))
        return *e;
    if (auto e = readRequired(given, "distance", limitsOf("distance"), in.distanceM))
        return *e;
    if (auto e = readGauge(given, "wire", false, in.wireSwg, in.wireSize))
        return *e;
    if (auto e = readRequired(given, "former", limitsOf("former"), in.formerMm))
        return *e;
    if (auto e = readRequired(given, "coil-length", limitsOf("coil-length"), in.coilLengthMm))
        return *e;
    if (auto e = readGauge(given, "coil-wire", true, in.coilWireSwg, in.coilWireSize))
        return *e;

    // Turns cannot sit closer than touching, so the pitch starts at the bare wire's diameter.
    const double wireMm = coilWireMm(in);
    const Range pitch{wireMm, true, 1000, "mm",
                      "the distance between turn centres in millimetres (at least the bare "
                      "diameter of the coil wire)"};
    if (auto e = readNumber(given, "pitch", pitch, in.pitchMm))
        return *e;
    if (auto e = readNumber(given, "coil-q", limitsOf("coil-q"), in.coilQ))
        return *e;
    if (auto e = readWound(given, in))
        return *e;
    if (auto e = readMeasuredCoil(given, in))
        return *e;

    in.antenna = given.count("no-antenna") == 0;
    if (!in.antenna) {
        for (const char* option : kAntennaOnly) {
            if (given.count(option)) {
                return UsageError{std::string("--") + option +
                                  " needs the full-wave check; leave out --no-antenna"};
            }
        }
    }
    std::optional<double> height;
    if (auto e = readNumber(given, "height", limitsOf("height"), height))
        return *e;
    int ground = static_cast<int>(GroundKind::Average);
    const std::map<std::string, int> grounds{{"poor", static_cast<int>(GroundKind::Poor)},
                                             {"average", static_cast<int>(GroundKind::Average)},
                                             {"good", static_cast<int>(GroundKind::Good)},
                                             {"perfect", static_cast<int>(GroundKind::Perfect)}};
    if (auto e = readChoice(given, "ground", grounds, ground))
        return *e;
    if (given.count("ground") && !height) {
        return UsageError{"--ground needs --height: give the antenna's height above that ground "
                          "in metres (without both, the antenna is in free space)"};
    }
    if (height) {
        in.ground = Ground{static_cast<GroundKind>(ground), *height};
    }
    if (auto e = readHang(given, in))
        return *e;

    if (auto e = readInsulation(given, in))
        return *e;
    if (auto e = readFormer(given, in))
        return *e;
    if (auto e = readPower(given, in))
        return *e;

    std::optional<double> timeout;
    if (auto e = readNumber(given, "engine-timeout", limitsOf("engine-timeout"), timeout))
        return *e;
    in.engineTimeoutSeconds = timeout.value_or(in.engineTimeoutSeconds);

    int format = static_cast<int>(OutputFormat::Text);
    const std::map<std::string, int> formats{{"text", static_cast<int>(OutputFormat::Text)},
                                             {"json", static_cast<int>(OutputFormat::Json)}};
    if (auto e = readChoice(given, "format", formats, format))
        return *e;
    in.format = static_cast<OutputFormat>(format);

    int units = static_cast<int>(LengthUnits::Metric);
    const std::map<std::string, int> unitNames{
        {"metric", static_cast<int>(LengthUnits::Metric)},
        {"imperial", static_cast<int>(LengthUnits::Imperial)}};
    if (auto e = readChoice(given, "units", unitNames, units))
        return *e;
    in.units = static_cast<LengthUnits>(units);

    if (auto e = readPath(given, "plot", in.plotPath))
        return *e;
    if (auto e = readPath(given, "deck", in.deckPath))
        return *e;
    if (auto e = readMeasured(given, in))
        return *e;
    if (auto e = readStudy(given, in))
        return *e;
    return in;
}

std::optional<double> parseOptionNumber(std::string_view text) {
    const char* const first = text.data();
    const char* const last = first + text.size();
    double value = 0.0;
    const auto [end, error] = fromChars(first, last, value);
    if (error != std::errc() || end != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

Insulation wireInsulation(const CheckInputs& inputs) {
    return Insulation{inputs.insulationThicknessMm / 1000.0, inputs.insulationPermittivity};
}

double coilWireDiameterMm(int swg) {
    double inch = 0.0;
    WireGaugeTable::lookupDiameter(WireColumn::Coil, swg, inch);
    return inch * kMillimetresPerInch;
}

double antennaWireDiameterMm(int swg) {
    double inch = 0.0;
    WireGaugeTable::lookupDiameter(WireColumn::Antenna, swg, inch);
    return inch * kMillimetresPerInch;
}

std::string wireOptionText(int swg, const std::optional<WireSize>& size) {
    if (!size || size->system == WireSystem::Swg) {
        return std::to_string(size ? static_cast<int>(size->value) : swg);
    }
    if (size->system == WireSystem::Awg) {
        return "AWG " + std::to_string(static_cast<int>(size->value));
    }
    char buffer[64];
    const auto result = toChars(buffer, buffer + sizeof buffer, size->value);
    return std::string(buffer, result.ptr) + "mm";
}

std::string wireName(int swg, const std::optional<WireSize>& size) {
    if (size && size->system == WireSystem::Millimetres) {
        return plain(size->value) + " mm";
    }
    return size && size->system == WireSystem::Awg ? wireOptionText(swg, size)
                                                   : "SWG " + wireOptionText(swg, size);
}

double awgDiameterMm(int gauge) {
    return 0.127 * portable::pow(92.0, (36.0 - gauge) / 39.0);
}

int nearestAwg(double mm) {
    int best = 0;
    for (int gauge = -3; gauge <= 40; ++gauge) {
        if (std::abs(awgDiameterMm(gauge) - mm) < std::abs(awgDiameterMm(best) - mm)) {
            best = gauge;
        }
    }
    return best;
}

int nearestTableGauge(double mm, bool coilColumn) {
    int best = 10;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (int swg = 10; swg <= 30; swg += 2) {
        const double table = coilColumn ? coilWireDiameterMm(swg) : antennaWireDiameterMm(swg);
        if (std::abs(table - mm) < bestDistance) {
            bestDistance = std::abs(table - mm);
            best = swg;
        }
    }
    return best;
}

namespace {

double realDiameterMm(int swg, const std::optional<WireSize>& size, bool coilColumn) {
    if (size && size->system == WireSystem::Awg) {
        return awgDiameterMm(static_cast<int>(size->value));
    }
    if (size && size->system == WireSystem::Millimetres) {
        return size->value;
    }
    return coilColumn ? coilWireDiameterMm(swg) : antennaWireDiameterMm(swg);
}

} // namespace

double antennaWireMm(const CheckInputs& inputs) {
    return realDiameterMm(inputs.wireSwg, inputs.wireSize, false);
}

double coilWireMm(const CheckInputs& inputs) {
    return realDiameterMm(inputs.coilWireSwg, inputs.coilWireSize, true);
}

} // namespace brevan::check
