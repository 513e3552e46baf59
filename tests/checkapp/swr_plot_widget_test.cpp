// SPDX-License-Identifier: GPL-3.0-or-later
// The SWR plot as a person uses it: painted on a light and a dark theme, read out under the
// pointer and the keyboard's cursor, zoomed with the wheel and the keys and reset.
#include "swr_plot_widget.h"

#include "checked_report.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {

using brevan::check::PlotCurve;
using brevan::checkapp::test::checkedTypicalReport;
using brevan::checkapp::test::pixelsLike;

QPalette themed(const QColor& base, const QColor& text) {
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Window, base);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::WindowText, text);
    return palette;
}

struct Plot {
    SwrPlotWidget widget;
    Plot() {
        widget.resize(900, 520);
        widget.setReport(checkedTypicalReport());
        widget.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&widget));
    }
    void moveTo(double frequencyMHz) {
        const QPointF at(std::round(widget.xForFrequency(frequencyMHz)), widget.height() / 2.0);
        QMouseEvent move(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&widget, &move);
    }
    void wheel(double frequencyMHz, int notches) {
        const QPointF at(widget.xForFrequency(frequencyMHz), widget.height() / 2.0);
        QWheelEvent event(at, widget.mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&widget, &event);
    }
    double span() const { return widget.view().highMHz - widget.view().lowMHz; }
};

// The read-out's numbers: its frequency and each antenna's SWR by label.
struct Reading {
    double frequencyMHz = 0.0;
    std::map<QString, double> swr;
};

Reading read(const QString& text) {
    Reading reading;
    reading.frequencyMHz = text.section(QLatin1Char(' '), 0, 0).toDouble();
    const QRegularExpression pair(QStringLiteral("   ([A-Za-z, ]+): SWR ([0-9.]+)"));
    for (auto it = pair.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        reading.swr[match.captured(1)] = match.captured(2).toDouble();
    }
    return reading;
}

// The SWRs of the curve's two points around `frequencyMHz`.
std::pair<double, double> bracket(const PlotCurve& curve, double frequencyMHz) {
    for (std::size_t i = 1; i < curve.points.size(); ++i) {
        if (curve.points[i].first >= frequencyMHz) {
            return std::minmax(curve.points[i - 1].second, curve.points[i].second);
        }
    }
    return {0.0, 0.0};
}

struct Theme {
    const char* name;
    QColor base;
    QColor text;
};

class SwrPlotTheme : public testing::TestWithParam<Theme> {};

TEST_P(SwrPlotTheme, PaintsEachCurveInAColourThatReadsOnTheBackground) {
    Plot plot;
    plot.widget.setPalette(themed(GetParam().base, GetParam().text));
    const PlotColours colours = plotColours(plot.widget.palette());
    const QImage image = plot.widget.grab().toImage();
    ASSERT_EQ(plot.widget.data().curves.size(), 3u);
    for (std::size_t i = 0; i < plot.widget.data().curves.size(); ++i) {
        EXPECT_GE(contrastRatio(colours.curves[i], GetParam().base), 3.0) << i;
        EXPECT_GT(pixelsLike(image, colours.curves[i]), 40 * image.devicePixelRatio()) << i;
    }
    EXPECT_EQ(image.pixelColor(image.width() / 2, 2).rgb(), GetParam().base.rgb());
}

