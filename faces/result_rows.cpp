// SPDX-License-Identifier: GPL-3.0-or-later
#include "result_rows.h"

#include "coil/coil_losses.h"
#include "coil/coil_model.h"
#include "general_format.h"
#include "report/advice.h"
#include "report/report_format.h"
#include "report/tolerance_words.h"

#include <functional>

namespace brevan::faces {
namespace {

using check::AntennaResult;
using check::number;
using check::significant;

std::string uh(double henries) {
    return significant(henries * 1e6, 3) + " uH";
}
std::string ohm(double value) {
    return significant(value, 3) + " ohm";
}
std::string bandEdge(const AntennaResult& x, const std::optional<double>& edge) {
    if (edge) {
        return number(*edge, 3) + " MHz";
    }
    return x.resonanceMHz ? "none" : "no resonance";
}

} // namespace

std::vector<ResultRow> designRows(const check::CheckReport& r) {
    const auto& c = r.coil;
    const auto& l = r.losses;
    const check::Lengths L(r.inputs.units);
    const double winding = check::sheetLength(c.coil);
    std::vector<ResultRow> rows{
        {"Loading coil inductance (step 1)", r.design.shownInductanceText + " uH"},
        {"Turns (step 2)", r.design.turnsText},
        {"Revised coil length", r.design.revisedLengthText},
        {"Winding as wound",
         check::withInches(L, winding, number(winding * 1000, 2) + " mm") + ", " +
             check::turnsText(c.coil.turns) + " x " +
             check::pitchWithTpi(L, c.coil.pitch, number(c.coil.pitch * 1000, 3) + " mm")},
        {"Inductance as wound", uh(c.inductance) + ", " + (c.differencePercent < 0 ? "" : "+") +
                                    number(c.differencePercent, 1) + " % against step 1"},
        {"Turns closest to step 1",
         check::turnsText(c.closestTurns) + ", " + uh(c.closestTurnsInductance)},
        {"Q", significant(l.q, 3) + (l.qGiven ? " (given)" : " (estimated)")},
        {"Loss resistance, each coil", ohm(l.seriesResistance)},
        {"Self-resonance", significant(l.selfResonance / 1e6, 3) + " MHz"},
        {"As the antenna sees it", uh(l.apparentInductance) + ", " + ohm(l.apparentResistance)},
    };
    if (l.length.isLong) {
        rows.push_back({"A long coil", check::longCoilText(l.length)});
    }
    if (r.measuredCoil) {
        // The coil the antenna is modelled with, and which of its figures were measured.
        rows.insert(rows.begin() + 6,
                    {"Measured coil, modelled",
                     formatDouble(*r.inputs.coilInductanceUh, ".") + " uH; self-resonance " +
                         (r.inputs.coilSelfResonanceMHz ? "measured" : "computed") + ", Q " +
                         (l.qGiven ? "measured" : "computed")});
    }
    return rows;
}

std::vector<ResultRow> cutListRows(const check::CheckReport& r) {
    const check::CutList& c = r.cut;
    const check::Lengths L(r.inputs.units);
    const auto m3 = [&L](double metres) { return L.m(metres, 3); };
    const double winding = check::sheetLength(r.coil.coil);
    std::vector<ResultRow> rows;
    rows.push_back({"Inner wire, each half",
                    c.coilsAtFeed ? "none: the coils start at the feed" : m3(c.innerWire)});
    rows.push_back(
        {"Coil, each half", check::turnsText(r.coil.coil.turns) + ", " +
                                check::withInches(L, winding, number(winding * 1000, 1) + " mm") +
                                " long"});
    rows.push_back({"Coil wire, each coil", m3(c.coilWireEach)});
    rows.push_back({"Outer wire as designed", m3(c.outerWire)});
    rows.push_back({"Trim of each tip", c.tipChange
                                            ? (*c.tipChange >= 0 ? "+" : "") + m3(*c.tipChange)
                                        : r.antenna ? "none reaches F"
                                                    : "after the full-wave check"});
    const std::string insulated = check::insulationSummary(r);
    if (!insulated.empty()) {
        rows.push_back({"Shorter than bare wire", insulated});
    }
    rows.push_back({"Outer wire to cut", m3(c.outerWireToCut)});
    rows.push_back({"Spare at each tip", m3(c.tipSpare)});
    rows.push_back({"Antenna wire in all", m3(c.antennaWireTotal)});
    rows.push_back({"Coil wire in all", m3(c.coilWireTotal)});
    return rows;
}

std::vector<AntennaRow> antennaRows(const check::CheckReport& r) {
    if (!r.antenna) {
        return {};
    }
    const check::AntennaCheck& a = *r.antenna;
    const check::Lengths L(r.inputs.units);
    const auto row = [&a](const std::string& label,
                          const std::function<std::string(const AntennaResult&)>& cell) {
        return AntennaRow{
            label,
            {cell(a.designed), cell(a.built), a.trimmed ? cell(*a.trimmed) : std::string("-")}};
    };
    std::vector<AntennaRow> rows = {
        row("Length", [&L](const AntennaResult& x) { return L.m(x.length, 3); }),
        row("Resonance",
            [](const AntennaResult& x) {
                return x.resonanceMHz
                           ? check::resonanceText(*x.resonanceMHz, x.resonanceUncertainty)
                           : std::string("none within 30 %");
            }),
    };
    if (a.helix) {
        // The same antennas with their coils wound as NEC-2's helices, as built and trimmed.
        const check::HelixCheck& h = *a.helix;
        rows.push_back(
            {"Resonance, coils as NEC-2's helices",
             {"-", check::resonanceText(h.builtMHz, h.builtUncertainty),
              a.trimmed && h.trimmedMHz ? check::resonanceText(*h.trimmedMHz, h.trimmedUncertainty)
                                        : std::string("-")}});
    }
    const std::vector<AntennaRow> rest = {
        row("Resistance at resonance",
            [](const AntennaResult& x) {
                return x.resonanceMHz ? ohm(x.resonanceResistance) : std::string("-");
            }),
        row("SWR at F (50 ohm)",
            [](const AntennaResult& x) {
                return x.designSwr < 100 ? number(x.designSwr, 2) : std::string("over 100");
            }),
        row("2:1 band from", [](const AntennaResult& x) { return bandEdge(x, x.band.lowerMHz); }),
        row("2:1 band to", [](const AntennaResult& x) { return bandEdge(x, x.band.upperMHz); }),
        row("Efficiency, wire and coils",
            [](const AntennaResult& x) { return number(x.designEfficiency * 100, 1) + " %"; }),
    };
    rows.insert(rows.end(), rest.begin(), rest.end());
    return rows;
}

std::vector<ToleranceTableRow> toleranceRows(const check::CheckReport& r) {
    std::vector<ToleranceTableRow> rows;
    for (const check::ToleranceLine& line : check::toleranceLines(r)) {
        const bool applies = line.notApplying.empty();
        rows.push_back(
            {line.difference,
             {applies ? line.resonance : line.notApplying, applies ? line.swr : std::string("-")}});
    }
    return rows;
}

} // namespace brevan::faces
