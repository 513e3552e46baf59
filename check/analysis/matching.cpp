// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/matching.h"

#include "portable_maths.h"

#include <cmath>
#include <functional>

namespace brevan::check {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kBandEdgeBisections = 100;

double omegaOf(double mhz) {
    return 2.0 * kPi * mhz * 1e6;
}

// A component's reactance (series) or susceptance (shunt) at a frequency.
double reactanceOf(const Component& c, double omega) {
    return c.element == Element::Inductor ? omega * c.value : -1.0 / (omega * c.value);
}

double susceptanceOf(const Component& c, double omega) {
    return c.element == Element::Inductor ? -1.0 / (omega * c.value) : omega * c.value;
}

Component seriesFor(double reactance, double omega) {
    return reactance >= 0.0
               ? Component{Element::Inductor, Place::Series, reactance / omega}
               : Component{Element::Capacitor, Place::Series, -1.0 / (omega * reactance)};
}

Component shuntFor(double susceptance, double omega, Place place) {
    return susceptance >= 0.0 ? Component{Element::Capacitor, place, susceptance / omega}
                              : Component{Element::Inductor, place, -1.0 / (omega * susceptance)};
}

// The 2:1 band around F of an SWR that the samples give at every frequency in their span.
std::pair<std::optional<double>, std::optional<double>>
bandOf(const Samples& samples, double designMHz, const std::function<double(double)>& swrAt) {
    std::pair<std::optional<double>, std::optional<double>> band;
    if (samples.size() < 2 || !(swrAt(designMHz) < 2.0)) {
        return band;
    }
    const auto edge = [&](double inside, double outside) {
        for (int i = 0; i < kBandEdgeBisections && std::abs(outside - inside) > 1e-9 * designMHz;
             ++i) {
            const double middle = 0.5 * (inside + outside);
            (swrAt(middle) < 2.0 ? inside : outside) = middle;
        }
        return 0.5 * (inside + outside);
    };
    double inside = designMHz;
    for (auto it = samples.rbegin(); it != samples.rend(); ++it) {
        if (it->frequencyMHz >= designMHz) {
            continue;
        }
        if (swrAt(it->frequencyMHz) >= 2.0) {
            band.first = edge(inside, it->frequencyMHz);
            break;
        }
        inside = it->frequencyMHz;
    }
    inside = designMHz;
    for (const FeedPoint& p : samples) {
        if (p.frequencyMHz <= designMHz) {
            continue;
        }
        if (swrAt(p.frequencyMHz) >= 2.0) {
            band.second = edge(inside, p.frequencyMHz);
            break;
        }
        inside = p.frequencyMHz;
    }
    return band;
}

} // namespace

const std::vector<double>& usualTransformerRatios() {
    static const std::vector<double> ratios = {1.5, 2.0, 4.0, 9.0};
    return ratios;
}

double swrThrough(std::complex<double> impedance, double ratio, bool stepUp, double reference) {
    return swr(stepUp ? impedance * ratio : impedance / ratio, reference);
}

TransformerMatch bestTransformer(const Samples& samples, double designMHz, double reference) {
    const std::complex<double> atDesign = impedanceAt(samples, designMHz);
    TransformerMatch best;
    best.stepUp = atDesign.real() < reference;
    best.swrAtDesign = swr(atDesign, reference);
    bool found = false;
    for (const double ratio : usualTransformerRatios()) {
        const double s = swrThrough(atDesign, ratio, best.stepUp, reference);
        if (!found || s < best.swrAtDesign) {
            best.ratio = ratio;
            best.swrAtDesign = s;
            found = true;
        }
    }
    const auto band = bandOf(samples, designMHz, [&](double f) {
        return swrThrough(impedanceAt(samples, f), best.ratio, best.stepUp, reference);
    });
    best.lowerMHz = band.first;
    best.upperMHz = band.second;
    return best;
}

std::complex<double> throughNetwork(const LNetwork& network, std::complex<double> load,
                                    double frequencyMHz) {
    const double omega = omegaOf(frequencyMHz);
    const std::complex<double> j(0.0, 1.0);
    const auto shunt = [&](std::complex<double> z) {
        if (network.shunt.value == 0.0) {
            return z;
        }
        return portable::divide(1.0,
                                portable::divide(1.0, z) + j * susceptanceOf(network.shunt, omega));
    };
    const auto series = [&](std::complex<double> z) {
        return network.series.value == 0.0 ? z : z + j * reactanceOf(network.series, omega);
    };
    // From the antenna towards the line.
    return network.shunt.place == Place::ShuntAntennaSide ? series(shunt(load))
                                                          : shunt(series(load));
}

std::optional<LNetwork> lNetwork(const Samples& samples, double designMHz, double reference) {
    const std::complex<double> load = impedanceAt(samples, designMHz);
    const double r = load.real();
    const double x = load.imag();
    if (!(r > 0.0)) {
        return std::nullopt;
    }
    const double omega = omegaOf(designMHz);
    LNetwork network;
    if (r <= reference) {
        // Series element next to the antenna brings its resistance up to the line's once the
        // shunt capacitor on the line side takes out what reactance is left.
        const double total = std::sqrt(r * (reference - r));
        network.series = seriesFor(total - x, omega);
        network.shunt = shuntFor(total / (r * reference), omega, Place::ShuntLineSide);
    } else {
        const std::complex<double> y = portable::divide(1.0, load);
        const double g = y.real();
        const double total = std::sqrt(g / reference - g * g);
        network.shunt = shuntFor(total - y.imag(), omega, Place::ShuntAntennaSide);
        network.series = seriesFor(total * reference / g, omega);
    }
    const auto band = bandOf(samples, designMHz, [&](double f) {
        return swr(throughNetwork(network, impedanceAt(samples, f), f), reference);
    });
    network.lowerMHz = band.first;
    network.upperMHz = band.second;
    return network;
}

} // namespace brevan::check
