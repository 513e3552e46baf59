// SPDX-License-Identifier: GPL-3.0-or-later
// The tolerance table in words: the text report's section, the JSON, and the sentence that names
// what matters most, from hand-made tables on the typical design's check.

#include "hand_made_report.h"
#include "report/report_json.h"
#include "report/report_text.h"
#include "report/tolerance_words.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

namespace brevan::check {
namespace {

using test::typicalCheck;
using test::typicalReport;

// The typical design's table: close-wound, in free space.
ToleranceTable typicalTable() {
    ToleranceTable t;
    t.ofTrimmed = true;
    t.resonanceMHz = 7.0521;
    t.swr = 1.023;
    for (const Tolerance which : kAllTolerances) {
        t.rows.push_back(
            ToleranceRow{which, true, ToleranceMove{-5, 1.05}, ToleranceMove{5, 1.07}});
    }
    t.rows[0] = {Tolerance::Turns, true, ToleranceMove{-286.9, 6.51}, ToleranceMove{302.06, 5.72}};
    t.rows[2] = {Tolerance::WindingLength, false, std::nullopt, std::nullopt};
    t.rows[5] = {Tolerance::Height, false, std::nullopt, std::nullopt};
    t.mattersMost = mattersMost(t.rows);
    return t;
}

CheckReport reportWith(std::optional<ToleranceTable> table) {
    CheckReport report = typicalReport();
    AntennaCheck check = typicalCheck();
    check.tolerances = std::move(table);
    applyAntennaCheck(report, check);
    return report;
}

TEST(ToleranceWords, KilohertzAsPeopleReadThem) {
    const struct {
        double khz;
        const char* text;
    } cases[] = {{302.06, "+302 kHz"}, {-286.9, "-287 kHz"}, {-6.54, "-6.5 kHz"},
                 {9.96, "+10 kHz"},    {0.04, "0 kHz"},      {-0.06, "-0.1 kHz"}};
    for (const auto& c : cases) {
        EXPECT_EQ(khzMove(c.khz), c.text) << c.khz;
    }
}

TEST(ToleranceWords, TheTextReportHasTheTableAndNamesWhatMattersMost) {
    const std::string text = reportText(reportWith(typicalTable()), "test");
    EXPECT_NE(text.find("How exactly to build it"), std::string::npos) << text;
    EXPECT_NE(text.find("as built and trimmed: resonance 7.052 MHz, SWR 1.02 at F"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("1 turn more / fewer           -287 kHz / +302 kHz   6.51 / 5.72"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Winding +1 mm / -1 mm         does not apply: a close-wound"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Height +1 m / -1 m            does not apply: free space has no height"),
              std::string::npos)
        << text;
    // The trimmed antenna's 2:1 band is 211 kHz wide: 302 kHz is 1.4 times it.
    EXPECT_EQ(toleranceSentence(reportWith(typicalTable())),
              "What matters most for this design is the number of turns: one turn more or fewer "
              "moves the resonance by up to 302 kHz, 1.4 times the 2:1 band's width, and the SWR "
              "at F to 6.5; count the turns exactly.");

    ToleranceTable tips = typicalTable();
    tips.rows[0].applies = false; // a coil with no turns to count
    tips.rows[1] = {Tolerance::Tips, true, ToleranceMove{-8.1, 1.05}, ToleranceMove{8.1, 1.08}};
    tips.mattersMost = mattersMost(tips.rows);
    const CheckReport report = reportWith(tips);
    EXPECT_EQ(toleranceSentence(report),
              "What matters most for this design is the length of the tips: 1 cm more or less at "
              "each tip moves the resonance by up to 8.1 kHz, 4 % of the 2:1 band's width, and "
              "the SWR at F to 1.1; measure each tip to the centimetre, and trim by the analyser.");
    EXPECT_NE(reportText(report, "test").find("does not apply: the coil has no turns to count"),
              std::string::npos);
}

TEST(ToleranceWords, WithoutTheTableNothingIsSaid) {
    const CheckReport report = reportWith(std::nullopt);
    EXPECT_EQ(reportText(report, "test").find("How exactly"), std::string::npos);
    EXPECT_TRUE(toleranceLines(report).empty());
    EXPECT_EQ(toleranceSentence(report), "");
    const QJsonObject root =
        QJsonDocument::fromJson(QByteArray::fromStdString(reportJson(report, "test"))).object();
    EXPECT_TRUE(root["antenna"].toObject()["tolerances"].isNull());
}

TEST(ToleranceWords, TheJsonCarriesEveryRowAndSide) {
    const QJsonObject t =
        QJsonDocument::fromJson(
            QByteArray::fromStdString(reportJson(reportWith(typicalTable()), "test")))
            .object()["antenna"]
            .toObject()["tolerances"]
            .toObject();
    EXPECT_EQ(t["of"].toString(), "trimmed");
    EXPECT_EQ(t["matters_most"].toString(), "turns");
    EXPECT_DOUBLE_EQ(t["resonance_mhz"].toDouble(), 7.0521);
    const QJsonObject rows = t["rows"].toObject();
    EXPECT_EQ(rows.size(), kTolerances);
    const QJsonObject turns = rows["turns"].toObject();
    EXPECT_TRUE(turns["applies"].toBool());
    EXPECT_DOUBLE_EQ(turns["more"].toObject()["resonance_move_khz"].toDouble(), -286.9);
    EXPECT_DOUBLE_EQ(turns["less"].toObject()["swr"].toDouble(), 5.72);
    for (const char* key : {"winding_length", "height"}) {
        const QJsonObject row = rows[key].toObject();
        EXPECT_FALSE(row["applies"].toBool()) << key;
        EXPECT_TRUE(row["more"].isNull()) << key;
        EXPECT_TRUE(row["less"].isNull()) << key;
    }
    EXPECT_TRUE(t["sentence"].toString().startsWith("What matters most"));
}

} // namespace
} // namespace brevan::check
