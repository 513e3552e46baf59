// SPDX-License-Identifier: GPL-3.0-or-later
#include "build_sheet.h"

#include "coil/coil_losses.h"
#include "coil/coil_model.h"
#include "dipole_drawing.h"
#include "report/advice.h"
#include "report/report_format.h"
#include "report/tolerance_words.h"
#include "swr_plot.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using brevan::check::CheckReport;

constexpr int kDpi = 300;
constexpr double kMarginMm = 14.0;

double mm(double millimetres) {
    return millimetres * kDpi / 25.4;
}

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

QString m3(const CheckReport& r, double metres) {
    return q(brevan::check::Lengths(r.inputs.units).m(metres, 3));
}

// A length as written in metric, led by its feet and inches when the report is in them.
QString inchesFirst(const CheckReport& r, double metres, const std::string& metric) {
    return q(brevan::check::withInches(brevan::check::Lengths(r.inputs.units), metres, metric));
}

// An input as it was typed: no rounding, the full stop whatever the locale.
QString given(double value) {
    return QString::number(value, 'g', 12);
}

QFont sized(double points, bool bold = false) {
    QFont font;
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

using Rows = std::vector<std::pair<QString, QString>>;

// An input as typed, in its unit; in feet and inches first when the report is in them.
QString givenLength(const CheckReport& r, double metres, double typed, const char* unit) {
    return inchesFirst(r, metres, (given(typed) + QLatin1String(unit)).toStdString());
}

// A wire by its name; in feet and inches as AWG, with the wire as given beside.
QString wire(const CheckReport& r, bool coil) {
    const brevan::check::CheckInputs& in = r.inputs;
    const int swg = coil ? in.coilWireSwg : in.wireSwg;
    const auto& size = coil ? in.coilWireSize : in.wireSize;
    return q(in.units == brevan::check::LengthUnits::Imperial
                 ? brevan::check::awgText(swg, size,
                                          coil ? brevan::check::coilWireMm(in)
                                               : brevan::check::antennaWireMm(in))
                 : brevan::check::wireName(swg, size));
}

Rows inputRows(const CheckReport& r) {
    const brevan::check::CheckInputs& in = r.inputs;
    Rows rows{
        {QStringLiteral("Design frequency F"), given(in.frequencyMHz) + QStringLiteral(" MHz")},
        {QStringLiteral("Total length A"),
         givenLength(r, in.lengthM, in.lengthM, " m") + QStringLiteral(", tip to tip")},
        {QStringLiteral("Centre to coil B"), givenLength(r, in.distanceM, in.distanceM, " m") +
                                                 QStringLiteral(", to the middle of each coil")},
        {QStringLiteral("Antenna wire"), wire(r, false)},
        {QStringLiteral("Coil former diameter"),
         givenLength(r, in.formerMm / 1000, in.formerMm, " mm")},
        {QStringLiteral("Planned coil length"),
         givenLength(r, in.coilLengthMm / 1000, in.coilLengthMm, " mm")},
        {QStringLiteral("Coil wire"), wire(r, true)},
        {QStringLiteral("Pitch"), q(brevan::check::pitchWithTpi(
                                      brevan::check::Lengths(in.units), r.coil.coil.pitch,
                                      brevan::check::number(r.coil.coil.pitch * 1000, 3) + " mm")) +
                                      (in.pitchMm ? QString() : QStringLiteral(", close-wound"))}};
    if (in.coilQ) {
        rows.emplace_back(QStringLiteral("Coil Q"), q(brevan::check::significant(*in.coilQ, 3)));
    }
    rows.emplace_back(QStringLiteral("Surroundings"),
                      in.ground.kind == brevan::check::GroundKind::FreeSpace
                          ? QStringLiteral("free space")
                          : q(brevan::check::Lengths(in.units).m(in.ground.height, 2)) +
                                QStringLiteral(" over ") +
                                QString::fromLatin1(brevan::check::groundName(in.ground.kind)) +
                                QStringLiteral(" ground"));
    return rows;
}

Rows coilRows(const CheckReport& r) {
    const brevan::check::CoilAsWound& c = r.coil;
    const brevan::check::CoilLosses& l = r.losses;
    return {
        {QStringLiteral("Turns"),
         q(brevan::check::turnsText(c.coil.turns)) + QStringLiteral(" of ") + wire(r, true)},
        {QStringLiteral("Winding length"),
         inchesFirst(r, brevan::check::sheetLength(c.coil),
                     brevan::check::number(brevan::check::sheetLength(c.coil) * 1000, 1) + " mm") +
             QStringLiteral(" on a ") +
             givenLength(r, r.inputs.formerMm / 1000, r.inputs.formerMm, " mm") +
             QStringLiteral(" former")},
        {QStringLiteral("Inductance as wound"),
         q(brevan::check::significant(c.inductance * 1e6, 3)) + QStringLiteral(" uH")},
        {QStringLiteral("At F, as the antenna sees it"),
         q(brevan::check::significant(l.apparentInductance * 1e6, 3)) + QStringLiteral(" uH, ") +
             q(brevan::check::significant(l.apparentResistance, 3)) + QStringLiteral(" ohm")},
        {QStringLiteral("Q"), q(brevan::check::significant(l.q, 3)) +
                                  (l.qGiven ? QStringLiteral(", given")
                                            : QStringLiteral(", estimated from its losses"))},
        {QStringLiteral("Self-resonance"),
         q(brevan::check::significant(l.selfResonance / 1e6, 3)) + QStringLiteral(" MHz")},
        {QStringLiteral("Coil wire each"),
         m3(r, r.cut.coilWireEach) + QStringLiteral(", with ") +
             q(brevan::check::Lengths(r.inputs.units).mm(brevan::check::kCoilLeadAllowance, 0)) +
             QStringLiteral(" for each lead")}};
}

Rows cutRows(const CheckReport& r) {
    const brevan::check::CutList& c = r.cut;
    Rows rows;
    rows.emplace_back(QStringLiteral("Inner wire"),
                      c.coilsAtFeed ? QStringLiteral("none: B = 0, each coil starts at the feed")
                                    : m3(r, c.innerWire) + QStringLiteral(", centre to the coil"));
    rows.emplace_back(
        QStringLiteral("Coil"),
        q(brevan::check::turnsText(r.coil.coil.turns)) + QStringLiteral(", ") +
            inchesFirst(r, brevan::check::sheetLength(r.coil.coil),
                        brevan::check::number(brevan::check::sheetLength(r.coil.coil) * 1000, 1) +
                            " mm") +
            QStringLiteral(" long; ") + m3(r, c.coilWireEach) + QStringLiteral(" of coil wire"));
    rows.emplace_back(QStringLiteral("Outer wire as designed"),
                      m3(r, c.outerWire) + QStringLiteral(", coil to tip"));
    if (c.tipChange) {
        rows.emplace_back(QStringLiteral("Trim"),
                          (*c.tipChange >= 0 ? QStringLiteral("+") : QString()) +
                              m3(r, *c.tipChange) +
                              (*c.tipChange >= 0 ? QStringLiteral(", added at each tip")
                                                 : QStringLiteral(", cut from each tip")));
    } else if (r.antenna) {
        rows.emplace_back(QStringLiteral("Trim"),
                          QStringLiteral("none: no trim of the tips reaches F, cut as designed"));
    }
    rows.emplace_back(QStringLiteral("Outer wire to cut"),
                      m3(r, c.outerWireToCut) + QStringLiteral(", with ") + m3(r, c.tipSpare) +
                          QStringLiteral(" spare for the final adjustment"));
    rows.emplace_back(QStringLiteral("To buy"),
                      m3(r, c.antennaWireTotal) + QStringLiteral(" of ") + wire(r, false) +
                          QStringLiteral(" antenna wire, ") + m3(r, c.coilWireTotal) +
                          QStringLiteral(" of ") + wire(r, true) + QStringLiteral(" coil wire"));
    return rows;
}

// How far each building difference moves the resonance and the SWR at F.
Rows toleranceRows(const CheckReport& r) {
    Rows rows;
    for (const brevan::check::ToleranceLine& line : brevan::check::toleranceLines(r)) {
        rows.emplace_back(q(line.difference), line.notApplying.empty()
                                                  ? QStringLiteral("resonance ") +
                                                        q(line.resonance) +
                                                        QStringLiteral(", SWR at F ") + q(line.swr)
                                                  : q(line.notApplying));
    }
    return rows;
}

// Paints down the page from `y`; each call returns the height it took.
class Page {
public:
    Page(QPainter& painter, double width) : m_p(painter), m_width(width) {}

    double y() const { return m_y; }
    void skip(double height) { m_y += height; }

    void heading(const QString& text) {
        m_y += mm(2.5);
        m_p.setFont(sized(10.5, true));
        paragraph(text, 0, m_width);
        m_y += mm(0.8);
    }

    // Wrapped text in [left, left + width), returns nothing; advances y.
    void paragraph(const QString& text, double left, double width) {
        const QRectF box(left, m_y, width, mm(200));
        const QRectF used = m_p.boundingRect(box, Qt::TextWordWrap, text);
        m_p.drawText(box, Qt::TextWordWrap, text);
        m_y += used.height();
    }

    void bullets(const std::vector<std::string>& lines) {
        m_p.setFont(sized(9));
        for (const std::string& line : lines) {
            m_p.drawText(QPointF(mm(1), m_y + QFontMetricsF(m_p.font(), m_p.device()).ascent()),
                         QStringLiteral("-"));
            paragraph(q(line), mm(4), m_width - mm(4));
            m_y += mm(0.6);
        }
    }

    // A table of label and value in [left, left + width); returns its height.
    double rows(const Rows& rows, double left, double width, double labelWidth) {
        const double top = m_y;
        m_p.setFont(sized(8.5));
        for (const auto& [label, value] : rows) {
            const double start = m_y;
            m_p.setFont(sized(8.5, true));
            const QRectF labelBox(left, start, labelWidth - mm(2), mm(50));
            const double labelHeight = m_p.boundingRect(labelBox, Qt::TextWordWrap, label).height();
            m_p.drawText(labelBox, Qt::TextWordWrap, label);
            m_p.setFont(sized(8.5));
            paragraph(value, left + labelWidth, width - labelWidth);
            m_y = std::max(m_y, start + labelHeight) + mm(0.4);
        }
        return m_y - top;
    }

    void setY(double y) { m_y = y; }

private:
    QPainter& m_p;
    double m_width;
    double m_y = 0.0;
};

QPalette paper() {
    QPalette palette;
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    return palette;
}

void paintSheet(QPainter& p, const QRectF& area, const CheckReport& report, const QString& version,
                const QDate& date) {
    const double width = area.width();
    Page page(p, width);
    const QString stamp = date.toString(Qt::ISODate) + QStringLiteral("   BrevanCheck ") + version;

    p.setFont(sized(15, true));
    page.paragraph(QStringLiteral("Build sheet: a shortened, coil-loaded dipole for ") +
                       given(report.inputs.frequencyMHz) + QStringLiteral(" MHz"),
                   0, width);
    p.setFont(sized(8.5));
    page.paragraph(stamp, 0, width);

    page.heading(QStringLiteral("What it means"));
    page.bullets(brevan::check::sheetVerdictSentences(report));

    // Inputs and coil side by side.
    const double top = page.y();
    const double half = (width - mm(6)) / 2;
    page.heading(QStringLiteral("Inputs"));
    page.rows(inputRows(report), 0, half, mm(38));
    const double leftBottom = page.y();
    page.setY(top);
    p.save();
    p.translate(half + mm(6), 0);
    page.heading(QStringLiteral("The coil as wound"));
    page.rows(coilRows(report), 0, half, mm(46));
    p.restore();
    page.setY(std::max(leftBottom, page.y()));

    page.heading(QStringLiteral("Cut list, each half of the dipole (cut two of each)"));
    page.rows(cutRows(report), 0, width, mm(44));
    page.skip(mm(1.5));
    p.setFont(sized(7.5));
    const double drawingHeight = mm(42);
    paintDipoleDrawing(p, QRectF(0, page.y(), width, drawingHeight), report,
                       drawingColours(paper()));
    page.skip(drawingHeight);

    if (const Rows tolerances = toleranceRows(report); !tolerances.empty()) {
        page.heading(QStringLiteral("How exactly to build it, of the antenna ") +
                     q(brevan::check::toleranceBasis(report)));
        page.rows(tolerances, 0, width, mm(52));
        page.bullets({brevan::check::toleranceSentence(report)});
    }

    page.heading(QStringLiteral("SWR on 50 ohm"));
    p.setFont(sized(8));
    const double footer = QFontMetricsF(sized(8), p.device()).height() * 1.6;
    const double plotHeight = std::min(area.height() - page.y() - footer, mm(100));
    if (report.antenna && plotHeight > mm(30)) {
        SwrPlotData data = swrPlotData(report);
        SwrPlotView view;
        view.lowMHz = data.lowMHz;
        view.highMHz = data.highMHz;
        view.caption = QStringLiteral("The three antennas of the full-wave check (nec2c)");
        paintSwrPlot(p, QRectF(0, page.y(), width, plotHeight), data, view, plotColours(paper()));
    } else {
        page.paragraph(report.antenna
                           ? QStringLiteral("No room left on the page for the plot.")
                           : QStringLiteral("The full-wave check has not run: no SWR plot."),
                       0, width);
    }

    p.setFont(sized(8));
    p.setPen(Qt::black);
    p.drawText(QRectF(0, area.height() - footer, width, footer), Qt::AlignBottom | Qt::AlignLeft,
               QStringLiteral("Made with BrevanCheck ") + version + QStringLiteral(" on ") +
                   date.toString(Qt::ISODate) +
                   QStringLiteral(". Lengths in metres along the wire; cut two of each."));
}

} // namespace

