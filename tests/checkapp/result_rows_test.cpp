// SPDX-License-Identifier: GPL-3.0-or-later
// The window's and the page's antenna table: where long coils were also wound as NEC-2's
// helices, a row of that antenna's resonances under the lumped coils', worded as they are, in
// the built and trimmed columns.
#include "hand_made_report.h"
#include "result_rows.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace brevan::faces {
namespace {

const AntennaRow* rowOf(const std::vector<AntennaRow>& rows, const std::string& label) {
    const auto at = std::find_if(rows.begin(), rows.end(),
                                 [&label](const AntennaRow& r) { return r.label == label; });
    return at == rows.end() ? nullptr : &*at;
}

TEST(AntennaRows, LongCoilsAsHelicesAddTheirResonancesUnderTheLumpedOnes) {
    const std::string label = "Resonance, coils as NEC-2's helices";
    struct Case {
        const char* name;
        bool helix, trimmed;
        std::array<std::string, 3> cells;
    };
    for (const Case& c :
         {Case{"trimmed", true, true, {"-", "7.391 MHz ± 0.2 %", "7.066 MHz ± 0.2 %"}},
          Case{"no trim reached F", true, false, {"-", "7.391 MHz ± 0.2 %", "-"}},
          Case{"no helix", false, true, {}}}) {
        check::AntennaCheck antenna =
            c.trimmed ? check::test::typicalCheck()
                      : check::test::notReached(check::TrimOutcome::CoilsInTheWay, 14.2, 7.3);
        if (c.helix) {
            antenna.helix =
                check::HelixCheck{42, 7.391, 0.0017, 7.066, 0.0018, std::nullopt, false};
        }
        check::CheckReport report = check::test::typicalReport();
        check::applyAntennaCheck(report, antenna);
        const std::vector<AntennaRow> rows = antennaRows(report);
        const AntennaRow* helix = rowOf(rows, label);
        if (!c.helix) {
            EXPECT_FALSE(helix) << c.name;
            continue;
        }
        ASSERT_TRUE(helix) << c.name;
        EXPECT_EQ(helix->cells, c.cells) << c.name;
        // Right under the lumped coils' resonance.
        EXPECT_EQ((helix - 1)->label, "Resonance") << c.name;
    }
}

} // namespace
} // namespace brevan::faces
