// The reported resonance against NEC-2's answer for the same model at four times the segments.
// Designs from 160 m to 10 m with the coils near the feed, mid-way and near the tips, an inverted
// V and insulated wire; each goes through the whole check, and the reference is worked out
// here, independently, from the engine's answers at twice and four times the check's segment
// counts.

#include "check_inputs.h"
#include "check_report.h"
#include "nec/engine/nec2c_engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace brevan::check {
namespace {

struct Design {
    const char* name;
    double mhz, length, distance;
    int wire;
    double former, coilLength;
    int coilWire;
    double legAngle = 180;   // degrees between the legs; 180: straight
    double insulationMm = 0; // PVC sleeve; 0: bare wire
};

const Engine& engine() {
    static const Engine e = nec2cEngine({});
    return e;
}

CheckReport checkedReport(const Design& d) {
    CheckInputs in;
    in.frequencyMHz = d.mhz;
    in.lengthM = d.length;
    in.distanceM = d.distance;
    in.wireSwg = d.wire;
    in.formerMm = d.former;
    in.coilLengthMm = d.coilLength;
    in.coilWireSwg = d.coilWire;
    if (d.legAngle < 180) {
        in.hang = {HangShape::InvertedV, d.legAngle, std::nullopt};
    }
    if (d.insulationMm > 0) {
        in.insulationThicknessMm = d.insulationMm;
        in.insulationPermittivity = kPvcPermittivity;
    }
    auto built = buildCheckReport(in);
    EXPECT_TRUE(std::holds_alternative<CheckReport>(built));
    CheckReport report = std::get<CheckReport>(built);
    const auto failure = addAntennaCheck(report, engine(), {});
    EXPECT_FALSE(failure) << (failure ? failure->message : "");
    return report;
}

// The rising zero of the reactance near `guessMHz` for one segmentation: a sweep of +-4 %, then
// two rounds of narrower sweeps around the zero, linear between the last two samples.
std::optional<double> resonance(const AntennaModel& model, const Segmentation& seg,
                                const CoilImpedance& coil, double guessMHz) {
    double low = guessMHz * 0.96;
    double high = guessMHz * 1.04;
    std::optional<double> zero;
    for (int round = 0; round < 3; ++round) {
        std::vector<DeckFrequency> frequencies;
        for (int i = 0; i <= 8; ++i) {
            const double f = low + (high - low) * i / 8;
            frequencies.push_back({f, coil(f * 1e6)});
        }
        const auto runs = engine()({writeDeck(model, seg, frequencies, "reference")});
        if (runs.size() != 1 || runs[0].failure != EngineFailure::None) {
            return std::nullopt;
        }
        const auto& p = runs[0].points;
        zero.reset();
        for (std::size_t i = 0; i + 1 < p.size(); ++i) {
            const double x0 = p[i].impedance.imag();
            const double x1 = p[i + 1].impedance.imag();
            if (x0 < 0 && x1 >= 0) {
                const double f0 = frequencies[i].frequencyMHz;
                const double f1 = frequencies[i + 1].frequencyMHz;
                zero = f0 - x0 * (f1 - f0) / (x1 - x0);
                const double w = f1 - f0;
                low = *zero - w / 2;
                high = *zero + w / 2;
                break;
            }
        }
        if (!zero) {
            return std::nullopt;
        }
    }
    return zero;
}

TEST(Convergence, ReportedResonanceIsNecTwosAnswerAtFourTimesTheSegments) {
    const std::vector<Design> designs = {
        {"160 m, coils mid-way", 1.85, 40, 10, 14, 75, 100, 18},
        {"80 m, coils mid-way", 3.6, 25, 6, 16, 60, 80, 18},
        {"40 m, the typical design", 7.05, 15, 3, 16, 50, 40, 20},
        {"40 m, coils near the feed", 7.05, 15, 0.3, 16, 50, 40, 20},
        {"20 m, coils near the tips", 14.2, 7, 2.6, 16, 40, 40, 18},
        {"10 m, coils mid-way", 28.5, 3.5, 0.8, 16, 25, 30, 20},
        {"40 m, inverted V at 120 deg", 7.05, 15, 3, 16, 50, 40, 20, 120},
        {"40 m, PVC-insulated wire", 7.05, 15, 3, 16, 50, 40, 20, 180, 0.8},
    };
    for (const Design& d : designs) {
        SCOPED_TRACE(d.name);
        const CheckReport report = checkedReport(d);
        ASSERT_TRUE(report.antenna);
        const AntennaResult& built = report.antenna->built;
        ASSERT_TRUE(built.resonanceMHz);

        AntennaCheckInput input;
        input.length = d.length;
        input.coilDistance = d.distance;
        input.wireDiameter = report.design.wireDiameterInch * 0.0254;
        input.hang = report.inputs.hang;
        input.insulation = wireInsulation(report.inputs);
        const AntennaModel model = antennaModel(input, d.length, {});
        const double top = d.mhz * (1 + kResonanceWindow);
        const auto base = std::get<Segmentation>(segmentAntenna(model, top));
        const CoilImpedance coil = coilOfTurns(report, static_cast<int>(report.design.turns));
        const auto twice = std::get<Segmentation>(segmentWith(model, base.counts, 2, top));
        const auto four = std::get<Segmentation>(segmentWith(model, base.counts, 4, top));
        const auto r2 = resonance(model, twice, coil, *built.resonanceMHz);
        const auto r4 = resonance(model, four, coil, *built.resonanceMHz);
        ASSERT_TRUE(r2 && r4);
        // NEC-2's resonance approaches its limit as segments^-0.75.
        const double limit = *r4 + (*r4 - *r2) / (std::pow(2.0, 0.75) - 1.0);
        const double allowed = std::max(0.0005, 2.0 * built.resonanceUncertainty);
        std::printf("%-28s %3d/%3d segments: reported %.5f MHz (+-%.3f %%), %d segments %.5f, "
                    "extrapolated %.5f, off %+.3f %%\n",
                    d.name, report.antenna->segments, report.antenna->fineSegments,
                    *built.resonanceMHz, built.resonanceUncertainty * 100, four.totalSegments, *r4,
                    limit, (*built.resonanceMHz / limit - 1) * 100);
        EXPECT_NEAR(*built.resonanceMHz / limit, 1.0, allowed)
            << "reported " << *built.resonanceMHz << " MHz, at four times the segments " << *r4
            << " MHz, extrapolated " << limit << " MHz";
        // Without the extrapolation the working segmentation alone would be further off.
        EXPECT_GT(std::abs(*r2 / limit - 1.0), std::abs(*built.resonanceMHz / limit - 1.0));
    }
}

} // namespace
} // namespace brevan::check
