// SPDX-License-Identifier: GPL-3.0-or-later
// The report's words, read from records made by hand: each row bends the typical design's
// record to one case and names what the verdict and the warnings must say, and must not.
#include "hand_made_report.h"
#include "report/advice.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

namespace brevan::check {
namespace {

using test::joined;
using test::notReached;
using test::typicalCheck;
using test::typicalReport;

struct Case {
    const char* name;
    std::function<void(CheckReport&)> bend;
    std::vector<const char*> verdict;  // each must appear in the verdict
    std::vector<const char*> warnings; // each must appear in the warnings
    std::vector<const char*> never;    // none may appear in either
};

void withCheck(CheckReport& report, AntennaCheck check) {
    applyAntennaCheck(report, std::move(check));
}

// The typical check with long coils: their share of the uncertainty, and the antenna with them
// wound as NEC-2's helices where given.
void withLongCoils(CheckReport& report, double spread, std::optional<HelixCheck> helix = {}) {
    AntennaCheck check = typicalCheck();
    check.coilModelSpread = spread;
    check.helix = helix;
    withCheck(report, check);
}

// Spaced long coils (six wire diameters apart) whose helices gave no figure, for `miss`.
void withSpacedLongCoilsUnmodelled(CheckReport& report, HelixMiss miss) {
    report.coil.coil.pitch = 6 * report.coil.coil.wireDiameter;
    withLongCoils(report, 0.03);
    report.antenna->helixMiss = miss;
}

CoilAlternative alternative(double former, int gauge, double wire, double pitch, int turns,
                            double microhenry, double srf, double q) {
    CoilAlternative c;
    c.coil = {static_cast<double>(turns), former + wire, pitch, wire};
    c.formerDiameter = former;
    c.gauge = gauge;
    c.windingLength = turns * pitch;
    c.apparentInductance = microhenry * 1e-6;
    c.selfResonance = srf;
    c.q = q;
    return c;
}

CoilAlternatives twoAlternatives() {
    CoilAlternatives out;
    out.coils = {alternative(0.032, 18, 0.00122, 0.00122, 14, 7.18, 21.3e6, 212.4),
                 alternative(0.040, 0, 0.000914, 0.001828, 11, 7.17, 18.6e6, 260)};
    return out;
}

const Case kCases[] = {
    {"reached_and_usable",
     [](CheckReport& r) { withCheck(r, typicalCheck()); },
     {"Wound as planned, 9 turns give 6.813 uH",
      "As built, the antenna resonates at 7.372 MHz, 4.6 % above the design frequency of 7.05 MHz.",
      "7.05 MHz lies outside its 2:1 SWR band (7.265 to 7.483 MHz); the SWR there is 6.8.",
      "Add 38 cm of wire to each tip (total length 15.76 m), leaving 10 cm spare at each tip",
      "Trimmed, it resonates at 7.047 MHz with an SWR of 1.0 at 7.05 MHz.",
      "Or keep the length and give each coil 8.27 uH at 7.05 MHz: 10 turns come closest "
      "(8.11 uH) and resonate at 7.083 MHz."},
     {"will not be usable at 7.05 MHz (SWR 6.8) until it is trimmed."},
     {"±", "ran out of tries", "matching network"}},
    {"coils_in_the_way",
     // Each tip cut back to a joint beyond its coil: 4.496 m of outer wire less 4.476 m.
     [](CheckReport& r) { withCheck(r, notReached(TrimOutcome::CoilsInTheWay, 6.048, 6.9)); },
     {"No trim of the tips reaches 7.05 MHz: even with each tip cut back to 2 cm beyond its "
      "coil, as short as a joint allows (total length 6.05 m), it resonates at 6.900 MHz."},
     {"(SWR 6.8), and no trim of the tips helps."},
     {"cm of wire", "Trimmed,", "until it is trimmed"}},
    {"coils_in_the_way_yet_past_f_at_the_limit",
     // Analysed alone, the shortest antenna resonates above F: F lies between, where the
     // search found none, and the verdict must not say "it resonates at 7.100 MHz" as if that
     // were below it.
     [](CheckReport& r) { withCheck(r, notReached(TrimOutcome::CoilsInTheWay, 6.048, 7.1)); },
     {"No trim of the tips reaches 7.05 MHz dependably: with each tip cut back to 2 cm beyond "
      "its coil, as short as a joint allows (total length 6.05 m) it resonates at 7.100 MHz, "
      "above 7.05 MHz, yet the model finds no length between",
      "Move the coils in"},
     {},
     {"No trim of the tips reaches 7.05 MHz: even"}},
    {"too_far_yet_past_f_at_the_limit",
     [](CheckReport& r) { withCheck(r, notReached(TrimOutcome::TooFar, 33.0, 6.9)); },
     {"No trim of the tips reaches 7.05 MHz dependably: at tips twice as long (total length "
      "33.00 m) it resonates at 6.900 MHz, below 7.05 MHz",
      "trim them on the analyser"},
     {},
     {"more than twice as long as designed, and at that"}},
    {"coils_in_the_way_without_resonance",
     [](CheckReport& r) {
         withCheck(r, notReached(TrimOutcome::CoilsInTheWay, 6.2, std::nullopt));
     },
     // Stopped 10 cm beyond the coils, where the model could follow the tips no further in.
     {"even with each tip cut back to 10 cm beyond its coil, as short as the model can follow "
      "it (total length 6.20 m), it has no resonance within 30 % of 7.05 MHz."},
     {},
     {"Trimmed,"}},
    {"too_far",
     [](CheckReport& r) { withCheck(r, notReached(TrimOutcome::TooFar, 33.0, 7.6)); },
     {"No trim of the tips reaches 7.05 MHz: it would take tips more than twice as long as "
      "designed, and at that (total length 33.00 m) it resonates at 7.600 MHz."},
     {},
     {"even cut back", "Add ", "Trimmed,"}},
    {"no_resonance_at_all",
     [](CheckReport& r) {
         AntennaCheck check = notReached(TrimOutcome::NoResonance, 15, std::nullopt);
         check.built = test::result(15, std::nullopt, 0, 625, std::nullopt, std::nullopt);
         withCheck(r, check);
     },
     {"As built, the antenna has no resonance within 30 % of 7.05 MHz: the SWR at 7.05 MHz is "
      "625, and it cannot be used as it is.",
      "No trim is given: as built, the antenna has no resonance within 30 % of 7.05 MHz"},
     {"As built, the antenna has no resonance within 30 % of 7.05 MHz (SWR 625 at 7.05 MHz)"},
     {"Trimmed,", "lies inside", "lies outside"}},
    {"no_resonance_yet_a_coil_that_keeps_the_length",
     [](CheckReport& r) {
         AntennaCheck check = notReached(TrimOutcome::NoResonance, 15, std::nullopt);
         check.built = test::result(15, std::nullopt, 0, 625, std::nullopt, std::nullopt);
         check.neededCoil = typicalCheck().neededCoil;
         withCheck(r, check);
     },
     {"No trim is given", "Keep the length and give each coil 8.27 uH at 7.05 MHz: 10 turns come "
                          "closest"},
     {},
     {"Or keep the length"}},
    {"coil_resonates_with_alternatives",
     [](CheckReport& r) {
         r.losses.selfResonance = 6.2e6;
         r.alternatives = twoAlternatives();
         withCheck(r, notReached(TrimOutcome::CoilResonates, 15, std::nullopt));
     },
     {"No trim helps: the coil self-resonates at 6.20 MHz, at or below 7.05 MHz, and acts as a "
      "capacitor: the coil must change. Coils that would do: 14 turns of SWG 18 on a 32 mm "
      "former, close-wound, 17.1 mm long (7.18 uH at F, self-resonance 21.3 MHz, Q 212); or 11 "
      "turns of your wire on a 40 mm former, at a 1.83 mm pitch, 20.1 mm long (7.17 uH at F, "
      "self-resonance 18.6 MHz, Q 260)."},
     {"The coil resonates by itself at 6.20 MHz, at or below the design frequency"},
     {"larger former", "fewer turns"}},
    {"coil_resonates_with_a_long_alternative_last",
     // A long coil is less sure in the model: marked where a short one stands beside it, and
     // said of all at once where every one is long.
     [](CheckReport& r) {
         r.losses.selfResonance = 6.2e6;
         r.alternatives = twoAlternatives();
         r.alternatives.coils[1].isLong = true;
         withCheck(r, notReached(TrimOutcome::CoilResonates, 15, std::nullopt));
     },
     {"Q 212); or 11 turns of your wire on a 40 mm former, at a 1.83 mm pitch, 20.1 mm long "
      "(7.17 uH at F, self-resonance 18.6 MHz, Q 260; a long coil). A long coil's current falls "
      "along it: the model is less sure of it."},
     {},
     {"Each is a long coil"}},
    {"coil_resonates_with_only_long_alternatives",
     [](CheckReport& r) {
         r.losses.selfResonance = 6.2e6;
         r.alternatives = twoAlternatives();
         for (CoilAlternative& c : r.alternatives.coils) {
             c.isLong = true;
         }
         withCheck(r, notReached(TrimOutcome::CoilResonates, 15, std::nullopt));
     },
     {"Q 212); or 11 turns of your wire on a 40 mm former, at a 1.83 mm pitch, 20.1 mm long "
      "(7.17 uH at F, self-resonance 18.6 MHz, Q 260). Each is a long coil, whose current falls "
      "along it: the model is less sure of it."},
     {},
     {"; a long coil)"}},
    {"coil_resonates_before_alternatives_are_known",
     [](CheckReport& r) {
         r.losses.selfResonance = 6.2e6;
         withCheck(r, notReached(TrimOutcome::CoilResonates, 15, std::nullopt));
     },
     {"acts as a capacitor: the coil must change.\n"},
     {"so the coil must change."},
     {"larger former", "fewer turns", "would do"}},
    {"coil_resonates_without_the_antenna",
     [](CheckReport& r) {
         r.losses.selfResonance = 6.2e6;
         r.alternatives.coils = {twoAlternatives().coils[0]};
     },
     {"A coil that would do: 14 turns of SWG 18 on a 32 mm former"},
     {"acts as a capacitor"},
     {"larger former"}},
    {"no_coil_clears_three_times_f",
     [](CheckReport& r) {
         r.losses.selfResonance = 1.5e6;
         r.alternatives.highestResonance =
             alternative(0.11, 10, 0.00325, 0.00325, 40, 180, 3.9e6, 400);
         withCheck(r, notReached(TrimOutcome::CoilResonates, 15, std::nullopt));
     },
     {"the coil must change. No coil of the usual formers and wires with this inductance "
      "self-resonates at three times F or more; the highest, 40 turns of SWG 10 on a 110 mm "
      "former, close-wound, 130.0 mm long, self-resonates at 3.90 MHz. Coils nearer the feed "
      "point, or a longer antenna, need less inductance."},
     {},
     {"would do:"}},
    {"trim_not_converged",
     [](CheckReport& r) { withCheck(r, notReached(TrimOutcome::NotConverged, 15.5, 7.2)); },
     {"The search for the trim ran out of tries before the resonance reached 7.05 MHz: at its "
      "last try (total length 15.50 m) it resonates at 7.200 MHz. Cut the tips as designed"},
     {},
     {"Trimmed,", "Add ", "with an SWR of"}},
    {"trimmed_but_mismatched",
     [](CheckReport& r) {
         AntennaCheck check = typicalCheck();
         check.trimmed->resonanceResistance = 12;
         check.trimmed->designSwr = 4.17;
         check.trimmed->band = {};
         withCheck(r, check);
     },
     {"Trimmed, it resonates at 7.047 MHz, but its 12.0 ohm at resonance keeps the SWR at 4.2 "
      "on 50 ohm: it needs a matching network or transformer."},
     {"Trimmed to resonance, the antenna still shows an SWR of 4.2 at 7.05 MHz",
      "(SWR 6.8) until it is trimmed and matched."},
     {"with an SWR of"}},
    {"built_mismatched_has_no_band",
     [](CheckReport& r) {
         AntennaCheck check = typicalCheck();
         check.built.resonanceResistance = 12;
         check.built.band = {};
         withCheck(r, check);
     },
     {"Its 12.0 ohm at resonance keeps the SWR at 4.2 on 50 ohm, so it has no 2:1 SWR band; "
      "the SWR at 7.05 MHz is 6.8."},
     {},
     {"none within 30 %", "does not fall to 2"}},
    {"uncertain_model",
     [](CheckReport& r) {
         AntennaCheck check = typicalCheck();
         check.built.resonanceUncertainty = 0.003;
         check.trimmed->resonanceUncertainty = 0.0004; // too small to show
         withCheck(r, check);
     },
     {"resonates at 7.372 MHz ± 0.3 %, 4.6 % above", "Trimmed, it resonates at 7.047 MHz with"},
     {"The model's resonance is uncertain by ± 0.3 %: NEC-2's answer for a wire with lumped "
      "coils still moves"},
     {}},
    {"uncertain_with_coils_near_the_tips",
     [](CheckReport& r) {
         AntennaCheck check = typicalCheck();
         check.built.resonanceUncertainty = 0.012;
         withCheck(r, check);
         r.cut.outerWire = 1.5; // of a 7.5 m half
     },
     {"resonates at 7.372 MHz ± 1.2 %"},
     {"uncertain by ± 1.2 %: with the coils this close to the tips, NEC-2's answer still moves"},
     {}},
    {"search_ran_out",
     [](CheckReport& r) {
         AntennaCheck check = typicalCheck();
         check.built.converged = false;
         check.neededCoil.outcome = CoilOutcome::NotConverged;
         withCheck(r, check);
     },
     {"The search for a coil that keeps the designed length ran out of tries"},
     {"A search of the model ran out of tries"},
     {"Or keep the length"}},
    {"the_closest_turns_are_those_wound",
     [](CheckReport& r) {
         AntennaCheck check = typicalCheck();
         check.neededCoil.turns = 9; // the typical coil's own
         withCheck(r, check);
     },
     {"at 7.05 MHz: 9 turns, as wound, come closest ("},
     {},
     {}},
    {"no_coil_reaches",
     [](CheckReport& r) {
         AntennaCheck check = typicalCheck();
         check.neededCoil.outcome = CoilOutcome::NoCoilReaches;
         withCheck(r, check);
     },
     {"No loading coil can bring it to 7.05 MHz at the designed length, whatever its "
      "inductance."},
     {},
     {"Or keep the length"}},
    {"radiates_well_as_trimmed",
     [](CheckReport& r) {
         AntennaCheck check = typicalCheck();
         check.trimmed->designEfficiency = 0.93;
         check.radiated = radiatedPower(*check.trimmed, true, 0.98);
         withCheck(r, check);
     },
     {"Of the power at the feed point, the antenna as trimmed radiates 93 % at 7.05 MHz, 0.2 dB "
      "below a full-size dipole of the same wire hung the same way (98 %)"},
     {},
     {"never reaches the sky", "Coils of higher Q"}},
    {"lossy_coils_lead_the_verdict",
     [](CheckReport& r) {
         AntennaCheck check = typicalCheck();
         check.built.designEfficiency = 0.95; // as built: no comfort for the antenna that hangs
         check.trimmed->designEfficiency = 0.08;
         check.radiated = radiatedPower(*check.trimmed, true, 0.98);
         withCheck(r, check);
     },
     {"Most of the power never reaches the sky: the antenna as trimmed radiates 8 % at 7.05 MHz, "
      "10.9 dB below a full-size dipole",
      "Coils of higher Q help most"},
     {},
     {"radiates 95 %"}},
    {"lossy_far_from_resonance_the_coils_change_first",
     [](CheckReport& r) {
         AntennaCheck check = notReached(TrimOutcome::NoResonance, 15, std::nullopt);
         check.built = test::result(15, std::nullopt, 0, 625, std::nullopt, std::nullopt);
         check.built.designEfficiency = 0.01;
         check.neededCoil = typicalCheck().neededCoil;
         check.radiated = radiatedPower(check.built, false, 0.98);
         withCheck(r, check);
     },
     {"Most of the power never reaches the sky: the antenna as built radiates 1 % at 7.05 MHz",
      "As built it has no resonance near 7.05 MHz: the coils that keep the length, below, come "
      "before any other change.",
      "Keep the length and give each coil 8.27 uH"},
     {},
     {"Coils of higher Q help most"}},
    {"no_trim_speaks_of_the_built_antenna",
     [](CheckReport& r) {
         AntennaCheck check = typicalCheck();
         check.built.designEfficiency = 0.3;
         check.radiated = radiatedPower(check.built, false, std::nullopt);
         withCheck(r, check);
     },
     {"the antenna as built radiates 30 % at 7.05 MHz; the rest heats"},
     {},
     {"full-size"}},
    {"one_turn",
     [](CheckReport& r) { r.design.turns = r.coil.coil.turns = 1; },
     {"Wound as planned, 1 turn gives"},
     {},
     {"1 turn give ", "1 turns"}},
    {"one_turn_comes_closest",
     [](CheckReport& r) {
         r.design.turns = r.coil.coil.turns = 2;
         r.coil.closestTurns = 1;
     },
     {"Wound as planned, 2 turns give", "1 turn comes closest"},
     {},
     {"1 turn come ", "1 turns"}},
    {"turns_given",
     [](CheckReport& r) { r.inputs.turns = r.coil.coil.turns = 42; },
     {"Wound with 42 turns, each coil is 6.813 uH, "},
     {},
     {"turns give", "as planned"}},
    {"turns_given_as_step_one",
     [](CheckReport& r) {
         r.inputs.turns = r.coil.coil.turns = 42;
         r.coil.inductance = r.design.inductanceUh * 1e-6 * (1.0 - 4e-4);
     },
     {"uH, within 0.05 % of step 1's"},
     {},
     {"0.0 %"}},
    {"one_turn_given",
     [](CheckReport& r) { r.inputs.turns = r.coil.coil.turns = 1; },
     {"Wound with 1 turn, each coil is "},
     {},
     {"1 turns", "gives"}},
    // Long coils modelled as NEC-2's helices too: where that antenna resonates, the wire each
    // tip wants beyond the trim, and the spare that covers it.
    {"long_coils_as_helices",
     [](CheckReport& r) {
         withLongCoils(r, 0.001, HelixCheck{42, 7.391, 0.0017, 7.066, 0.0018, 0.38 + 0.25, false});
     },
     {"leaving 25 cm spare at each tip"},
     {"Modelled as helices in NEC-2 (42 turns each), which carries the fall of the current along "
      "each coil, the antenna resonates at 7.391 MHz ± 0.2 % as built and at 7.066 MHz ± 0.2 % "
      "trimmed: for 7.05 MHz each tip wants 25 cm more wire than the trim gives."},
     {"is not modelled"}},
    {"long_coils_as_helices_trimmed_alike",
     [](CheckReport& r) {
         withLongCoils(r, 0.001, HelixCheck{42, 7.391, 0.0017, 7.052, 0.0018, 0.38 - 0.01, false});
     },
     {"leaving 10 cm spare at each tip"},
     {"each tip wants 1 cm less wire than the trim gives."},
     {}},
    {"long_coils_as_helices_cut_into_the_coils",
     [](CheckReport& r) {
         withLongCoils(r, 0.001, HelixCheck{42, 6.1, 0.0017, 5.9, 0.0018, -4.0, true});
     },
     {"leaving 10 cm spare at each tip"},
     {"5.900 MHz ± 0.2 % trimmed; no trim of the tips brings it to 7.05 MHz: it would cut them "
      "back to within a joint of the coils."},
     {"wire than the trim gives"}},
    // The long coils' share of the uncertainty: the bound from the rise, or what the helices
    // showed where they were solved.
    {"long_coils_share_from_the_rise",
     [](CheckReport& r) {
         withLongCoils(r, 0.03);
         r.antenna->built.resonanceUncertainty += 0.03;
     },
     {},
     {"± 3.0 % of it is the long coils', whose current falls along them: spaced coils wound as "
      "helices in NEC-2 resonated higher, by up to a third of what the self-capacitance adds to "
      "their reactance; the rest is that NEC-2's answer"},
     {"wound as NEC-2's helices (below)"}},
    {"long_coils_share_from_the_helices",
     [](CheckReport& r) {
         withLongCoils(r, 0.02, HelixCheck{42, 7.391, 0.0017, 7.066, 0.0018, 0.38 + 0.25, false});
         r.antenna->spreadFromHelix = true;
         r.antenna->built.resonanceUncertainty += 0.02;
     },
     {},
     {"± 2.0 % of it is the long coils', whose current falls along them: wound as NEC-2's "
      "helices (below), they move the antenna's resonance that far from the lumped coils', with "
      "the helices' own uncertainty; the rest is that NEC-2's answer"},
     {"by up to a third"}},
    {"long_coils_share_kept_beside_helices_without_a_trimmed_figure",
     [](CheckReport& r) {
         withLongCoils(r, 0.03, HelixCheck{42, 7.391, 0.0017, std::nullopt, 0.0, 0.38, false});
         r.antenna->built.resonanceUncertainty += 0.03;
     },
     {},
     {"± 3.0 % of it is the long coils', whose current falls along them: spaced coils wound as "
      "helices in NEC-2 resonated higher"},
     {"wound as NEC-2's helices (below)"}},
    // Long coils not so modelled say why.
    {"long_coils_close_wound",
     [](CheckReport& r) { withLongCoils(r, 0.03); },
     {},
     {"The current's fall along the coils is not modelled: NEC-2's thin wires hold a helix only "
      "with its turns 5 wire diameters apart or more, and these are 1.0."},
     {"Modelled as helices"}},
    {"long_coils_measured_over_ground",
     [](CheckReport& r) {
         r.coil.coil.pitch = 6 * r.coil.coil.wireDiameter;
         r.inputs.ground = {GroundKind::Average, 10};
         r.measuredCoil = MeasuredCoil{};
         withLongCoils(r, 0.03);
     },
     {},
     {"The current's fall along the coils is not modelled: the coil is given by its "
      "measurements, not by its winding."},
     {"Modelled as helices"}},
    {"long_coils_not_modelled",
     [](CheckReport& r) { withSpacedLongCoilsUnmodelled(r, HelixMiss::None); },
     {},
     {"The current's fall along the coils is not modelled: the antenna with its coils wound as "
      "NEC-2's helices could not be modelled."},
     {"Modelled as helices"}},
    {"long_coils_helices_do_not_fit",
     [](CheckReport& r) { withSpacedLongCoilsUnmodelled(r, HelixMiss::DoesNotFit); },
     {},
     {"The current's fall along the coils is not modelled: wound as NEC-2's helices, the coils "
      "would reach the feed's own segment or the tips."},
     {"Modelled as helices", "could not be modelled"}},
    {"long_coils_no_resonance_as_built",
     [](CheckReport& r) { withSpacedLongCoilsUnmodelled(r, HelixMiss::NoResonance); },
     {},
     {"The current's fall along the coils is not modelled: the antenna as built has no "
      "resonance within 30 % of 7.05 MHz, so that of its helices was not sought."},
     {"Modelled as helices", "could not be modelled"}},
    {"long_coils_helix_resonance_not_found",
     [](CheckReport& r) { withSpacedLongCoilsUnmodelled(r, HelixMiss::NotFound); },
     {},
     {"The current's fall along the coils is not modelled: the antenna with its coils wound as "
      "NEC-2's helices has no resonance within 30 % of 7.05 MHz that its search could settle."},
     {"Modelled as helices", "could not be modelled"}},
};

TEST(AdviceRadiated, AnAntennaThatHeatsMostOfThePowerLeadsTheVerdictWithIt) {
    for (const double share : {0.49, 0.5}) {
        SCOPED_TRACE(share);
        CheckReport report = typicalReport();
        AntennaCheck check = typicalCheck();
        check.trimmed->designEfficiency = share;
        check.radiated = radiatedPower(*check.trimmed, true, 0.98);
        withCheck(report, check);
        const std::vector<std::string> verdict = verdictSentences(report);
        const bool leads = verdict.front().rfind("Most of the power never reaches the sky", 0) == 0;
        EXPECT_EQ(leads, share < 0.5) << verdict.front();
    }
}

class Advice : public testing::TestWithParam<Case> {};

TEST_P(Advice, SaysWhatTheRecordMeans) {
    const Case& c = GetParam();
    CheckReport report = typicalReport();
    c.bend(report);
    const std::string verdict = joined(verdictSentences(report));
    const std::string warnings = joined(warningSentences(report));
    for (const char* words : c.verdict) {
        EXPECT_NE(verdict.find(words), std::string::npos) << words << "\n--- verdict:\n" << verdict;
    }
    for (const char* words : c.warnings) {
        EXPECT_NE(warnings.find(words), std::string::npos) << words << "\n--- warnings:\n"
                                                           << warnings;
    }
    for (const char* words : c.never) {
        EXPECT_EQ((verdict + warnings).find(words), std::string::npos)
            << words << "\n--- verdict:\n"
            << verdict << "--- warnings:\n"
            << warnings;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Advice, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& row) {
                             return std::string(row.param.name);
                         });

// Only a trim that reaches F is cut; any other leaves the tips as designed.
TEST(Advice, OnlyATrimThatReachesFGoesIntoTheCutList) {
    const CheckReport plain = typicalReport();
    for (const TrimOutcome outcome :
         {TrimOutcome::CoilsInTheWay, TrimOutcome::TooFar, TrimOutcome::NoResonance,
          TrimOutcome::CoilResonates, TrimOutcome::NotConverged}) {
        CheckReport report = plain;
        applyAntennaCheck(report, notReached(outcome, 6.2, 6.9));
        EXPECT_FALSE(report.cut.tipChange);
        EXPECT_EQ(report.cut.outerWireToCut, plain.cut.outerWireToCut);
        EXPECT_EQ(report.cut.antennaWireTotal, plain.cut.antennaWireTotal);
    }
    CheckReport report = plain;
    applyAntennaCheck(report, typicalCheck());
    ASSERT_TRUE(report.cut.tipChange);
    EXPECT_EQ(*report.cut.tipChange, 0.38);
    EXPECT_NEAR(report.cut.antennaWireTotal - plain.cut.antennaWireTotal, 2 * 0.38 + 0.02, 1e-9);
}

// B = 0 is the documented way to put both coils at the feed point: nothing to warn about.
TEST(Advice, CoilsAtTheFeedPointAreNoFault) {
    const CheckReport report = typicalReport({{"frequency", "1.862"},
                                              {"length", "31.6"},
                                              {"distance", "0"},
                                              {"wire", "28"},
                                              {"former", "26"},
                                              {"coil-length", "46.3"},
                                              {"coil-wire", "16"}});
    EXPECT_TRUE(report.cut.coilsAtFeed);
    EXPECT_EQ(report.cut.innerWire, 0.0);
    EXPECT_NEAR(report.cut.outerWire + sheetLength(report.coil.coil), 31.6 / 2, 0.0005);
    const std::string warnings = joined(warningSentences(report));
    EXPECT_EQ(warnings.find("Make B larger"), std::string::npos) << warnings;
    EXPECT_EQ(warnings.find("reaches the centre"), std::string::npos) << warnings;
}

// The hang in words: over ground the heights, in free space the drop below the apex; as built and
// trimmed; nothing for the straight wire or before the full-wave check.
TEST(Advice, TheInvertedVIsDescribedAsItHangs) {
    struct Row {
        const char* name;
        std::map<std::string, std::string> options;
        bool checked;
        const char* words; // empty: no sentence at all
    };
    const Row rows[] = {
        {"straight", {}, true, ""},
        {"before the check", {{"shape", "inverted-v"}, {"leg-angle", "120"}}, false, ""},
        {"over ground",
         {{"shape", "inverted-v"}, {"height", "10"}, {"ends-height", "6"}},
         true,
         "Hung as an inverted V from its apex 10.00 m above the ground; as built 114.4 deg between "
         "the legs, ends 6.00 m above the ground, 12.65 m apart; trimmed 120.0 deg between the "
         "legs, ends 6.00 m above the ground, 13.30 m apart."},
        {"free space",
         {{"shape", "inverted-v"}, {"leg-angle", "120"}},
         true,
         "Hung as an inverted V from its apex in free space; as built 114.4 deg between the legs, "
         "ends 4.00 m below the apex, 12.65 m apart; trimmed 120.0 deg"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CheckReport report = typicalReport(row.options);
        if (row.checked) {
            AntennaCheck check = typicalCheck();
            const bool overGround = row.options.count("height") > 0;
            const double apex = overGround ? 10.0 : 0.0;
            check.built.shape = {0.1, 0.0, apex, apex - 4.0, 12.65, 114.4};
            check.trimmed->shape = {0.1, 0.0, apex, apex - 4.0, 13.3, 120.0};
            applyAntennaCheck(report, check);
        }
        const std::string hang = hangSentence(report);
        EXPECT_EQ(hang.rfind(row.words, 0), 0U) << hang;
        EXPECT_EQ(hang.empty(), std::string(row.words).empty()) << hang;
        EXPECT_EQ(alongWireNote(report).empty(), row.options.empty());
    }
}

} // namespace
} // namespace brevan::check
