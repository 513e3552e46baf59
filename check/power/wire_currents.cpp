// SPDX-License-Identifier: GPL-3.0-or-later
#include "power/wire_currents.h"

#include "coil/physics.h"
#include "coil/round_wire.h"
#include "portable_maths.h"

#include <array>
#include <cmath>
#include <cstddef>

namespace brevan::check {

namespace {

constexpr double kLightSpeed = 299792458.0; // m/s
// Straight pieces each interval between segment centres is cut into for the potential's sum:
// the kernel's singular part is integrated exactly on each, the rest by its midpoint.
constexpr int kPiecesPerInterval = 8;

struct Node {
    double along = 0.0; // m from the centre
    std::complex<double> current;
};

struct Point {
    double y = 0.0;
    double z = 0.0;
};

Point at(const Segmentation& segmentation, double along) {
    const WirePoint p = pointAlong(segmentation.shape, along);
    return {p.y, p.z};
}

// The engine's index of segment `segment` of wire `tag` (tags count the pieces from 1).
std::size_t indexOf(const Segmentation& segmentation, int tag, int segment) {
    std::size_t index = 0;
    for (const WirePiece& piece : segmentation.pieces) {
        if (piece.tag == tag) {
            return index + static_cast<std::size_t>(segment - 1);
        }
        index += static_cast<std::size_t>(piece.segments);
    }
    return index;
}

// The segment centres with their currents, between the two free ends where the current is 0.
std::vector<Node> nodes(const Segmentation& segmentation,
                        const std::vector<std::complex<double>>& currents) {
    std::vector<Node> out;
    out.push_back({segmentation.pieces.front().y1, {}});
    std::size_t index = 0;
    for (const WirePiece& piece : segmentation.pieces) {
        const double step = (piece.y2 - piece.y1) / piece.segments;
        for (int k = 0; k < piece.segments; ++k) {
            out.push_back({piece.y1 + (k + 0.5) * step, currents[index++]});
        }
    }
    out.push_back({segmentation.pieces.back().y2, {}});
    return out;
}

double asinh(double x) {
    const double magnitude = std::abs(x);
    const double value = portable::log(magnitude + std::sqrt(magnitude * magnitude + 1.0));
    return x < 0.0 ? -value : value;
}

// The integral of e^(-jkR) / R along the straight piece from `a` to `b`, R the distance to
// `seen` with `radius` added in quadrature (0 for an image, which never comes that close).
std::complex<double> kernel(Point a, Point b, Point seen, double radius, double k) {
    const double dy = b.y - a.y;
    const double dz = b.z - a.z;
    const double length = std::sqrt(dy * dy + dz * dz);
    if (length <= 0.0) {
        return {};
    }
    const double uy = dy / length;
    const double uz = dz / length;
    const double ry = a.y - seen.y;
    const double rz = a.z - seen.z;
    const double t0 = ry * uy + rz * uz;
    const double across = std::max(0.0, ry * ry + rz * rz - t0 * t0);
    const double b2 = across + radius * radius;
    const double b1 = std::sqrt(b2);
    // 1 / R exactly; (e^(-jkR) - 1) / R, smooth and bounded by k, at the midpoint.
    const double singular = asinh((t0 + length) / b1) - asinh(t0 / b1);
    const double tm = t0 + 0.5 * length;
    const double rm = std::sqrt(tm * tm + b2);
    const std::complex<double> smooth =
        (portable::exp(std::complex<double>(0.0, -k * rm)) - 1.0) / rm * length;
    return singular + smooth;
}

// The ground's image weight: 0 in free space, -1 over a perfect ground, else the quasi-static
// -(eps - 1) / (eps + 1) of eps = eps_r - j sigma / (omega eps0).
std::complex<double> imageWeight(const Ground& ground, double omega) {
    if (ground.kind == GroundKind::FreeSpace) {
        return {};
    }
    if (ground.kind == GroundKind::Perfect) {
        return -1.0;
    }
    const GroundConstants c = groundConstants(ground.kind);
    const std::complex<double> eps(c.permittivity, -c.conductivity / (omega * kVacuumPermittivity));
    return -portable::divide(eps - 1.0, eps + 1.0);
}

bool fits(const Segmentation& segmentation, const std::vector<std::complex<double>>& currents) {
    return !segmentation.pieces.empty() &&
           currents.size() == static_cast<std::size_t>(segmentation.totalSegments);
}

} // namespace

std::complex<double> wirePotential(const AntennaModel& model, const Segmentation& segmentation,
                                   const std::vector<std::complex<double>>& currents,
                                   double frequencyMHz, double along) {
    if (!fits(segmentation, currents)) {
        return {};
    }
    const double omega = 2.0 * kPi * frequencyMHz * 1e6;
    const double k = omega / kLightSpeed;
    const double radius = 0.5 * model.wireDiameter;
    const std::complex<double> image = imageWeight(model.ground, omega);
    const Point seen = at(segmentation, along);
    const std::vector<Node> wire = nodes(segmentation, currents);
    std::complex<double> sum;
    for (std::size_t i = 0; i + 1 < wire.size(); ++i) {
        const double from = wire[i].along;
        const double to = wire[i + 1].along;
        if (to <= from) {
            continue;
        }
        // Charge per metre on the interval: (j / omega) dI/ds.
        const std::complex<double> charge = std::complex<double>(0.0, 1.0 / omega) *
                                            (wire[i + 1].current - wire[i].current) / (to - from);
        std::complex<double> integral;
        for (int p = 0; p < kPiecesPerInterval; ++p) {
            const double s1 = from + (to - from) * p / kPiecesPerInterval;
            const double s2 = from + (to - from) * (p + 1) / kPiecesPerInterval;
            const Point a = at(segmentation, s1);
            const Point b = at(segmentation, s2);
            integral += kernel(a, b, seen, radius, k);
            if (image != 0.0) {
                integral += image * kernel({a.y, -a.z}, {b.y, -b.z}, seen, 0.0, k);
            }
        }
        sum += charge * integral;
    }
    return sum / (4.0 * kPi * kVacuumPermittivity);
}

std::optional<CurrentsAtDesign> currentsAtDesign(const AntennaModel& model,
                                                 const Segmentation& segmentation,
                                                 const std::vector<std::complex<double>>& currents,
                                                 double frequencyMHz) {
    if (!fits(segmentation, currents)) {
        return std::nullopt;
    }
    const std::complex<double> feed =
        currents[indexOf(segmentation, segmentation.feedTag, segmentation.feedSegment)];
    if (feed == 0.0) {
        return std::nullopt;
    }
    CurrentsAtDesign out;
    out.feedResistance = portable::divide(1.0, feed).real();
    for (int side = 0; side < 2; ++side) {
        const std::complex<double> coil = currents[indexOf(
            segmentation, segmentation.coilTags[side], segmentation.coilSegments[side])];
        out.coilCurrent = std::max(out.coilCurrent, portable::abs(coil) / portable::abs(feed));
    }
    // At the centre of each end segment: the engine matches the field there, while the very
    // end, where the charge crowds in a way the thin-wire currents do not resolve, reads low.
    const WirePiece& first = segmentation.pieces.front();
    const WirePiece& last = segmentation.pieces.back();
    const std::array<double, 2> tips{first.y1 + 0.5 * (first.y2 - first.y1) / first.segments,
                                     last.y2 - 0.5 * (last.y2 - last.y1) / last.segments};
    for (const double tip : tips) {
        const std::complex<double> v =
            wirePotential(model, segmentation, currents, frequencyMHz, tip);
        out.tipPotential = std::max(out.tipPotential, portable::abs(v) / portable::abs(feed));
    }
    // The copper's resistance per metre at F, from the exact skin effect.
    const double perMetre = wireResistancePerMetre(model.wireDiameter, frequencyMHz * 1e6);
    std::size_t index = 0;
    for (const WirePiece& piece : segmentation.pieces) {
        const double step = std::abs(piece.y2 - piece.y1) / piece.segments;
        for (int s = 0; s < piece.segments; ++s) {
            const double ratio = portable::abs(currents[index++]) / portable::abs(feed);
            out.wireLoss += ratio * ratio * perMetre * step;
        }
    }
    return out;
}

} // namespace brevan::check