INSTANTIATE_TEST_SUITE_P(Themes, SwrPlotTheme,
                         testing::Values(Theme{"light", Qt::white, Qt::black},
                                         Theme{"dark", QColor(0x23, 0x26, 0x29),
                                               QColor(0xef, 0xf0, 0xf1)},
                                         Theme{"grey", QColor(0x80, 0x80, 0x80), Qt::black},
                                         Theme{"navy", QColor(0x10, 0x18, 0x40), Qt::white}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(SwrPlot, WithoutAFullWaveCheckShowsNoCurvesAndNoReadOut) {
    SwrPlotWidget widget;
    widget.resize(600, 400);
    widget.setReport(brevan::check::test::typicalReport());
    const QImage image = widget.grab().toImage();
    EXPECT_FALSE(widget.hasCurves());
    for (const QColor& colour : plotColours(widget.palette()).curves) {
        EXPECT_EQ(pixelsLike(image, colour), 0);
    }
    QTest::keyClick(&widget, Qt::Key_Right);
    EXPECT_TRUE(widget.readOut().isEmpty());
}

TEST(SwrPlot, ReadOutUnderThePointerIsTheCurvesSwrThere) {
    Plot plot;
    const brevan::check::AntennaCheck& antenna = *checkedTypicalReport().antenna;
    const double pixel = plot.span() / plot.widget.width();
    for (const double target :
         {checkedTypicalReport().inputs.frequencyMHz, *antenna.built.resonanceMHz,
          *antenna.designed.band.lowerMHz, plot.widget.data().lowMHz + plot.span() * 0.9}) {
        plot.moveTo(target);
        const Reading reading = read(plot.widget.readOut());
        EXPECT_NEAR(reading.frequencyMHz, target, pixel + 0.0005) << target;
        ASSERT_EQ(reading.swr.size(), plot.widget.data().curves.size()) << target;
        for (const PlotCurve& curve : plot.widget.data().curves) {
            const auto [low, high] = bracket(curve, reading.frequencyMHz);
            const double shown = reading.swr.at(QString::fromStdString(curve.label));
            EXPECT_GE(shown, low - 0.006) << curve.label << " at " << target;
            EXPECT_LE(shown, high + 0.006) << curve.label << " at " << target;
        }
    }
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&plot.widget, &leave);
    EXPECT_TRUE(plot.widget.readOut().isEmpty());
}

TEST(SwrPlot, ArrowKeysWalkTheCursorAndPullAZoomedViewAlong) {
    Plot plot;
    const SwrPlotData& data = plot.widget.data();
    QTest::keyClick(&plot.widget, Qt::Key_Right);
    ASSERT_TRUE(plot.widget.cursorMHz());
    EXPECT_NEAR(*plot.widget.cursorMHz(), data.designMHz + 0.01 * plot.span(), 1e-9);
    EXPECT_NEAR(read(plot.widget.readOut()).frequencyMHz, *plot.widget.cursorMHz(), 0.0005);
    QTest::keyClick(&plot.widget, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_NEAR(*plot.widget.cursorMHz(), data.designMHz - 0.09 * plot.span(), 1e-9);
    QTest::keyClick(&plot.widget, Qt::Key_End);
    QTest::keyClick(&plot.widget, Qt::Key_Right);
    EXPECT_DOUBLE_EQ(*plot.widget.cursorMHz(), data.highMHz);

    QTest::keyClick(&plot.widget, Qt::Key_Plus);
    QTest::keyClick(&plot.widget, Qt::Key_Plus);
    QTest::keyClick(&plot.widget, Qt::Key_Home);
    const double low = plot.widget.view().lowMHz;
    const double span = plot.span();
    QTest::keyClick(&plot.widget, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_NEAR(plot.widget.view().lowMHz, low - 0.1 * span, 1e-9);
    EXPECT_NEAR(plot.span(), span, 1e-9);
    EXPECT_DOUBLE_EQ(*plot.widget.cursorMHz(), plot.widget.view().lowMHz);
    QTest::keyClick(&plot.widget, Qt::Key_Escape);
    EXPECT_TRUE(plot.widget.readOut().isEmpty());
}

// One way in, one way back out: every zoom narrows the view around where it was asked, every
// reset shows the whole sweep again.
struct ZoomRow {
    const char* name;
    void (*zoomIn)(Plot&, double atMHz);
    void (*reset)(Plot&);
};

class SwrPlotZoom : public testing::TestWithParam<ZoomRow> {};

TEST_P(SwrPlotZoom, NarrowsAroundThePointAndResetsToTheWholeSweep) {
    Plot plot;
    const SwrPlotData& data = plot.widget.data();
    const double at = data.lowMHz + 0.3 * (data.highMHz - data.lowMHz);
    const double xBefore = plot.widget.xForFrequency(at);
    GetParam().zoomIn(plot, at);
    EXPECT_LT(plot.span(), 0.8 * (data.highMHz - data.lowMHz));
    EXPECT_LT(plot.widget.view().lowMHz, at);
    EXPECT_GT(plot.widget.view().highMHz, at);
    EXPECT_NEAR(plot.widget.xForFrequency(at), xBefore, 2.0);
    GetParam().reset(plot);
    EXPECT_DOUBLE_EQ(plot.widget.view().lowMHz, data.lowMHz);
    EXPECT_DOUBLE_EQ(plot.widget.view().highMHz, data.highMHz);
}

void cursorThere(Plot& plot, double atMHz) {
    plot.moveTo(atMHz);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, SwrPlotZoom,
    testing::Values(ZoomRow{"wheel_then_key_0", [](Plot& p, double at) { p.wheel(at, 2); },
                            [](Plot& p) { QTest::keyClick(&p.widget, Qt::Key_0); }},
                    ZoomRow{"plus_then_double_click",
                            [](Plot& p, double at) {
                                cursorThere(p, at);
                                QTest::keyClick(&p.widget, Qt::Key_Plus);
                            },
                            [](Plot& p) {
                                QTest::mouseDClick(&p.widget, Qt::LeftButton, {},
                                                   p.widget.rect().center());
                            }},
                    ZoomRow{"equals_then_zoom_out_past_the_sweep",
                            [](Plot& p, double at) {
                                cursorThere(p, at);
                                QTest::keyClick(&p.widget, Qt::Key_Equal);
                            },
                            [](Plot& p) {
                                for (int i = 0; i < 6; ++i) {
                                    QTest::keyClick(&p.widget, Qt::Key_Minus);
                                }
                            }}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(SwrPlot, ZoomStopsAtAFewKilohertz) {
    Plot plot;
    const double whole = plot.span();
    plot.wheel(plot.widget.data().designMHz, 40);
    EXPECT_GT(plot.span(), whole / 250);
    EXPECT_GE(plot.widget.view().lowMHz, plot.widget.data().lowMHz);
    EXPECT_LE(plot.widget.view().highMHz, plot.widget.data().highMHz);
}

TEST(SwrPlot, CanBeReachedFromTheKeyboardAndNamedToAScreenReader) {
    Plot plot;
    EXPECT_EQ(plot.widget.focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    EXPECT_FALSE(plot.widget.accessibleName().isEmpty());
    plot.moveTo(plot.widget.data().designMHz);
    EXPECT_TRUE(plot.widget.accessibleDescription().contains(plot.widget.readOut()));
}

} // namespace
