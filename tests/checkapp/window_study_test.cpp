// SPDX-License-Identifier: GPL-3.0-or-later
// Where the coils should go, in the window: the study runs with the real nec2c for the design on
// screen, says what the command says, and a position taken from its picture becomes the
// design's B; a change of anything but B puts the study away.
#include "study_panel.h"
#include "window_fixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>

namespace {

// The command's study of the window's first design.
QJsonObject commandStudy() {
    QProcess process;
    process.start(QStringLiteral(BREVAN_CHECK_EXE),
                  {"--frequency", "7.05", "--length", "15", "--distance", "3", "--wire", "16",
                   "--former", "50", "--coil-length", "40", "--coil-wire", "20", "--study",
                   "coil-position", "--format", "json"});
    process.waitForFinished(120000);
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object()["study"].toObject();
}

} // namespace

TEST_F(WindowTest, TheStudyTellsWhereTheCoilsGoAndAPositionTakenBecomesB) {
    auto* panel = find<StudyPanel>("studyPanel");
    auto* plot = find<StudyPlotWidget>("studyPlot");
    QTest::mouseClick(find<QPushButton>("runStudy"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([panel] { return panel->studied().has_value(); }, 60000))
        << find<QLabel>("studyStatus")->text().toStdString();

    // The same study as the command's, sentence for sentence.
    const QJsonObject command = commandStudy();
    QStringList said;
    for (const QJsonValue& line : command["sentences"].toArray()) {
        said << line.toString();
    }
    EXPECT_EQ(find<QLabel>("studySentences")->text(), said.join('\n'));
    const auto& points = panel->studied()->study->points;
    ASSERT_EQ(static_cast<qsizetype>(points.size()), command["points"].toArray().size());

    // A click on the second position's marker takes its B into the form.
    const brevan::check::StudyPicture picture = brevan::check::studyPicture(*panel->studied());
    const double scale = std::min(plot->width() / picture.kWidth, plot->height() / picture.kHeight);
    const double left = (plot->width() - picture.kWidth * scale) / 2;
    const QPoint at(static_cast<int>(std::lround(left + picture.xs[1] * scale)),
                    plot->height() / 2);
    ASSERT_EQ(plot->pointAtPixel(at.x()), 1U);
    QTest::mouseClick(plot, Qt::LeftButton, {}, at);
    auto* distance = find<QLineEdit>("distanceEdit");
    EXPECT_EQ(distance->text().toDouble(), std::round(points[1].coilDistance * 1000) / 1000);
    // The study still holds: only B changed.
    EXPECT_TRUE(panel->studied().has_value());

    // With the keyboard: the last position, then Enter.
    plot->setFocus();
    QTest::keyClick(plot, Qt::Key_End);
    QTest::keyClick(plot, Qt::Key_Return);
    EXPECT_EQ(distance->text().toDouble(), std::round(points.back().coilDistance * 1000) / 1000);
    EXPECT_NE(plot->accessibleDescription().indexOf("B = "), -1);

    // Another length is another antenna: the study is put away.
    type("lengthEdit", "14");
    EXPECT_FALSE(panel->studied().has_value());
}
