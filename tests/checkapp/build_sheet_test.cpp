// SPDX-License-Identifier: GPL-3.0-or-later
// The build sheet as a printer and a reader get it: one page of the locale's paper, its text
// read back with pdftotext (poppler-utils) holding the cut list's figures, the date and the
// version; a sheet that cannot be written leaves nothing behind.
#include "build_sheet.h"

#include "checked_report.h"
#include "report/advice.h"
#include "report/report_format.h"
#include "report/tolerance_words.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

using brevan::check::CheckReport;
using brevan::check::number;
using namespace brevan::checkapp::test;

const QString kVersion = QStringLiteral("7.7.7-sheet");
const QDate kDate(2031, 3, 14);

// A poppler tool's standard output for `pdf`; the test fails when the tool is missing.
QString poppler(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        ADD_FAILURE() << tool.toStdString() << " did not run (Debian package poppler-utils): "
                      << process.errorString().toStdString()
                      << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

struct ReadSheet {
    int pages = 0;
    QString pageSize; // as pdfinfo says it: "595.276 x 841.89 pts (A4)"
    QString text;     // words separated by single spaces
};

ReadSheet readBack(const QString& path) {
    ReadSheet sheet;
    const QString info = poppler(QStringLiteral("pdfinfo"), {path});
    sheet.pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
    sheet.pageSize =
        QRegularExpression(QStringLiteral("Page size:\\s+([^\\n]+)")).match(info).captured(1);
    sheet.text = poppler(QStringLiteral("pdftotext"), {path, QStringLiteral("-")}).simplified();
    return sheet;
}

QString metres(double value) {
    return QString::fromStdString(number(value, 3)) + QStringLiteral(" m");
}

struct SheetCase {
    const char* name;
    std::function<CheckReport()> report;
    QPageSize::PageSizeId page;
    const char* pageName; // pdfinfo's name of the paper
};

class BuildSheet : public testing::TestWithParam<SheetCase> {};

TEST_P(BuildSheet, IsOnePageWhoseTextHoldsTheCutListDateAndVersion) {
    const CheckReport report = GetParam().report();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(buildSheetPdf(report, kVersion, GetParam().page, kDate));
    }
    const ReadSheet sheet = readBack(path);
    EXPECT_EQ(sheet.pages, 1);
    EXPECT_TRUE(sheet.pageSize.contains(QLatin1String(GetParam().pageName)))
        << sheet.pageSize.toStdString();

    const brevan::check::CutList& cut = report.cut;
    QStringList figures = {metres(cut.outerWire),
                           metres(cut.outerWireToCut),
                           metres(cut.tipSpare),
                           metres(cut.coilWireEach),
                           metres(cut.antennaWireTotal),
                           metres(cut.coilWireTotal),
                           kVersion,
                           kDate.toString(Qt::ISODate)};
    if (!cut.coilsAtFeed) {
        figures << metres(cut.innerWire);
    }
    if (cut.tipChange) {
        figures << QStringLiteral("+") + metres(*cut.tipChange);
    }
    // The verdict as the sheet words it: what the coils and tips hold in one line.
    for (const std::string& sentence : brevan::check::sheetVerdictSentences(report)) {
        figures << QString::fromStdString(sentence).simplified().left(40);
    }
    for (const QString& figure : figures) {
        EXPECT_TRUE(sheet.text.contains(figure)) << figure.toStdString();
    }
}

// The checked typical design's sheet has the tolerance table and still room for the plot.
TEST(BuildSheetTolerances, TheTableAndWhatMattersMostAreOnThePage) {
    const CheckReport& report = checkedTypicalReport();
    ASSERT_TRUE(report.antenna && report.antenna->tolerances);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(buildSheetPdf(report, kVersion, QPageSize::A4, kDate));
    }
    const ReadSheet sheet = readBack(path);
    EXPECT_EQ(sheet.pages, 1);
    for (const brevan::check::ToleranceLine& line : brevan::check::toleranceLines(report)) {
        EXPECT_TRUE(sheet.text.contains(QString::fromStdString(line.difference)))
            << line.difference;
    }
    EXPECT_TRUE(sheet.text.contains(QStringLiteral("What matters most for this design")));
    EXPECT_FALSE(sheet.text.contains(QStringLiteral("No room left")));
}

INSTANTIATE_TEST_SUITE_P(
    Designs, BuildSheet,
    testing::Values(
        SheetCase{"typical_on_A4", [] { return checkedTypicalReport(); }, QPageSize::A4, "A4"},
        SheetCase{"typical_on_Letter", [] { return checkedTypicalReport(); }, QPageSize::Letter,
                  "letter"},
        SheetCase{"coils_at_the_feed",
                  [] {
                      return withCheck(brevan::check::test::typicalCheck(), {{"distance", "0"}});
                  },
                  QPageSize::A4, "A4"},
        SheetCase{"trim_that_misses_F", [] { return withCheck(missedTrim()); }, QPageSize::Letter,
                  "letter"},
        SheetCase{"before_the_full_wave_check", [] { return brevan::check::test::typicalReport(); },
                  QPageSize::A4, "A4"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(BuildSheetPaper, LetterOnlyWhereTheLocaleMeasuresInUsUnits) {
    const std::pair<QLocale::MeasurementSystem, QPageSize::PageSizeId> rows[] = {
        {QLocale::MetricSystem, QPageSize::A4},
        {QLocale::ImperialUSSystem, QPageSize::Letter},
        {QLocale::ImperialUKSystem, QPageSize::A4}};
    for (const auto& [system, page] : rows) {
        EXPECT_EQ(buildSheetPageSize(system), page) << system;
    }
}

TEST(BuildSheetFile, IsWrittenOnTheLocalesPaper) {
    const QLocale before;
    const std::pair<QLocale, const char*> rows[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), "letter"},
        {QLocale(QLocale::German, QLocale::Germany), "A4"}};
    for (const auto& [locale, paper] : rows) {
        QLocale::setDefault(locale);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
        QString error;
        EXPECT_TRUE(writeBuildSheet(path, checkedTypicalReport(), kVersion, &error))
            << error.toStdString();
        EXPECT_TRUE(error.isEmpty());
        const ReadSheet sheet = readBack(path);
        EXPECT_EQ(sheet.pages, 1);
        EXPECT_TRUE(sheet.pageSize.contains(QLatin1String(paper))) << sheet.pageSize.toStdString();
        EXPECT_TRUE(sheet.text.contains(metres(checkedTypicalReport().cut.outerWireToCut)));
    }
    QLocale::setDefault(before);
}

TEST(BuildSheetFile, ThatCannotBeWrittenLeavesNothingAndSaysWhy) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no such folder/sheet.pdf"));
    QString error;
    EXPECT_FALSE(writeBuildSheet(path, checkedTypicalReport(), kVersion, &error));
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 0);
}

} // namespace
