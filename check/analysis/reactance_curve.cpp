// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/reactance_curve.h"

#include "analysis/bisection.h"
#include "portable_maths.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace brevan::check {

namespace {

// A neighbour much farther away than the interval is wide would only add the far curve's shape.
constexpr double kNeighbourReach = 3.0;
constexpr int kBisections = 100;

double reactance(const FeedPoint& point) {
    return point.impedance.imag();
}

bool falls(const Samples& s, std::size_t j) {
    return reactance(s[j + 1]) < reactance(s[j]);
}

bool risesThroughZero(const Samples& s, std::size_t j) {
    return reactance(s[j]) < 0.0 && reactance(s[j + 1]) >= 0.0;
}

double width(const Samples& s, std::size_t j) {
    return s[j + 1].frequencyMHz - s[j].frequencyMHz;
}

// The samples a local polynomial over interval j may use: its ends, and a neighbour on each side
// when the interval to it rises too (no pole between) and is not much wider.
std::vector<std::size_t> nodesAround(const Samples& s, std::size_t j) {
    if (falls(s, j)) {
        return {j, j + 1};
    }
    std::vector<std::size_t> nodes;
    const double w = width(s, j);
    if (j > 0 && !falls(s, j - 1) && width(s, j - 1) <= kNeighbourReach * w) {
        nodes.push_back(j - 1);
    }
    nodes.push_back(j);
    nodes.push_back(j + 1);
    if (j + 2 < s.size() && !falls(s, j + 1) && width(s, j + 1) <= kNeighbourReach * w) {
        nodes.push_back(j + 2);
    }
    return nodes;
}

std::complex<double> lagrange(const Samples& s, const std::vector<std::size_t>& nodes, double f) {
    std::complex<double> sum;
    for (const std::size_t i : nodes) {
        double weight = 1.0;
        for (const std::size_t k : nodes) {
            if (k != i) {
                weight *= (f - s[k].frequencyMHz) / (s[i].frequencyMHz - s[k].frequencyMHz);
            }
        }
        sum += weight * s[i].impedance;
    }
    return sum;
}

std::complex<double> impedanceIn(const Samples& s, std::size_t j, double f) {
    return lagrange(s, nodesAround(s, j), f);
}

// Brackets are halved to far below any frequency a report shows.
double halve(const std::function<double(double)>& g, double low, double high) {
    return bisect(g, low, high, 1e-13, kBisections);
}

std::size_t intervalOf(const Samples& s, double f) {
    const auto above = std::upper_bound(
        s.begin(), s.end(), f, [](double x, const FeedPoint& p) { return x < p.frequencyMHz; });
    const auto index = static_cast<std::size_t>(above - s.begin());
    return std::clamp<std::size_t>(index == 0 ? 0 : index - 1, 0, s.size() - 2);
}

double swrIn(const Samples& s, std::size_t j, double f, double reference) {
    return swr(impedanceIn(s, j, f), reference);
}

// The edge on one side: walking away from the resonance until the SWR reaches 2, never past a
// pole.
std::optional<double> bandEdge(const Samples& s, const Resonance& r, double reference, int side) {
    const auto excess = [&](std::size_t j) {
        return [&s, j, reference](double f) { return swrIn(s, j, f, reference) - 2.0; };
    };
    std::size_t j = r.interval;
    double inner = r.frequencyMHz;
    for (;;) {
        const FeedPoint& outer = side < 0 ? s[j] : s[j + 1];
        if (falls(s, j) && j != r.interval) {
            return std::nullopt; // a pole first: the branch ends before the SWR reaches 2
        }
        if (swr(outer.impedance, reference) >= 2.0) {
            return halve(excess(j), std::min(inner, outer.frequencyMHz),
                         std::max(inner, outer.frequencyMHz));
        }
        inner = outer.frequencyMHz;
        if (side < 0) {
            if (j == 0) {
                return std::nullopt;
            }
            --j;
        } else {
            if (j + 2 >= s.size()) {
                return std::nullopt;
            }
            ++j;
        }
    }
}

// n points evenly inside interval j.
void addInside(std::vector<double>& out, const Samples& s, std::size_t j, int n) {
    const double w = width(s, j);
    for (int i = 1; i <= n; ++i) {
        out.push_back(s[j].frequencyMHz + w * i / (n + 1));
    }
}

void refineEdge(std::vector<double>& out, const Samples& s, std::optional<double> edge,
                double fineWidth) {
    if (edge) {
        const std::size_t j = intervalOf(s, *edge);
        if (width(s, j) > fineWidth) {
            addInside(out, s, j, 3);
        }
    }
}

} // namespace

