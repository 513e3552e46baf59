// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Matching a feed point to the line: the usual broadband transformers, and the two-element
// L-network that matches exactly at one frequency. Pure functions over feed-point samples.
//
//   trimmed antenna's samples --bestTransformer--> ratio, SWR at F, 2:1 band
//                             --lNetwork at F----> two components, SWR band they leave

#include "analysis/reactance_curve.h"

#include <optional>
#include <vector>

namespace brevan::check {

// A broadband transformer of impedance ratio 1 : ratio between the line and the antenna. It
// steps the antenna's impedance up (an antenna below the line's impedance) or down.
struct TransformerMatch {
    double ratio = 1.0;       // line : antenna impedance, 1 : ratio
    bool stepUp = false;      // the antenna's impedance is multiplied (antenna below the line)
    double swrAtDesign = 0.0; // on the line, at F
    std::optional<double> lowerMHz;
    std::optional<double> upperMHz;
};

// The usual ratios: 1:1.5, 1:2, 1:4, 1:9.
const std::vector<double>& usualTransformerRatios();

// The SWR on `reference` ohm of `impedance` seen through a transformer of `ratio`, stepping the
// antenna's impedance up (a low antenna resistance) or down.
double swrThrough(std::complex<double> impedance, double ratio, bool stepUp, double reference);

// Of the usual ratios, the one that gives the lowest SWR at F, with its 2:1 band from the
// samples (which must cover the resonance).
TransformerMatch bestTransformer(const Samples& samples, double designMHz, double reference);

enum class Element { Inductor, Capacitor };
enum class Place { Series, ShuntLineSide, ShuntAntennaSide };

struct Component {
    Element element = Element::Inductor;
    Place place = Place::Series;
    double value = 0.0; // H or F
};

struct LNetwork {
    Component series;
    Component shunt;
    std::optional<double> lowerMHz; // the 2:1 band it leaves
    std::optional<double> upperMHz;
};

// The input impedance of the network with `load` on its antenna side, at `frequencyMHz`.
std::complex<double> throughNetwork(const LNetwork& network, std::complex<double> load,
                                    double frequencyMHz);

// The low-pass L-network (series inductor, shunt capacitor) or, where the reactance to cancel
// asks for it, a series capacitor, that matches `load` to `reference` exactly at `designMHz`;
// nothing for a load with no resistance. The band comes from the samples.
std::optional<LNetwork> lNetwork(const Samples& samples, double designMHz, double reference);

} // namespace brevan::check
