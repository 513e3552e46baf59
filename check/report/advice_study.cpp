// SPDX-License-Identifier: GPL-3.0-or-later
// What the report says of where the coils should go.
#include "report/advice.h"

#include "coil/physics.h"
#include "cut_list.h"
#include "general_format.h"
#include "range_limits.h"
#include "report/advice_parts.h"
#include "report/report_format.h"

#include <algorithm>
#include <cmath>

namespace brevan::check {

using namespace advice_parts;

namespace {

// Efficiencies closer than this are the same for a builder: the model's own spread is larger.
constexpr double kCloseEfficiency = 0.005;

constexpr double kCloseBand = 0.03; // relative

std::string metresText(const Lengths& L, double metres) {
    return L.m(metres, 2);
}

// "0.50 m further out than your 2.50 m", "0.50 m nearer the feed than your 2.50 m"
std::string fromUsers(const Lengths& L, double best, double users) {
    return metresText(L, std::abs(best - users)) +
           (best > users ? " further out than" : " nearer the feed than") + " your " +
           metresText(L, users);
}

std::string bandKhz(const SwrBand& band) {
    const auto wide = bandWidth(band);
    return wide ? number(*wide * 1000, 0) + " kHz" : std::string();
}

std::string efficiencySentence(const CoilPositionStudy& study, const Lengths& L) {
    const StudyPoint& best = study.points[*study.mostEfficient];
    const StudyPoint& users = study.points[study.users];
    const std::string percent = number(best.efficiency * 100, 1) + " %";
    if (*study.mostEfficient == study.users) {
        return "Of the positions studied, your B = " + metresText(L, users.coilDistance) +
               " gives the highest efficiency, " + percent + ".";
    }
    std::string line = "The highest efficiency, " + percent +
                       ", is with the coils at B = " + metresText(L, best.coilDistance) + ", " +
                       fromUsers(L, best.coilDistance, users.coilDistance);
    if (users.outcome != StudyOutcome::Found) {
        return line + ".";
    }
    const double gap = best.efficiency - users.efficiency;
    if (gap < kCloseEfficiency) {
        const double points = std::max(0.1, std::ceil(gap * 1000 - 1e-6) / 10);
        return line + "; yours comes within " + number(points, 1) + " percentage points of it.";
    }
    return line + ", where it is " + number(users.efficiency * 100, 1) + " %.";
}

std::string bandSentence(const CoilPositionStudy& study, const Lengths& L) {
    const StudyPoint& best = study.points[*study.widestBand];
    const StudyPoint& users = study.points[study.users];
    const auto bandOf = [&](const StudyPoint& p) {
        return study.widestOnFifty ? p.band : p.matchedBand;
    };
    const std::string what =
        study.widestOnFifty
            ? "The widest 2:1 band on 50 ohm, "
            : "No position gives a 2:1 band on 50 ohm without a match; with an ideal match the "
              "widest, ";
    if (*study.widestBand == study.users) {
        return what + bandKhz(bandOf(best)) +
               ", is with the coils where you have them, B = " + metresText(L, users.coilDistance) +
               ".";
    }
    std::string line = what + bandKhz(bandOf(best)) +
                       ", is with the coils at B = " + metresText(L, best.coilDistance) + ", " +
                       fromUsers(L, best.coilDistance, users.coilDistance);
    if (users.outcome != StudyOutcome::Found) {
        return line + ".";
    }
    const std::string yours = bandKhz(bandOf(users));
    const auto widest = bandWidth(bandOf(best));
    const auto own = bandWidth(bandOf(users));
    if (own && *own > *widest * (1.0 - kCloseBand)) {
        const double percent = std::max(1.0, std::ceil((1.0 - *own / *widest) * 100 - 1e-6));
        return line + "; yours, " + yours + ", comes within " + number(percent, 0) + " % of it.";
    }
    if (yours.empty()) {
        return line + (study.widestOnFifty ? ", where the SWR stays above 2."
                                           : ", where the band is not closed.");
    }
    return line + ", where it is " + yours + ".";
}

} // namespace

std::string studyOutcomeText(StudyOutcome outcome) {
    switch (outcome) {
    case StudyOutcome::Found: return "found";
    case StudyOutcome::NoResonance: return "no coil: no resonance within 30 % to start from";
    case StudyOutcome::NoCoilReaches: return "no coil here puts the antenna on F";
    case StudyOutcome::NotConverged: return "no coil: the search ran out of tries";
    }
    return {};
}

std::vector<std::string> studySentences(const CheckReport& report) {
    std::vector<std::string> out;
    if (!report.study || report.study->points.empty()) {
        return out;
    }
    const CoilPositionStudy& study = *report.study;
    const Lengths L(report.inputs.units);
    if (study.mostEfficient) {
        out.push_back(efficiencySentence(study, L));
    }
    if (study.widestBand) {
        out.push_back(bandSentence(study, L));
    }
    std::string missing;
    for (const StudyPoint& p : study.points) {
        if (p.outcome != StudyOutcome::Found) {
            missing += (missing.empty() ? "" : ", ") + metresText(L, p.coilDistance);
        }
    }
    if (!missing.empty()) {
        out.push_back("With the coils at B = " + missing +
                      " the study found no coil that puts "
                      "the antenna on " +
                      designText(report) + ".");
    }
    out.push_back("Each position has the coil that puts the antenna on " + designText(report) +
                  " at the length you gave, with the Q of its whole turns; the efficiency counts "
                  "the wire and the coils, not the ground.");
    return out;
}

} // namespace brevan::check
