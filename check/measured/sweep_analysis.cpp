// SPDX-License-Identifier: GPL-3.0-or-later
#include "measured/sweep_analysis.h"

#include "analysis/bisection.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace brevan::check {

namespace {

constexpr int kBisections = 80;
constexpr int kGoldenSteps = 80;

using Curve = std::function<double(double)>; // MHz -> SWR

// The root of g between low and high, where g changes sign.
double halve(const Curve& g, double low, double high) {
    return bisect(g, low, high, 1e-12, kBisections);
}

// The minimum of a curve with one dip between low and high.
double goldenMinimum(const Curve& c, double low, double high) {
    const double r = 0.5 * (std::sqrt(5.0) - 1.0);
    double a = high - r * (high - low);
    double b = low + r * (high - low);
    double ca = c(a);
    double cb = c(b);
    for (int i = 0; i < kGoldenSteps && high - low > 1e-12 * std::abs(high); ++i) {
        if (ca < cb) {
            high = b;
            b = a;
            cb = ca;
            a = high - r * (high - low);
            ca = c(a);
        } else {
            low = a;
            a = b;
            ca = cb;
            b = low + r * (high - low);
            cb = c(b);
        }
    }
    return 0.5 * (low + high);
}

// The SWR between points: through the interpolated impedance when there is one, else straight
// between the SWR points (the SWR has no smooth shape to fit near a good match: it is a V).
Curve swrBetweenPoints(const MeasuredSweep& sweep, const std::vector<SwrPoint>& points,
                       double systemOhm) {
    if (sweep.kind == SweepKind::Impedance) {
        return [&sweep, systemOhm](double f) {
            return swr(impedanceAt(sweep.impedance, f), systemOhm);
        };
    }
    return [&points](double f) {
        const auto above =
            std::upper_bound(points.begin(), points.end(), f,
                             [](double x, const SwrPoint& p) { return x < p.frequencyMHz; });
        const std::size_t j = std::clamp<std::size_t>(
            static_cast<std::size_t>(above - points.begin()), 1, points.size() - 1);
        const SwrPoint& a = points[j - 1];
        const SwrPoint& b = points[j];
        const double t = (f - a.frequencyMHz) / (b.frequencyMHz - a.frequencyMHz);
        return a.swr + t * (b.swr - a.swr);
    };
}

std::size_t intervalOf(const std::vector<SwrPoint>& points, double f) {
    const auto above =
        std::upper_bound(points.begin(), points.end(), f,
                         [](double x, const SwrPoint& p) { return x < p.frequencyMHz; });
    const auto index = static_cast<std::size_t>(above - points.begin());
    return std::clamp<std::size_t>(index == 0 ? 0 : index - 1, 0, points.size() - 2);
}

struct Minimum {
    double frequencyMHz = 0.0;
    double swr = 0.0;
    bool atEnd = false;
};

Minimum swrMinimum(const MeasuredSweep& sweep, const std::vector<SwrPoint>& points,
                   const Curve& swrAt) {
    const auto lowest =
        std::min_element(points.begin(), points.end(),
                         [](const SwrPoint& a, const SwrPoint& b) { return a.swr < b.swr; });
    const auto i = static_cast<std::size_t>(lowest - points.begin());
    if (i == 0 || i + 1 == points.size()) {
        return Minimum{lowest->frequencyMHz, lowest->swr, true};
    }
    const SwrPoint& a = points[i - 1];
    const SwrPoint& b = points[i];
    const SwrPoint& c = points[i + 1];
    if (sweep.kind == SweepKind::Impedance) {
        const double f = goldenMinimum(swrAt, a.frequencyMHz, c.frequencyMHz);
        return Minimum{f, std::min(swrAt(f), b.swr), false};
    }
    // The vertex of the parabola through the lowest point and its neighbours.
    const double ab = (b.swr - a.swr) / (b.frequencyMHz - a.frequencyMHz);
    const double bc = (c.swr - b.swr) / (c.frequencyMHz - b.frequencyMHz);
    const double curvature = (bc - ab) / (c.frequencyMHz - a.frequencyMHz);
    if (!(curvature > 0.0)) {
        return Minimum{b.frequencyMHz, b.swr, false};
    }
    const double f = std::clamp(0.5 * (a.frequencyMHz + b.frequencyMHz) - ab / (2.0 * curvature),
                                a.frequencyMHz, c.frequencyMHz);
    const double value =
        b.swr + ab * (f - b.frequencyMHz) + curvature * (f - a.frequencyMHz) * (f - b.frequencyMHz);
    return Minimum{f, std::max(1.0, std::min(value, b.swr)), false};
}

// The 2:1 edge on one side of `centre`: the first point going outward where the SWR reaches 2,
// and the crossing inside the interval before it.
std::optional<double> bandEdge(const std::vector<SwrPoint>& points, const Curve& swrAt,
                               double centre, int side) {
    const std::size_t j = intervalOf(points, centre);
    const Curve excess = [&swrAt](double f) { return swrAt(f) - 2.0; };
    double inner = centre;
    if (side < 0) {
        for (std::size_t k = j + 1; k-- > 0;) {
            if (points[k].frequencyMHz > centre) {
                continue;
            }
            if (points[k].swr >= 2.0) {
                return halve(excess, points[k].frequencyMHz, inner);
            }
            inner = points[k].frequencyMHz;
        }
        return std::nullopt;
    }
    for (std::size_t k = j; k < points.size(); ++k) {
        if (points[k].frequencyMHz < centre) {
            continue;
        }
        if (points[k].swr >= 2.0) {
            return halve(excess, inner, points[k].frequencyMHz);
        }
        inner = points[k].frequencyMHz;
    }
    return std::nullopt;
}

} // namespace

