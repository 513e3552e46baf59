// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec/nec_deck.h"

#include "portable_maths.h"

#include <cmath>

namespace brevan::check {

namespace {

constexpr double kPiRadians = 3.14159265358979323846;

double degrees(double radians) {
    return radians * 180.0 / kPiRadians;
}

double radians(double degrees) {
    return degrees * kPiRadians / 180.0;
}

// The half of the feed segment: the legs bend down at its edges, which are always the edges of
// pieces, so no piece has to be split at the bend.
double feedHalf(const Segmentation& segmentation) {
    for (const WirePiece& piece : segmentation.pieces) {
        if (piece.tag == segmentation.feedTag) {
            return piece.y2;
        }
    }
    return 0.0;
}

double tipOf(const Segmentation& segmentation) {
    return segmentation.pieces.empty() ? 0.0 : segmentation.pieces.back().y2;
}

} // namespace

std::variant<WireShape, ModelRefusal> wireShape(const AntennaModel& model,
                                                const Segmentation& segmentation) {
    return wireShapeAlong(model, feedHalf(segmentation), tipOf(segmentation));
}

std::variant<WireShape, ModelRefusal> wireShapeAlong(const AntennaModel& model, double bend,
                                                     double tip) {
    const bool overGround = model.ground.kind != GroundKind::FreeSpace;
    WireShape shape;
    shape.bend = bend;
    shape.apexHeight = overGround ? model.ground.height : 0.0;
    const double leg = tip - shape.bend;
    const Hang& hang = model.hang;
    if (hang.shape == HangShape::InvertedV) {
        if (hang.endsHeight) {
            if (!overGround) {
                return ModelRefusal{"the height of the ends of an inverted V means something "
                                    "only over ground; in free space give the angle between "
                                    "the legs"};
            }
            const double drop = shape.apexHeight - *hang.endsHeight;
            if (!(drop > 0.0)) {
                return ModelRefusal{"the ends of an inverted V must hang below its apex: the "
                                    "ends are at " +
                                    deckMetres(*hang.endsHeight) + ", the apex at " +
                                    deckMetres(shape.apexHeight)};
            }
            if (drop >= leg) {
                // The leg slopes from the end of the level feed segment, so it is a little
                // less than half the length; to the millimetre, as a builder measures it.
                return ModelRefusal{"each leg of the inverted V slopes for " +
                                    deckMetres(std::round(leg * 1000.0) / 1000.0) +
                                    " beyond the level wire at the feed, too short to drop " +
                                    deckMetres(drop) + " from the apex to the ends"};
            }
            shape.droop = portable::asin(drop / leg);
        } else {
            if (!std::isfinite(hang.legAngle) || hang.legAngle < kNarrowestLegAngle ||
                hang.legAngle > 180.0) {
                return ModelRefusal{"the angle between the legs of an inverted V must be from 60 "
                                    "to 180 degrees (180 is the straight wire); it is " +
                                    deckNumber(hang.legAngle) + " degrees"};
            }
            shape.droop = radians((180.0 - hang.legAngle) / 2.0);
        }
    }
    shape.legAngle = 180.0 - 2.0 * degrees(shape.droop);
    shape.endsHeight = shape.apexHeight - leg * portable::sin(shape.droop);
    shape.span = 2.0 * (shape.bend + leg * portable::cos(shape.droop));
    if (shape.legAngle < kNarrowestLegAngle * (1.0 - 1e-9)) {
        return ModelRefusal{"the legs of the inverted V would close to " +
                            deckNumber(std::round(shape.legAngle * 10.0) / 10.0) +
                            " degrees; give ends higher than " + deckMetres(*hang.endsHeight) +
                            " so that they open to at least 60 degrees"};
    }
    const double clearance = kShortestInRadii * model.wireDiameter / 2.0;
    if (overGround && shape.endsHeight <= clearance) {
        const std::string where = shape.endsHeight <= 0.0
                                      ? std::string("in the ground")
                                      : deckMetres(shape.endsHeight) + " above the ground";
        return ModelRefusal{
            "the ends of the inverted V would be " + where +
            "; they must hang more than 4 wire radii (" + deckMetres(clearance) + ") above it" +
            (hang.endsHeight ? std::string() : ": open the legs wider or hang the apex higher")};
    }
    return shape;
}

WirePoint pointAlong(const WireShape& shape, double along) {
    const double distance = std::abs(along);
    const double side = along < 0.0 ? -1.0 : 1.0;
    if (distance <= shape.bend || shape.droop == 0.0) {
        return {along, shape.apexHeight};
    }
    const double down = distance - shape.bend;
    return {side * (shape.bend + down * portable::cos(shape.droop)),
            shape.apexHeight - down * portable::sin(shape.droop)};
}

} // namespace brevan::check