QPageSize::PageSizeId buildSheetPageSize(QLocale::MeasurementSystem system) {
    return system == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4;
}

QByteArray buildSheetPdf(const CheckReport& report, const QString& version,
                         QPageSize::PageSizeId pageSize, const QDate& date) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setResolution(kDpi);
        pdf.setPageSize(QPageSize(pageSize));
        pdf.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                           QPageLayout::Millimeter);
        pdf.setTitle(QStringLiteral("Build sheet"));
        pdf.setCreator(QStringLiteral("BrevanCheck ") + version);
        QPainter painter;
        if (!painter.begin(&pdf)) {
            return {};
        }
        const QRect area = pdf.pageLayout().paintRectPixels(kDpi);
        paintSheet(painter, QRectF(0, 0, area.width(), area.height()), report, version, date);
        painter.end();
    }
    return bytes;
}

bool writeBuildSheet(const QString& path, const CheckReport& report, const QString& version,
                     QString* error) {
    const auto fail = [&](const QString& why) {
        if (error) {
            *error =
                QStringLiteral("Cannot write the build sheet ") + path + QStringLiteral(": ") + why;
        }
        return false;
    };
    const QByteArray pdf = buildSheetPdf(
        report, version, buildSheetPageSize(QLocale().measurementSystem()), QDate::currentDate());
    if (pdf.isEmpty()) {
        return fail(QStringLiteral("the page could not be drawn"));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(file.errorString());
    }
    if (file.write(pdf) != pdf.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit()) {
        return fail(file.errorString());
    }
    return true;
}
