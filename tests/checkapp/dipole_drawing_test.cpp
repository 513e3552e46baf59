// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing of what to cut: the lengths written on it are the cut list's, piece by piece and
// in total, for the typical design checked by nec2c and for the cases that change its shape.
#include "dipole_drawing.h"

#include "checked_report.h"
#include "report/report_format.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

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

// A trim found from a measured sweep: its words are the longest on the drawing.
CheckReport measuredCut(double tipChange) {
    CheckReport report = withCheck(cuttingCheck(0.27));
    report.measured.emplace();
    report.measured->calibration.outcome = brevan::check::CalibrationOutcome::Calibrated;
    report.measured->calibration.tipChange = tipChange;
    return report;
}

std::string dump(const DipoleLayout& layout, const QRectF& rect) {
    std::string out = "\n  in " + std::to_string(rect.width()) + " x " + std::to_string(rect.height());
    for (const DrawnText& t : layout.texts) {
        out += "\n  " + t.text.toStdString() + ": " + std::to_string(t.box.left()) + ", " +
               std::to_string(t.box.top()) + ", " + std::to_string(t.box.width()) + " x " +
               std::to_string(t.box.height());
    }
    return out;
}

// A vertical leader runs through words when it passes between their sides and their top and
// bottom.
bool crosses(const QLineF& leader, const QRectF& box) {
    const double top = std::min(leader.y1(), leader.y2());
    const double bottom = std::max(leader.y1(), leader.y2());
    return leader.x1() > box.left() && leader.x1() < box.right() && top < box.bottom() &&
           bottom > box.top();
}

// The words along the wire, "feed", "tip" and every length's, at widths from the narrowest the
// widget allows to a wide screen and in the lowest and a tall drawing: none over another, none run
// through by a leader, all inside the drawing. The short pieces at the tip are where they
// crowded each other: trims of a centimetre and of metres, added and cut, none, and the
// measured sweep's longer words.
TEST(DrawingLayout, WordsNeitherOverlapNorAreCrossedByLeaders) {
    const std::vector<std::pair<const char*, std::function<CheckReport()>>> designs = {
        {"typical, +32 cm", [] { return checkedTypicalReport(); }},
        {"a trim of +1 cm", [] { return withCheck(cuttingCheck(0.01)); }},
        {"a trim of -1 cm", [] { return withCheck(cuttingCheck(-0.01)); }},
        {"a trim of +1.6 m", [] { return withCheck(cuttingCheck(1.6)); }},
        {"a trim of -2.1 m", [] { return withCheck(cuttingCheck(-2.1)); }},
        {"no trim reaches F", [] { return withCheck(missedTrim()); }},
        {"before the full-wave check", [] { return brevan::check::test::typicalReport(); }},
        {"coils at the feed",
         [] {
             return withCheck(brevan::check::test::typicalCheck(), {{"distance", "0"}});
         }},
        {"coils near the tip",
         [] {
             return withCheck(brevan::check::test::typicalCheck(), {{"distance", "5.5"}});
         }},
        {"as measured, cut 4 cm", [] { return measuredCut(-0.04); }},
        {"as measured, add 35 cm", [] { return measuredCut(0.35); }},
    };
    const DipoleDrawing widget;
    const QFontMetricsF metrics(widget.font());
    const double h = metrics.height();
    int layouts = 0;
    for (const auto& [name, make] : designs) {
        const CheckReport report = make();
        for (const double lines : {30.0, 34.0, 40.0, 48.0, 64.0, 90.0}) {
            for (const double tall : {12.0, 30.0}) { // the least height the widget asks for
                const QRectF rect(4, 4, lines * h, tall * h);
                const DipoleLayout layout = dipoleLayout(rect, report, metrics);
                SCOPED_TRACE(std::string(name) + ", " + std::to_string(int(lines)) + " x " +
                             std::to_string(int(tall)) + " lines");
                const std::vector<DrawnText>& texts = layout.texts;
                ASSERT_GE(texts.size(), 5u);
                for (std::size_t i = 0; i < texts.size(); ++i) {
                    EXPECT_TRUE(rect.adjusted(-0.5, -0.5, 0.5, 0.5).contains(texts[i].box))
                        << texts[i].text.toStdString() << dump(layout, rect);
                    for (std::size_t j = i + 1; j < texts.size(); ++j) {
                        EXPECT_FALSE(texts[i].box.intersects(texts[j].box))
                            << '"' << texts[i].text.toStdString() << "\" over \""
                            << texts[j].text.toStdString() << '"';
                    }
                    for (const QLineF& leader : layout.leaders) {
                        EXPECT_FALSE(crosses(leader, texts[i].box))
                            << "a leader at x " << leader.x1() << " through \""
                            << texts[i].text.toStdString() << '"';
                    }
                }
                ++layouts;
            }
        }
    }
    EXPECT_EQ(layouts, 11 * 6 * 2);
}

// With room for a coil of a readable size under the wire, the coil goes there, so no space is
// left empty under the wire; in a low drawing the coil stands beside it. Either way the
// painting reaches down to the foot of the drawing.
TEST(DrawingLayout, NoEmptySpaceUnderTheWire) {
    const CheckReport report = checkedTypicalReport();
    for (const auto& [width, height, below] :
         {std::tuple{1100, 460, true}, std::tuple{700, 600, true}, std::tuple{1100, 200, false},
          std::tuple{600, 170, false}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        DipoleDrawing drawing;
        drawing.resize(width, height);
        drawing.setReport(report);
        const QFontMetricsF metrics(drawing.font());
        const QRectF rect(4, 4, width - 8, height - 8);
        const DipoleLayout layout = dipoleLayout(rect, report, metrics);
        double lowestWords = 0.0;
        for (const DrawnText& text : layout.texts) {
            lowestWords = std::max(lowestWords, text.box.bottom());
        }
        if (below) {
            EXPECT_GT(layout.coilPart.top(), lowestWords);
            EXPECT_DOUBLE_EQ(layout.coilPart.bottom(), rect.bottom());
            EXPECT_DOUBLE_EQ(layout.wirePart.width(), rect.width());
        } else {
            EXPECT_GT(layout.coilPart.left(), layout.wirePart.right());
        }
        // The lowest painted row is near the foot: the coil's winding length under it.
        const QImage image = drawing.grab().toImage();
        const QColor background = drawingColours(drawing.palette()).background;
        int lowest = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) != background) {
                    lowest = y;
                    break;
                }
            }
        }
        const double r = image.devicePixelRatio();
        EXPECT_GT(lowest / r, height - 3 * metrics.height());
    }
}

} // namespace
