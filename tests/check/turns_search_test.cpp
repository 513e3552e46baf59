// SPDX-License-Identifier: GPL-3.0-or-later
#include "coil/turns_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace brevan::check {
namespace {

// A quantity given as a table: turns n has values[n - 1]; past the table, no value.
TurnsQuantity fromTable(const std::vector<std::optional<double>>& values) {
    return [values](int turns) -> std::optional<double> {
        const auto i = static_cast<std::size_t>(turns - 1);
        return i < values.size() ? values[i] : std::nullopt;
    };
}

TEST(ClosestWholeTurns, PicksTheNearerNeighbourOnMonotoneTables) {
    struct Row {
        std::string name;
        std::vector<std::optional<double>> values;
        double target;
        int mostTurns;
        int turns;
    };
    const std::vector<std::optional<double>> squares = {1, 4, 9, 16, 25, 36, 49, 64, 81, 100};
    const std::vector<Row> rows = {
        {"below the first", squares, 0.5, 10, 1},
        {"on the first", squares, 1.0, 10, 1},
        {"exact in the middle", squares, 49.0, 10, 7},
        {"nearer the lower", squares, 52.0, 10, 7},
        {"nearer the upper", squares, 60.0, 10, 8},
        {"a tie goes up", squares, 56.5, 10, 8},
        {"on the last", squares, 100.0, 10, 10},
        {"beyond reach", squares, 1e9, 10, 10},
        {"bounded below the table", squares, 1e9, 6, 6},
        {"a flat stretch", {1, 2, 2, 2, 2, 2, 3}, 2.0, 7, 2},
        {"values end before the target", {1, 2, 3, std::nullopt}, 10.0, 10, 3},
        {"values end just past it", {1, 2, 3, std::nullopt}, 2.9, 10, 3},
        {"one turn only", {5}, 9.0, 1, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::optional<TurnsMatch> match =
            closestWholeTurns(fromTable(row.values), row.target, row.mostTurns);
        ASSERT_TRUE(match.has_value());
        EXPECT_EQ(match->turns, row.turns);
        EXPECT_EQ(match->value, *row.values[static_cast<std::size_t>(row.turns - 1)]);
    }
}

TEST(ClosestWholeTurns, LargeCountsAndNoValueAtAll) {
    // n^2 for up to the bound: every whole target lands on its own root.
    const TurnsQuantity square = [](int n) -> std::optional<double> { return 1.0 * n * n; };
    for (int turns : {2, 3, 63, 64, 65, 1000, 65535, 99999, 100000}) {
        SCOPED_TRACE(turns);
        EXPECT_EQ(closestWholeTurns(square, 1.0 * turns * turns)->turns, turns);
        // Just short of half-way to the squares either side.
        EXPECT_EQ(closestWholeTurns(square, 1.0 * turns * turns + turns + 0.4)->turns, turns);
        EXPECT_EQ(closestWholeTurns(square, 1.0 * turns * turns - turns + 0.6)->turns, turns);
    }
    EXPECT_EQ(closestWholeTurns(square, 1e300)->turns, kMostTurns);
    const TurnsQuantity nothing = [](int) -> std::optional<double> { return std::nullopt; };
    EXPECT_FALSE(closestWholeTurns(nothing, 1.0).has_value());
    // Evaluated about 2 log2 n times, not n times.
    int calls = 0;
    const TurnsQuantity counted = [&calls](int n) -> std::optional<double> {
        ++calls;
        return n;
    };
    EXPECT_EQ(closestWholeTurns(counted, 77777.2)->turns, 77777);
    EXPECT_LT(calls, 50);
}

} // namespace
} // namespace brevan::check