double swr(std::complex<double> impedance, double reference) {
    const double gamma =
        portable::abs(portable::divide(impedance - reference, impedance + reference));
    if (!(gamma < 1.0)) {
        return std::numeric_limits<double>::infinity();
    }
    return (1.0 + gamma) / (1.0 - gamma);
}

std::optional<Resonance> nearestResonance(const Samples& s, double targetMHz) {
    std::optional<Resonance> nearest;
    for (std::size_t j = 0; j + 1 < s.size(); ++j) {
        if (!risesThroughZero(s, j)) {
            continue;
        }
        const double zero = halve([&](double f) { return impedanceIn(s, j, f).imag(); },
                                  s[j].frequencyMHz, s[j + 1].frequencyMHz);
        if (!nearest || std::abs(zero - targetMHz) < std::abs(nearest->frequencyMHz - targetMHz)) {
            nearest = Resonance{zero, j};
        }
    }
    return nearest;
}

std::complex<double> impedanceAt(const Samples& s, double frequencyMHz) {
    if (s.size() == 1) {
        return s.front().impedance;
    }
    return impedanceIn(s, intervalOf(s, frequencyMHz), frequencyMHz);
}

std::vector<std::pair<double, double>> smoothSwrCurve(const Samples& s, double stepMHz,
                                                      double reference) {
    std::vector<std::pair<double, double>> out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        out.emplace_back(s[i].frequencyMHz, swr(s[i].impedance, reference));
        if (i + 1 == s.size() || s.size() < 2) {
            continue;
        }
        const double low = s[i].frequencyMHz;
        const double width = s[i + 1].frequencyMHz - low;
        const int pieces = stepMHz > 0.0 ? static_cast<int>(std::ceil(width / stepMHz)) : 1;
        for (int k = 1; k < pieces; ++k) {
            const double f = low + width * k / pieces;
            out.emplace_back(f, swr(impedanceIn(s, i, f), reference));
        }
    }
    return out;
}

Band bandAround(const Samples& s, const Resonance& r, double reference) {
    Band band;
    if (swrIn(s, r.interval, r.frequencyMHz, reference) >= 2.0) {
        return band;
    }
    band.belowTwo = true;
    band.lowerMHz = bandEdge(s, r, reference, -1);
    band.upperMHz = bandEdge(s, r, reference, +1);
    return band;
}

std::vector<double> refinement(const Samples& s, double targetMHz, double reference,
                               double poleWidthMHz, double fineWidthMHz) {
    std::vector<double> out;
    if (s.size() < 2) {
        return out;
    }
    for (std::size_t j = 0; j + 1 < s.size(); ++j) {
        if (!falls(s, j) || width(s, j) <= poleWidthMHz) {
            continue;
        }
        // Inside a broad fall the curve is smooth; a series resonance can hide only where the
        // fall begins or ends, or across a jump from + to -.
        const bool jump = reactance(s[j]) >= 0.0 && reactance(s[j + 1]) < 0.0;
        const bool edge = j == 0 || !falls(s, j - 1) || j + 2 >= s.size() || !falls(s, j + 1);
        if (jump || edge) {
            out.push_back(s[j].frequencyMHz + 0.5 * width(s, j));
        }
    }
    if (const auto r = nearestResonance(s, targetMHz)) {
        if (width(s, r->interval) > fineWidthMHz) {
            addInside(out, s, r->interval, 3);
        }
        const Band band = bandAround(s, *r, reference);
        refineEdge(out, s, band.lowerMHz, fineWidthMHz);
        refineEdge(out, s, band.upperMHz, fineWidthMHz);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

void addSamples(Samples& samples, const std::vector<FeedPoint>& points) {
    samples.insert(samples.end(), points.begin(), points.end());
    std::sort(samples.begin(), samples.end(), [](const FeedPoint& a, const FeedPoint& b) {
        return a.frequencyMHz < b.frequencyMHz;
    });
    samples.erase(std::unique(samples.begin(), samples.end(),
                              [](const FeedPoint& a, const FeedPoint& b) {
                                  return b.frequencyMHz - a.frequencyMHz <= 1e-9 * b.frequencyMHz;
                              }),
                  samples.end());
}

} // namespace brevan::check
