// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/svg_plot.h"

#include <QString>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <locale>
#include <map>

namespace brevan::check {
namespace {

// What a reader of the picture sees: the element names, texts by class, the frame and the
// polylines' points, read back with a real XML parser.
struct ParsedSvg {
    bool wellFormed = false;
    std::string error;
    std::vector<std::string> texts;
    std::map<std::string, std::vector<std::string>> textsByClass;
    std::vector<std::vector<std::pair<double, double>>> polylines;
    double frameTop = 0.0;
    double frameBottom = 0.0;
    double frameLeft = 0.0;
    double frameRight = 0.0;
    std::string rootName;
};

std::vector<std::pair<double, double>> pointsOf(const QString& attribute) {
    std::vector<std::pair<double, double>> points;
    for (const QString& pair : attribute.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const auto xy = pair.split(QLatin1Char(','));
        points.emplace_back(xy.value(0).toDouble(), xy.value(1).toDouble());
    }
    return points;
}

ParsedSvg parse(const std::string& svg) {
    ParsedSvg parsed;
    QXmlStreamReader reader(QString::fromStdString(svg));
    std::string currentClass;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const auto attributes = reader.attributes();
            const std::string name = reader.name().toString().toStdString();
            if (parsed.rootName.empty()) {
                parsed.rootName = name;
            }
            if (name == "polyline") {
                parsed.polylines.push_back(
                    pointsOf(attributes.value(QStringLiteral("points")).toString()));
            } else if (name == "rect" &&
                       attributes.value(QStringLiteral("class")) == QStringLiteral("frame")) {
                parsed.frameLeft = attributes.value(QStringLiteral("x")).toDouble();
                parsed.frameTop = attributes.value(QStringLiteral("y")).toDouble();
                parsed.frameRight =
                    parsed.frameLeft + attributes.value(QStringLiteral("width")).toDouble();
                parsed.frameBottom =
                    parsed.frameTop + attributes.value(QStringLiteral("height")).toDouble();
            } else if (name == "text") {
                currentClass = attributes.value(QStringLiteral("class")).toString().toStdString();
                const std::string content = reader.readElementText().toStdString();
                parsed.texts.push_back(content);
                parsed.textsByClass[currentClass].push_back(content);
            }
        }
    }
    parsed.wellFormed = !reader.hasError();
    parsed.error = reader.errorString().toStdString();
    return parsed;
}

// A dip of SWR 1.1 at `centre`, rising steeply on either side.
PlotCurve dip(const std::string& label, double centre, double low, double high, int count) {
    PlotCurve curve{label, {}};
    for (int i = 0; i < count; ++i) {
        const double f = low + (high - low) * i / (count - 1);
        const double x = (f - centre) / (0.02 * centre);
        curve.points.emplace_back(f, 1.1 + 3.0 * x * x);
    }
    return curve;
}

std::vector<PlotCurve> threeCurves() {
    return {dip("as designed", 7.30, 6.7, 7.7, 81), dip("as built", 7.38, 6.7, 7.7, 81),
            dip("as built, trimmed", 7.05, 6.7, 7.7, 81)};
}

bool isNice(double step) {
    const double decade = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (std::abs(step - factor * decade) < 1e-9 * step) {
            return true;
        }
    }
    return false;
}

// Both layouts: the report's, and the compact one for a phone and a printed sheet.
TEST(SwrPlot, WellFormedWithOneLinePerCurveAndALegend) {
    using Writer = std::string (*)(const std::vector<PlotCurve>&, double, const std::string&);
    for (const auto& [name, write] :
         {std::pair<const char*, Writer>{"wide", swrPlotSvg},
          std::pair<const char*, Writer>{"compact", compactSwrPlotSvg}}) {
        SCOPED_TRACE(name);
        const auto curves = threeCurves();
        const ParsedSvg svg = parse(write(curves, 7.05, "SWR of the 40 m dipole"));
        ASSERT_TRUE(svg.wellFormed) << svg.error;
        EXPECT_EQ(svg.rootName, "svg");
        ASSERT_EQ(svg.polylines.size(), curves.size());
        for (std::size_t i = 0; i < curves.size(); ++i) {
            // Every point, and where the curve leaves and re-enters the frame at the top.
            EXPECT_GE(svg.polylines[i].size(), curves[i].points.size());
            for (const auto& [x, y] : svg.polylines[i]) {
                EXPECT_TRUE(x >= svg.frameLeft - 1e-9 && x <= svg.frameRight + 1e-9 &&
                            y >= svg.frameTop - 1e-9 && y <= svg.frameBottom + 1e-9)
                    << x << "," << y;
            }
        }
        const auto& legend = svg.textsByClass.at("legend");
        ASSERT_EQ(legend.size(), curves.size());
        for (std::size_t i = 0; i < curves.size(); ++i) {
            EXPECT_EQ(legend[i], curves[i].label);
        }
        for (const char* wanted : {"Frequency (MHz)", "SWR", "2:1", "SWR of the 40 m dipole"}) {
            EXPECT_NE(std::find(svg.texts.begin(), svg.texts.end(), wanted), svg.texts.end())
                << wanted;
        }
        const auto& design = svg.textsByClass.at("design");
        ASSERT_EQ(design.size(), 1u);
        EXPECT_EQ(design[0], "7.050 MHz");
    }
}

