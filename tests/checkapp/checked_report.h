// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reports for the pictures' tests: the typical design checked once per test program with the
// real nec2c (about half a second), records bent by hand to the cases a drawing must cope
// with (coils at the feed, a trim that does not reach F, a trim that cuts),
// and the colour count of a picture.

#include "hand_made_report.h"
#include "nec/engine/nec2c_engine.h"

#include <QColor>
#include <QImage>
#include <gtest/gtest.h>

#include <cstdlib>

namespace brevan::checkapp::test {

// 7.05 MHz, 15 m, coils at 3 m: its three antennas swept by nec2c, the trim in the cut list.
inline const check::CheckReport& checkedTypicalReport() {
    static const check::CheckReport report = [] {
        check::CheckReport r = check::test::typicalReport();
        const auto failure = check::addAntennaCheck(r, check::nec2cEngine({}), {});
        EXPECT_FALSE(failure.has_value()) << (failure ? failure->message : std::string());
        return r;
    }();
    return report;
}

// The typical design, or one changed by `changes`, with a hand-made full-wave check.
inline check::CheckReport withCheck(check::AntennaCheck antenna,
                                    std::map<std::string, std::string> changes = {}) {
    check::CheckReport r = check::test::typicalReport(std::move(changes));
    check::applyAntennaCheck(r, std::move(antenna));
    return r;
}

inline check::AntennaCheck cuttingCheck(double tipChange) {
    check::AntennaCheck antenna = check::test::typicalCheck();
    antenna.trim.tipChange = tipChange;
    return antenna;
}

inline check::AntennaCheck missedTrim() {
    return check::test::notReached(check::TrimOutcome::CoilsInTheWay, 14.2, 7.3);
}

// Pixels of `image` within a small distance of `colour`: the lines are antialiased.
inline int pixelsLike(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                                 std::abs(c.blue() - colour.blue()) <=
                             24
                         ? 1
                         : 0;
        }
    }
    return count;
}

} // namespace brevan::checkapp::test
