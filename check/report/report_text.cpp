// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/report_text.h"

#include "coil/physics.h"
#include "general_format.h"
#include "report/advice.h"
#include "report/power_words.h"
#include "report/report_format.h"
#include "report/text_parts.h"
#include "report/tolerance_words.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <sstream>
#include <vector>

namespace brevan::check {
namespace {

using namespace text_parts;

// A length as given, and in feet and inches beside it when the report is in them.
std::string givenLength(const CheckInputs& in, double metres, double shown, const char* unit) {
    return withInches(Lengths(in.units), metres, given(shown) + " " + unit);
}

void inputs(Writer& w, const CheckReport& r) {
    const CheckInputs& in = r.inputs;
    const Lengths L(in.units);
    w.heading("Inputs");
    w.row("Design frequency F", given(in.frequencyMHz) + " MHz");
    w.row("Total length A",
          (L.imperial() ? feetAndInches(in.lengthM) + " (" + given(in.lengthM) + " m, "
                        : given(in.lengthM) + " m (") +
              given(r.design.lengthAFeet) + " ft), tip to tip");
    w.row("Centre to coil B",
          (L.imperial() ? feetAndInches(in.distanceM) + " (" + given(in.distanceM) + " m, "
                        : given(in.distanceM) + " m (") +
              given(r.design.distBFeet) + " ft), feed point to the middle of each coil");
    w.row("Antenna wire", wireText(in, in.wireSwg, in.wireSize, antennaWireMm(in)));
    w.row("Coil former diameter", givenLength(in, in.formerMm / 1000, in.formerMm, "mm"));
    w.row("Planned coil length", givenLength(in, in.coilLengthMm / 1000, in.coilLengthMm, "mm"));
    w.row("Coil wire",
          wireText(in, in.coilWireSwg, in.coilWireSize, r.coil.coil.wireDiameter * 1000) + " bare");
    if (in.turns) {
        w.row("Turns wound",
              given(*in.turns) + ", given (step 2 gives " + r.design.turnsText + ")");
    } else if (in.coilInductanceUh) {
        w.row("Turns wound", turnsText(r.coil.coil.turns) +
                                 ", of this wire and former closest to the measured coil "
                                 "(give --turns for its own)");
    }
    w.row("Pitch", pitchWithTpi(L, r.coil.coil.pitch, number(r.coil.coil.pitch * 1000, 3) + " mm") +
                       (in.windingLengthMm ? " between turn centres, from the winding length of " +
                                                 givenLength(in, *in.windingLengthMm / 1000,
                                                             *in.windingLengthMm, "mm")
                        : in.pitchMm ? " between turn centres"
                                     : ", close-wound"));
    if (in.coilQ) {
        w.row("Coil Q", significant(*in.coilQ, 3) + ", given");
    }
    w.row("Coil former", formerText(in.formerPermittivity));
    if (in.coilInductanceUh) {
        w.row("Coil inductance", given(*in.coilInductanceUh) + " uH, measured at low frequency");
        w.row("Coil self-resonance", in.coilSelfResonanceMHz
                                         ? given(*in.coilSelfResonanceMHz) + " MHz, measured"
                                         : std::string("not measured"));
    }
    if (in.antenna) {
        if (isInsulated(wireInsulation(in))) {
            w.row("Antenna wire insulation", insulationText(wireInsulation(in)));
        }
        w.row("Power at the feed", powerSettingText(in.power) + ", peak envelope");
        w.row("Surroundings",
              in.ground.kind == GroundKind::FreeSpace
                  ? std::string("free space")
                  : L.m(in.ground.height, 2) + " over " + groundName(in.ground.kind) + " ground");
        if (in.hang.shape == HangShape::InvertedV) {
            w.row("Hang", in.hang.endsHeight
                              ? "inverted V, apex at the height, ends " +
                                    givenLength(in, *in.hang.endsHeight, *in.hang.endsHeight, "m") +
                                    " above the ground"
                              : "inverted V, " + given(in.hang.legAngle) + " deg between the legs");
        }
    }
}

void design(Writer& w, const CheckReport& r) {
    const WindowDesign& d = r.design;
    w.heading("Design, as the window computes it");
    w.row("Loading coil inductance",
          d.inductanceText + " uH (the window shows " + d.shownInductanceText + ")");
    w.row("Turns", d.turnsText);
    w.row("Revised coil length", d.revisedLengthText);
    const CheckInputs& in = r.inputs;
    if (in.wireSize) {
        w.row("Antenna wire in the design", "SWG " + std::to_string(in.wireSwg) +
                                                ", the table's gauge nearest to " +
                                                wireName(in.wireSwg, in.wireSize));
    }
    if (in.coilWireSize) {
        w.row("Coil wire in the design", "SWG " + std::to_string(in.coilWireSwg) +
                                             ", the table's gauge nearest to " +
                                             wireName(in.coilWireSwg, in.coilWireSize));
    }
}

void coil(Writer& w, const CheckReport& r) {
    const CoilAsWound& c = r.coil;
    const Lengths L(r.inputs.units);
    w.heading("The coil as wound");
    w.row("Diameter to turn centres",
          coilDimension(L, c.coil.meanDiameter) + " (former + one wire diameter)");
    w.row("Winding length",
          coilDimension(L, sheetLength(c.coil)) + " (" + turnsText(c.coil.turns) +
              (L.imperial() ? " at " + number(0.0254 / c.coil.pitch, 1) + " turns per inch"
                            : " x " + number(c.coil.pitch * 1000, 3) + " mm") +
              "), length / diameter " + significant(c.lengthOverDiameter, 3));
    w.row("Nagaoka coefficient", number(c.nagaoka, 4));
    w.row("Rosa's corrections A, B", number(c.rosaSelf, 4) + ", " + number(c.rosaMutual, 4));
    w.row("Current sheet", uh(c.currentSheet));
    w.row("Inductance as wound", uh(c.inductance) + ", " + (c.differencePercent < 0 ? "" : "+") +
                                     number(c.differencePercent, 1) + " % against step 1");
    w.row("At F", uh(c.inductanceAtDesign) +
                      ", without the wire's internal inductance, which the skin effect removes");
    w.row("Wheeler's estimate", uh(c.wheeler));
    w.row("Turns closest to step 1",
          turnsText(c.closestTurns) + ", " + uh(c.closestTurnsInductance));
    if (r.measuredCoil) {
        const double difference = percentAgainstStep1(r.design, r.measuredCoil->inductance);
        w.row("Measured coil", given(r.inputs.coilInductanceUh.value_or(0)) + " uH, " +
                                   (difference < 0 ? "" : "+") + number(difference, 1) +
                                   " % against step 1: the antenna is modelled with it");
    }
}

void losses(Writer& w, const CheckReport& r) {
    const CoilLosses& l = r.losses;
    w.heading("Losses at " + given(r.inputs.frequencyMHz) + " MHz");
    w.row("Skin depth", number(l.skinDepth * 1e6, 1) + " um");
    w.row("Wire in the winding", Lengths(r.inputs.units).m(windingWireLength(r.coil.coil), 3));
    w.row("Resistance, DC", ohm(l.resistance.dcResistance));
    w.row("Resistance, skin effect", ohm(l.resistance.skinResistance) + " (the wire alone)");
    w.row("Resistance in the coil", ohm(l.resistance.acResistance) + " (proximity factor " +
                                        number(l.resistance.proximityFactor, 2) + ")");
    w.row("Reactance", ohm(l.reactance));
    const bool measured = r.measuredCoil.has_value();
    const bool resonanceMeasured = measured && r.inputs.coilSelfResonanceMHz;
    w.row("Q", l.qGiven
                   ? significant(l.q, 3) + " (given; estimate " + significant(l.estimatedQ, 3) + ")"
               : measured ? significant(l.q, 3) + " (estimated for the coil as wound)"
                          : significant(l.q, 3) + " (estimated)");
    w.row("Loss resistance used", ohm(l.seriesResistance) + " in series with each coil" +
                                      (measured ? ", the measured coil's" : ""));
    const std::string model = selfCapacitanceSource(l.selfResonanceModel);
    w.row("Self-capacitance",
          number(l.selfCapacitance * 1e12, 2) + " pF" +
              (resonanceMeasured ? " (from the measured self-resonance)"
               : measured ? " (" + model + " for the coil as wound, assumed for the measured coil)"
                          : " (" + model + ", the coil floating in the wire)"));
    w.row("Self-resonance", significant(l.selfResonance / 1e6, 3) + " MHz" +
                                (resonanceMeasured ? " (measured)"
                                 : measured        ? " (computed)"
                                                   : ""));
    w.row("Medhurst's grounded coil", number(l.medhurstCapacitance * 1e12, 2) +
                                          " pF, self-resonance " +
                                          significant(l.medhurstResonance / 1e6, 3) + " MHz");
    w.row("As the antenna sees it", uh(l.apparentInductance) + ", " + ohm(l.apparentResistance) +
                                        " (self-capacitance across the winding)");
    if (l.length.isLong) {
        w.row("A long coil", longCoilText(l.length));
    }
}

// The three antennas side by side, one column each.
std::string columns(const std::vector<std::string>& cells) {
    constexpr std::size_t kColumn = 22;
    std::string line;
    for (const std::string& cell : cells) {
        line += cell + std::string(
                           std::max<std::size_t>(1, kColumn - std::min(kColumn, width(cell))), ' ');
    }
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

// One row of the three antennas; the trimmed one is missing when no trim reached F.
void antennaRow(Writer& w, const std::string& label, const AntennaCheck& a,
                const std::function<std::string(const AntennaResult&)>& cell) {
    w.row(label, columns({cell(a.designed), cell(a.built), a.trimmed ? cell(*a.trimmed) : "-"}));
}

std::string tableSwr(double swr) {
    return swr < 100 ? number(swr, 2) : std::string("over 100");
}

// Each coil at F as the antenna sees it: an inductance and its loss, or, past its own
// resonance, a capacitive impedance.
std::string coilCell(const AntennaResult& a) {
    const std::complex<double> z = a.coilAtDesign;
    if (z.imag() < 0) {
        return significant(z.real(), 2) + " - j" + significant(-z.imag(), 3) + " ohm";
    }
    return uh(a.coilApparentInductance) + ", " + significant(z.real(), 2) + " ohm";
}

// A 2:1 band edge: a frequency, or why there is none.
std::string bandCell(const AntennaResult& x, const std::optional<double>& edge) {
    if (edge) {
        return mhz(edge);
    }
    if (!x.resonanceMHz) {
        return "none, no resonance";
    }
    const double least = resonanceSwr(x);
    return least > 2 ? "none, SWR " + number(least, 1) + " at res." : std::string("beyond 30 %");
}

} // namespace

std::string medhurstSummary(const AntennaCheck& a) {
    const AntennaResult& m = *a.medhurst;
    if (!m.resonanceMHz) {
        return "no resonance within 30 % of F as built";
    }
    std::string text = "as built, resonance " + resonanceText(*m.resonanceMHz, 0.0);
    if (a.built.resonanceMHz) {
        const double kHz = (*m.resonanceMHz - *a.built.resonanceMHz) * 1000;
        text += " (" + std::string(kHz < 0 ? "" : "+") + number(kHz, 0) + " kHz)";
    }
    return text;
}

namespace {

// The antenna with its coils wound as NEC-2's helices: where it resonates as built and trimmed,
// and the trim of each tip that puts it on F.
std::string helixSummary(const CheckReport& r, const HelixCheck& h) {
    std::string text = "as built " + number(h.builtMHz, 3);
    double uncertainty = h.builtUncertainty;
    if (h.trimmedMHz) {
        text += ", trimmed " + number(*h.trimmedMHz, 3);
        uncertainty = std::max(uncertainty, h.trimmedUncertainty);
    }
    text += " MHz" + (uncertainty >= kShownUncertainty ? " " + uncertaintyText(uncertainty) : "");
    if (!h.tipChange) {
        return text;
    }
    if (h.tipInTheWay) {
        return text + "; no trim reaches F";
    }
    const Lengths L(r.inputs.units);
    const int decimals = r.antenna->trim.toMillimetres ? 1 : 0;
    return text + "; each tip " + (*h.tipChange >= 0 ? "+" : "") + L.cm(*h.tipChange, decimals);
}

} // namespace

namespace {

void antenna(Writer& w, const CheckReport& r) {
    if (!r.antenna) {
        return;
    }
    const AntennaCheck& a = *r.antenna;
    w.heading("The antenna, modelled with NEC-2 (nec2c)");
    if (const std::string hang = hangSentence(r); !hang.empty()) {
        w.bullet(hang);
    }
    w.row("", columns({"As designed", "As built", "Trimmed"}));
    const Lengths L(r.inputs.units);
    antennaRow(w, "Length", a, [&L](const AntennaResult& x) { return L.m(x.length, 3); });
    antennaRow(w, "Each coil at F", a, [](const AntennaResult& x) { return coilCell(x); });
    antennaRow(w, "Resonance", a, [](const AntennaResult& x) {
        return x.resonanceMHz ? resonanceText(*x.resonanceMHz, x.resonanceUncertainty)
                              : mhz(x.resonanceMHz);
    });
    antennaRow(w, "Resistance at resonance", a, [](const AntennaResult& x) {
        return x.resonanceMHz ? ohm(x.resonanceResistance) : std::string("-");
    });
    antennaRow(w, "Impedance at F", a, [](const AntennaResult& x) {
        const double im = x.designImpedance.imag();
        return significant(x.designImpedance.real(), 3) + (im < 0 ? " - j" : " + j") +
               significant(std::abs(im), 3);
    });
    antennaRow(w, "SWR at F (50 ohm)", a,
               [](const AntennaResult& x) { return tableSwr(x.designSwr); });
    antennaRow(w, "2:1 band from", a,
               [](const AntennaResult& x) { return bandCell(x, x.band.lowerMHz); });
    antennaRow(w, "2:1 band to", a,
               [](const AntennaResult& x) { return bandCell(x, x.band.upperMHz); });
    antennaRow(w, "Efficiency, wire and coils", a,
               [](const AntennaResult& x) { return number(x.designEfficiency * 100, 1) + " %"; });
    if (a.built.sky) {
        // NEC-2's power budget counts what the ground absorbs as radiated; the pattern over
        // the sky is what is left for the far field.
        const auto sky = [](const AntennaResult& x, auto field) {
            return x.sky ? field(*x.sky) : std::string("-");
        };
        antennaRow(w, "Radiated into the sky", a, [sky](const AntennaResult& x) {
            return sky(x, [](const SkyShare& s) { return number(s.share * 100, 1) + " %"; });
        });
        antennaRow(w, "Maximum gain", a, [sky](const AntennaResult& x) {
            return sky(x, [](const SkyShare& s) {
                return number(s.maxGainDbi, 1) + " dBi at " + number(s.maxElevation, 0) + " deg";
            });
        });
    }
    w.row("Trim of each tip", trimSummary(r));
    w.row("Or, at the designed length", neededCoilSummary(a));
    if (a.medhurst) {
        w.row("With Medhurst's capacitance", medhurstSummary(a));
    }
    if (a.helix) {
        w.row("Coils as NEC-2's helices", helixSummary(r, *a.helix));
    }
}

// What the coils and the tips must hold at the builder's power, as built and trimmed.
void power(Writer& w, const CheckReport& r) {
    const std::vector<PowerRow> rows = powerRows(r);
    if (rows.empty()) {
        return;
    }
    w.heading("At " + powerSettingText(r.inputs.power) + ": what the coils and the tips hold");
    w.row("", columns({"As built", "Trimmed"}));
    for (const PowerRow& row : rows) {
        w.row(row.label, columns({row.built, row.trimmed}));
    }
    for (const std::string& note : powerMethodNotes(r)) {
        w.bullet(note);
    }
}

// How far each difference between the antenna as checked and as made moves it.
void tolerances(Writer& w, const CheckReport& r) {
    const std::vector<ToleranceLine> lines = toleranceLines(r);
    if (lines.empty()) {
        return;
    }
    w.heading("How exactly to build it: what each difference moves");
    w.bullet("Of the antenna " + toleranceBasis(r) + ".");
    w.row("", columns({"Resonance moves", "SWR at F"}));
    for (const ToleranceLine& line : lines) {
        w.row(line.difference,
              line.notApplying.empty() ? columns({line.resonance, line.swr}) : line.notApplying);
    }
    w.bullet(toleranceSentence(r));
}

void cutList(Writer& w, const CheckReport& r) {
    const CutList& c = r.cut;
    const CheckInputs& in = r.inputs;
    const Lengths L(in.units);
    const auto m3 = [&L](double metres) { return L.m(metres, 3); };
    // A wire by its name; in feet and inches as AWG, with metric beside.
    const auto wire = [&in](int swg, const std::optional<WireSize>& size, double mm) {
        return in.units == LengthUnits::Imperial ? wireText(in, swg, size, mm)
                                                 : wireName(swg, size);
    };
    w.heading("Cut list, each half of the dipole (two of each)");
    if (const std::string along = alongWireNote(r); !along.empty()) {
        w.bullet(along);
    }
    if (c.coilsAtFeed) {
        w.row("Inner wire", "none: B = 0, each coil starts at the feed point");
    } else {
        w.row("Inner wire", m3(c.innerWire) + ", centre to the coil: B - winding / 2");
    }
    w.row("Coil", turnsText(r.coil.coil.turns) + " of " +
                      wire(in.coilWireSwg, in.coilWireSize, r.coil.coil.wireDiameter * 1000) +
                      " on a " + givenLength(in, in.formerMm / 1000, in.formerMm, "mm") +
                      " former, " +
                      (L.imperial() ? coilDimension(L, sheetLength(r.coil.coil))
                                    : mm(sheetLength(r.coil.coil))) +
                      " long");
    w.row("Coil wire", m3(c.coilWireEach) + ", the winding's " +
                           m3(windingWireLength(r.coil.coil)) + " and " +
                           L.mm(kCoilLeadAllowance, 0) + " for each lead");
    w.row("Outer wire as designed",
          m3(c.outerWire) + (c.coilsAtFeed ? ", coil to tip: A/2 - winding"
                                           : ", coil to tip: A/2 - B - winding / 2"));
    if (c.tipChange) {
        w.row("Trim",
              (*c.tipChange >= 0 ? "+" : "") + m3(*c.tipChange) + " from the full-wave check");
    } else if (r.antenna) {
        w.row("Trim", "none: no trim of the tips reaches F, so they are cut as designed");
    }
    w.row("Outer wire to cut",
          m3(c.outerWireToCut) + ", with " + m3(c.tipSpare) + " spare for the final adjustment");
    w.heading("To buy");
    w.row("Antenna wire", m3(c.antennaWireTotal) + " of " +
                              wire(in.wireSwg, in.wireSize, antennaWireMm(in)) +
                              " as cut, plus what insulators and feed take");
    w.row("Coil wire", m3(c.coilWireTotal) + " of " +
                           wire(in.coilWireSwg, in.coilWireSize, r.coil.coil.wireDiameter * 1000) +
                           " for both coils");
}

} // namespace

std::string reportText(const CheckReport& report, const std::string& version) {
    Writer w;
    w.plain("brevan-check " + version +
            ": a shortened, coil-loaded dipole, checked before the "
            "wire is cut");
    w.heading("What it means");
    for (const std::string& line : verdictSentences(report)) {
        w.bullet(line);
    }
    inputs(w, report);
    design(w, report);
    coil(w, report);
    losses(w, report);
    antenna(w, report);
    power(w, report);
    tolerances(w, report);
    measured(w, report);
    study(w, report);
    cutList(w, report);
    w.heading("Warnings");
    const std::vector<std::string> warnings = warningSentences(report);
    if (warnings.empty()) {
        w.bullet("None.");
    }
    for (const std::string& line : warnings) {
        w.bullet(line);
    }
    return w.str();
}

} // namespace brevan::check