bool hasWarning(const SweepAnalysis& analysis, SweepWarning warning) {
    return std::find(analysis.warnings.begin(), analysis.warnings.end(), warning) !=
           analysis.warnings.end();
}

SweepAnalysis analyseSweep(const MeasuredSweep& sweep, double designMHz, double systemOhm) {
    SweepAnalysis out;
    const std::vector<SwrPoint> points = swrCurve(sweep, systemOhm);
    if (points.size() < 2) {
        out.warnings = {SweepWarning::ResonanceNotSpanned, SweepWarning::DesignOutsideSweep};
        return out;
    }
    const Curve swrAt = swrBetweenPoints(sweep, points, systemOhm);

    const Minimum minimum = swrMinimum(sweep, points, swrAt);
    out.swrMinimumMHz = minimum.frequencyMHz;
    out.minimumSwr = minimum.swr;

    out.swrMinimumSpanned = !minimum.atEnd;

    if (sweep.kind == SweepKind::Impedance) {
        if (const auto r = nearestResonance(sweep.impedance, designMHz)) {
            out.resonanceMHz = r->frequencyMHz;
            out.resistanceOhm = impedanceAt(sweep.impedance, r->frequencyMHz).real();
            out.resonanceSwr = swrAt(r->frequencyMHz);
        }
    } else if (!minimum.atEnd) {
        out.resonanceMHz = minimum.frequencyMHz;
        out.resonanceIsSwrMinimum = true;
    }
    if (!out.resonanceMHz) {
        out.warnings.push_back(SweepWarning::ResonanceNotSpanned);
    }

    const double first = points.front().frequencyMHz;
    const double last = points.back().frequencyMHz;
    if (designMHz >= first && designMHz <= last) {
        out.swrAtDesign = swrAt(designMHz);
    } else {
        out.warnings.push_back(SweepWarning::DesignOutsideSweep);
    }

    // Wherever the SWR is below 2 around its lowest point, whatever the reactance does there.
    const double centre = minimum.frequencyMHz;
    out.belowTwo = minimum.swr < 2.0;
    if (out.belowTwo) {
        out.bandLowerMHz = bandEdge(points, swrAt, centre, -1);
        out.bandUpperMHz = bandEdge(points, swrAt, centre, +1);
        if (!out.bandLowerMHz) {
            out.warnings.push_back(SweepWarning::LowerEdgeNotSpanned);
        }
        if (!out.bandUpperMHz) {
            out.warnings.push_back(SweepWarning::UpperEdgeNotSpanned);
        }
    }
    return out;
}

} // namespace brevan::check
