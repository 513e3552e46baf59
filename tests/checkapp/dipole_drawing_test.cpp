// The drawing of what to cut: the lengths written on it are the cut list's, piece by piece and
// in total, for the typical design checked by nec2c and for the cases that change its shape.
#include "dipole_drawing.h"

#include "checked_report.h"
#include "report/report_format.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

using brevan::check::CheckReport;
using namespace brevan::checkapp::test;

struct DrawingCase {
    const char* name;
    std::function<CheckReport()> report;
    std::vector<std::string> labels; // feed to tip
};

double lengthOf(const std::vector<MarkedLength>& pieces, const std::string& label) {
    for (const MarkedLength& piece : pieces) {
        if (piece.label == label) {
            return piece.metres;
        }
    }
    return 0.0;
}

class Drawing : public testing::TestWithParam<DrawingCase> {};

TEST_P(Drawing, MarkedLengthsAreTheCutListsPieceByPiece) {
    const CheckReport report = GetParam().report();
    const brevan::check::CutList& cut = report.cut;
    const std::vector<MarkedLength> pieces = markedLengths(report);
    std::vector<std::string> labels;
    for (const MarkedLength& piece : pieces) {
        labels.push_back(piece.label);
    }
    EXPECT_EQ(labels, GetParam().labels);
    EXPECT_DOUBLE_EQ(lengthOf(pieces, "Inner wire"), cut.coilsAtFeed ? 0.0 : cut.innerWire);
    EXPECT_DOUBLE_EQ(lengthOf(pieces, "Outer wire"), cut.outerWire);
    EXPECT_DOUBLE_EQ(lengthOf(pieces, "Trim"), cut.tipChange.value_or(0.0));
    EXPECT_DOUBLE_EQ(lengthOf(pieces, "Spare"), cut.tipSpare);
    // The coil's piece is its winding: with the wires on either side it makes half of A.
    const double half =
        lengthOf(pieces, "Inner wire") + lengthOf(pieces, "Coil") + lengthOf(pieces, "Outer wire");
    EXPECT_NEAR(half, report.inputs.lengthM / 2, 0.0011);
    // The outer wire as cut is the designed one, trimmed, with its spare.
    EXPECT_NEAR(lengthOf(pieces, "Outer wire") + lengthOf(pieces, "Trim") +
                    lengthOf(pieces, "Spare"),
                cut.outerWireToCut, 0.0006);
    double all = 0.0;
    for (const MarkedLength& piece : pieces) {
        all += piece.metres;
    }
    EXPECT_NEAR(all, report.inputs.lengthM / 2 + cut.tipChange.value_or(0.0) + cut.tipSpare,
                0.0016);
}

TEST_P(Drawing, PaintsTheCoilAndTheTrimThatIsInTheCutList) {
    const CheckReport report = GetParam().report();
    DipoleDrawing drawing;
    drawing.resize(1100, 260);
    drawing.setReport(report);
    const QImage image = drawing.grab().toImage();
    const DrawingColours colours = drawingColours(drawing.palette());
    const auto count = [&](const QColor& colour) { return pixelsLike(image, colour); };
    EXPECT_GT(count(colours.coil), 20);
    const std::optional<double> trim = report.cut.tipChange;
    EXPECT_EQ(count(colours.trimAdded) > 0, trim && *trim > 0);
    EXPECT_EQ(count(colours.trimCut) > 0, trim && *trim < 0);
    EXPECT_TRUE(drawing.accessibleDescription().contains(
        QString::fromStdString(brevan::check::number(report.cut.outerWireToCut, 3))));
}

INSTANTIATE_TEST_SUITE_P(
    Designs, Drawing,
    testing::Values(
        DrawingCase{"typical_checked_by_nec2c",
                    [] { return checkedTypicalReport(); },
                    {"Inner wire", "Coil", "Outer wire", "Trim", "Spare"}},
        DrawingCase{"coils_at_the_feed",
                    [] {
                        return withCheck(brevan::check::test::typicalCheck(), {{"distance", "0"}});
                    },
                    {"Coil", "Outer wire", "Trim", "Spare"}},
        DrawingCase{"trim_that_misses_F",
                    [] { return withCheck(missedTrim()); },
                    {"Inner wire", "Coil", "Outer wire", "Spare"}},
        DrawingCase{"trim_that_cuts",
                    [] { return withCheck(cuttingCheck(-0.42)); },
                    {"Inner wire", "Coil", "Outer wire", "Trim", "Spare"}},
        DrawingCase{"before_the_full_wave_check",
                    [] { return brevan::check::test::typicalReport(); },
                    {"Inner wire", "Coil", "Outer wire", "Spare"}},
        DrawingCase{"a_long_coil_of_many_turns",
                    [] {
                        return brevan::check::test::typicalReport(
                            {{"former", "12"}, {"coil-length", "150"}, {"coil-wire", "30"}});
                    },
                    {"Inner wire", "Coil", "Outer wire", "Spare"}}),
    [](const auto& row) { return std::string(row.param.name); });

// An inverted V is cut like the straight wire; the drawing adds the V's angle in words and a
// sketch of it at the top right, which the straight wire does not have.
TEST(Drawing, AnInvertedVShowsItsAngle) {
    const auto drawn = [](const CheckReport& report) {
        DipoleDrawing drawing;
        drawing.resize(1100, 260);
        drawing.setReport(report);
        const QImage image = drawing.grab().toImage();
        const double h = drawing.fontMetrics().height();
        const double r = image.devicePixelRatio(); // 2 on a high-density screen
        // The wire's part ends where the coil's begins, less a line's height between them.
        const double width = 1100 - 8;
        const double wireRight = 4 + width - std::max(width * 0.28, h * 10) - h;
        const QImage corner =
            image.copy(QRectF((wireRight - 3 * h) * r, 4 * r, 3 * h * r, h * r).toAlignedRect());
        return std::make_pair(pixelsLike(corner, drawingColours(drawing.palette()).wire),
                              drawing.accessibleDescription());
    };
    brevan::check::AntennaCheck antenna = brevan::check::test::typicalCheck();
    const CheckReport straight = withCheck(antenna);
    antenna.built.shape.legAngle = 112.0;
    antenna.built.shape.droop = 34.0 * 3.14159265358979 / 180.0;
    antenna.trimmed->shape = antenna.built.shape;
    antenna.trimmed->shape.legAngle = 120.0;
    antenna.trimmed->shape.droop = 30.0 * 3.14159265358979 / 180.0;
    const CheckReport v = withCheck(antenna, {{"shape", "inverted-v"}, {"leg-angle", "120"}});

    ASSERT_TRUE(hungShape(v).has_value());
    EXPECT_EQ(hungShape(v)->legAngle, 120.0); // as trimmed: as it will hang
    EXPECT_FALSE(hungShape(straight).has_value());
    const auto [vPixels, vWords] = drawn(v);
    const auto [straightPixels, straightWords] = drawn(straight);
    EXPECT_GT(vPixels, 10);
    EXPECT_EQ(straightPixels, 0);
    EXPECT_TRUE(vWords.contains(QStringLiteral("inverted V, 120 degrees between the legs")))
        << vWords.toStdString();
    EXPECT_FALSE(straightWords.contains(QStringLiteral("inverted V")));
    // The lengths are the same either way.
    EXPECT_EQ(markedLengths(v).size(), markedLengths(straight).size());
}

} // namespace