TEST(SwrPlot, FrequencyTicksAreNiceDistinctAndInRange) {
    struct Row {
        double low;
        double high;
        double design;
    };
    const std::vector<Row> rows = {
        {6.7, 7.7, 7.05},     {3.55, 3.82, 3.7}, {28.1, 29.6, 28.5},
        {7.0, 7.003, 7.0015}, {1.81, 2.0, 1.9},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.low);
        const ParsedSvg svg =
            parse(swrPlotSvg({dip("one", row.design, row.low, row.high, 61)}, row.design, "ticks"));
        ASSERT_TRUE(svg.wellFormed) << svg.error;
        const auto& labels = svg.textsByClass.at("xtick");
        ASSERT_GE(labels.size(), 3u);
        ASSERT_LE(labels.size(), 12u);
        std::vector<double> ticks;
        for (const std::string& label : labels) {
            ticks.push_back(std::stod(label));
            EXPECT_GE(ticks.back(), row.low - 1e-9);
            EXPECT_LE(ticks.back(), row.high + 1e-9);
        }
        const double step = ticks[1] - ticks[0];
        EXPECT_TRUE(isNice(step)) << step;
        for (std::size_t i = 1; i < ticks.size(); ++i) {
            EXPECT_NE(labels[i], labels[i - 1]);
            EXPECT_NEAR(ticks[i] - ticks[i - 1], step, 1e-6 * step);
        }
    }
}

TEST(SwrPlot, SwrTicksAreTheUsualOnes) {
    const ParsedSvg svg = parse(swrPlotSvg(threeCurves(), 7.05, "ticks"));
    const std::vector<std::string> expected = {"1", "1.5", "2", "3", "5"};
    EXPECT_EQ(svg.textsByClass.at("ytick"), expected);
}

TEST(SwrPlot, PointsAboveTheTopStayInTheFrame) {
    PlotCurve curve{"steep", {{7.0, 1.2}, {7.1, 40.0}, {7.2, 1.5}, {7.3, INFINITY}}};
    const ParsedSvg svg = parse(swrPlotSvg({curve}, 7.1, "clipped"));
    ASSERT_TRUE(svg.wellFormed) << svg.error;
    ASSERT_EQ(svg.polylines.size(), 1u);
    const auto& points = svg.polylines[0];
    int onTop = 0;
    for (const auto& [x, y] : points) {
        EXPECT_GE(y, svg.frameTop - 1e-9);
        EXPECT_LE(y, svg.frameBottom + 1e-9);
        EXPECT_GE(x, svg.frameLeft - 1e-9);
        EXPECT_LE(x, svg.frameRight + 1e-9);
        onTop += std::abs(y - svg.frameTop) < 1e-6 ? 1 : 0;
    }
    // Three points on the top edge for the spike (in, at, out) and two for the last (in, at).
    EXPECT_EQ(onTop, 5);
    // The line enters the top edge where the curve crosses SWR 5, between 7.0 and 7.1 MHz.
    EXPECT_GT(points[1].first, points[0].first);
    EXPECT_LT(points[1].first, points[2].first);
}

TEST(SwrPlot, TextsAreEscaped) {
    const std::string title = "Tom & Jerry's <dipole> \"40 m\"";
    PlotCurve curve = dip("a < b & c", 7.05, 6.9, 7.2, 11);
    const std::string raw = swrPlotSvg({curve}, 7.05, title);
    EXPECT_EQ(raw.find("<dipole>"), std::string::npos);
    const ParsedSvg svg = parse(raw);
    ASSERT_TRUE(svg.wellFormed) << svg.error;
    EXPECT_NE(std::find(svg.texts.begin(), svg.texts.end(), title), svg.texts.end());
    EXPECT_EQ(svg.textsByClass.at("legend").at(0), "a < b & c");
}

// A decimal comma for the C++ streams, whatever the machine has installed.
struct CommaDecimals : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

void expectPointsOnly(const std::string& raw) {
    const ParsedSvg svg = parse(raw);
    ASSERT_TRUE(svg.wellFormed) << svg.error;
    EXPECT_EQ(svg.textsByClass.at("design").at(0), "7.050 MHz");
    for (const auto& label : svg.textsByClass.at("xtick")) {
        EXPECT_EQ(label.find(','), std::string::npos) << label;
    }
    for (const auto& points : svg.polylines) {
        EXPECT_GT(points.size(), 10u); // "x,y" pairs would split wrongly with decimal commas
        for (const auto& [x, y] : points) {
            EXPECT_GT(x, 1.0);
            EXPECT_GT(y, 1.0);
        }
    }
}

TEST(SwrPlot, NumbersUseAPointWhateverTheStreamLocale) {
    const std::locale saved =
        std::locale::global(std::locale(std::locale::classic(), new CommaDecimals));
    const std::string raw = swrPlotSvg(threeCurves(), 7.05, "locale");
    std::locale::global(saved);
    expectPointsOnly(raw);
}

TEST(SwrPlot, NumbersUseAPointWhateverTheCLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8")) {
        GTEST_SKIP() << "no C locale with a decimal comma is installed";
    }
    const std::string raw = swrPlotSvg(threeCurves(), 7.05, "locale");
    std::setlocale(LC_NUMERIC, saved.c_str());
    expectPointsOnly(raw);
}

TEST(SwrPlot, NoCurvesStillDrawsTheFrame) {
    const ParsedSvg svg = parse(swrPlotSvg({}, 14.2, "empty"));
    ASSERT_TRUE(svg.wellFormed) << svg.error;
    EXPECT_TRUE(svg.polylines.empty());
    EXPECT_GT(svg.frameBottom, svg.frameTop);
    EXPECT_FALSE(svg.textsByClass.at("xtick").empty());
}

} // namespace
} // namespace brevan::check
