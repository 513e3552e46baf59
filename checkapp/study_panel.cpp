// SPDX-License-Identifier: GPL-3.0-or-later
#include "study_panel.h"

#include "report/advice.h"
#include "report/report_format.h"
#include "spoken_label.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QVBoxLayout>

#include <cmath>

using brevan::check::CheckInputs;
using brevan::check::CheckReport;
using brevan::check::StudyPicture;

namespace {

const QColor kEfficiency(0x1f, 0x5f, 0xbf);
const QColor kBand(0xc8, 0x33, 0x2b);

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

// Everything but B: the study holds for any B of the same antenna.
bool sameDesign(CheckInputs a, CheckInputs b) {
    a.distanceM = b.distanceM;
    const auto key = [](const CheckInputs& in) {
        return std::make_tuple(
            in.frequencyMHz, in.lengthM, in.wireSwg, in.formerMm, in.coilLengthMm, in.coilWireSwg,
            in.pitchMm, in.coilQ, in.ground.kind, in.ground.height, in.hang.shape, in.hang.legAngle,
            in.hang.endsHeight, in.insulationThicknessMm, in.insulationPermittivity,
            brevan::check::antennaWireMm(in), brevan::check::coilWireMm(in), in.turns,
            in.windingLengthMm, in.coilInductanceUh, in.coilSelfResonanceMHz);
    };
    return key(a) == key(b);
}

// A line per position for a screen reader, with the figures the table of the report gives.
QString spokenPoint(const brevan::check::StudyPoint& p, const brevan::check::Lengths& lengths) {
    using brevan::check::number;
    QString line = QStringLiteral("B = %1: ").arg(text(lengths.m(p.coilDistance, 2)));
    if (p.outcome != brevan::check::StudyOutcome::Found) {
        return line + text(brevan::check::studyOutcomeText(p.outcome));
    }
    line += QStringLiteral("each coil %1 uH").arg(text(number(p.inductance * 1e6, 2)));
    if (p.turns > 0) {
        line += QStringLiteral(", %1 turns").arg(p.turns);
    }
    line += QStringLiteral(", Q %1, efficiency %2 %, %3 ohm at resonance")
                .arg(text(brevan::check::significant(p.coilQ, 3)),
                     text(number(p.efficiency * 100, 1)), text(number(p.resonanceResistance, 1)));
    if (const auto wide = brevan::check::bandWidth(p.band)) {
        line += QStringLiteral(", 2:1 band %1 kHz on 50 ohm").arg(text(number(*wide * 1000, 0)));
    }
    return line;
}

} // namespace

StudyPlotWidget::StudyPlotWidget(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(320, 200);
    setAutoFillBackground(false);
}

void StudyPlotWidget::setPicture(std::optional<StudyPicture> picture, std::vector<double> positions,
                                 std::vector<QString> spoken) {
    m_picture = std::move(picture);
    m_positions = std::move(positions);
    m_spoken = std::move(spoken);
    m_selected.reset();
    setAccessibleDescription(m_picture ? tr("Use the arrow keys to go through the positions and "
                                            "Enter to take one into the design.")
                                       : QString());
    update();
}

QRectF StudyPlotWidget::pictureRect() const {
    const double scale = std::min(width() / StudyPicture::kWidth, height() / StudyPicture::kHeight);
    const double w = StudyPicture::kWidth * scale;
    const double h = StudyPicture::kHeight * scale;
    return {(width() - w) / 2.0, (height() - h) / 2.0, w, h};
}

std::optional<std::size_t> StudyPlotWidget::pointAtPixel(double x) const {
    if (!m_picture) {
        return std::nullopt;
    }
    const QRectF page = pictureRect();
    return brevan::check::studyPointAt(*m_picture,
                                       (x - page.left()) / page.width() * StudyPicture::kWidth);
}

void StudyPlotWidget::select(std::optional<std::size_t> index) {
    m_selected = index;
    if (index && *index < m_spoken.size()) {
        setAccessibleDescription(m_spoken[*index] + tr(". Press Enter to take this position."));
    }
    update();
}

void StudyPlotWidget::mousePressEvent(QMouseEvent* event) {
    const auto index = pointAtPixel(event->position().x());
    if (!index) {
        return;
    }
    select(index);
    Q_EMIT positionChosen(m_positions[*index]);
}

void StudyPlotWidget::keyPressEvent(QKeyEvent* event) {
    if (!m_picture || m_positions.empty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const std::size_t last = m_positions.size() - 1;
    switch (event->key()) {
    case Qt::Key_Left: select(m_selected && *m_selected > 0 ? *m_selected - 1 : 0); break;
    case Qt::Key_Right: select(m_selected ? std::min(*m_selected + 1, last) : 0); break;
    case Qt::Key_Home: select(0); break;
    case Qt::Key_End: select(last); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (m_selected) {
            Q_EMIT positionChosen(m_positions[*m_selected]);
        }
        break;
    default: QWidget::keyPressEvent(event);
    }
}

void StudyPlotWidget::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor background = palette().color(QPalette::Base);
    const QColor ink = palette().color(QPalette::Text);
    // Faint on light and dark themes alike: a fifth of the way from the paper to the ink.
    const QColor grid =
        QColor::fromRgbF(static_cast<float>(background.redF() * 0.8 + ink.redF() * 0.2),
                         static_cast<float>(background.greenF() * 0.8 + ink.greenF() * 0.2),
                         static_cast<float>(background.blueF() * 0.8 + ink.blueF() * 0.2));
    painter.fillRect(rect(), background);
    if (!m_picture) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap,
                         tr("Run the study to see where the coils should go."));
        return;
    }
    const StudyPicture& p = *m_picture;
    const QRectF page = pictureRect();
    painter.save();
    painter.translate(page.topLeft());
    painter.scale(page.width() / StudyPicture::kWidth, page.height() / StudyPicture::kHeight);
    QFont font = painter.font();
    font.setPixelSize(13);
    painter.setFont(font);
    const QRectF frame(QPointF(StudyPicture::kLeft, StudyPicture::kTop),
                       QPointF(StudyPicture::kRight, StudyPicture::kBottom));
    const auto label = [&painter](QPointF at, const std::string& words, Qt::Alignment align) {
        const QRectF box(at.x() - 200, at.y() - 10, 400, 20);
        const QRectF placed = align & Qt::AlignRight  ? box.translated(-200, 0)
                              : align & Qt::AlignLeft ? box.translated(200, 0)
                                                      : box;
        painter.drawText(placed, static_cast<int>(align | Qt::AlignVCenter), text(words));
    };
    painter.setPen(QPen(grid, 0));
    for (const auto& t : p.bTicks) {
        painter.drawLine(QPointF(t.at, frame.top()), QPointF(t.at, frame.bottom()));
    }
    for (const auto& t : p.efficiencyTicks) {
        painter.drawLine(QPointF(frame.left(), t.at), QPointF(frame.right(), t.at));
    }
    painter.setPen(ink);
    for (const auto& t : p.bTicks) {
        label({t.at, frame.bottom() + 16}, t.label, Qt::AlignHCenter);
    }
    painter.setPen(kEfficiency);
    for (const auto& t : p.efficiencyTicks) {
        label({frame.left() - 8, t.at}, t.label, Qt::AlignRight);
    }
    painter.setPen(kBand);
    for (const auto& t : p.bandTicks) {
        label({frame.right() + 8, t.at}, t.label, Qt::AlignLeft);
    }
    painter.setPen(QPen(ink, 1));
    painter.drawRect(frame);
    const auto marker = [&](double x, const QColor& colour, Qt::PenStyle style,
                            const QString& words, int row) {
        painter.setPen(QPen(colour, 1.2, style));
        painter.drawLine(QPointF(x, frame.top()), QPointF(x, frame.bottom()));
        painter.drawText(QPointF(x + 4, frame.top() + 14 + 16 * row), words);
    };
    marker(p.usersX, ink, Qt::SolidLine, tr("your B"), 0);
    if (p.mostEfficientX) {
        marker(*p.mostEfficientX, kEfficiency, Qt::DotLine, tr("most efficient"), 1);
    }
    if (p.widestBandX) {
        marker(*p.widestBandX, kBand, Qt::DotLine, tr("widest band"), 2);
    }
    const auto series =
        [&painter](const std::vector<std::optional<brevan::check::PicturePoint>>& pts,
                   const QColor& colour, Qt::PenStyle style) {
            QPainterPath path;
            bool open = false;
            for (const auto& pt : pts) {
                if (!pt) {
                    open = false;
                    continue;
                }
                open ? path.lineTo(pt->x, pt->y) : path.moveTo(pt->x, pt->y);
                open = true;
            }
            painter.setPen(QPen(colour, 2, style));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(path);
            painter.setBrush(colour);
            painter.setPen(Qt::NoPen);
            for (const auto& pt : pts) {
                if (pt) {
                    painter.drawEllipse(QPointF(pt->x, pt->y), 3.5, 3.5);
                }
            }
        };
    series(p.efficiency, kEfficiency, Qt::SolidLine);
    series(p.band, kBand, Qt::DashLine);
    if (m_selected) {
        painter.setPen(QPen(ink, 1.5));
        painter.setBrush(Qt::NoBrush);
        const double x = p.xs[*m_selected];
        painter.drawRect(QRectF(x - 8, frame.top() - 4, 16, frame.height() + 8));
    }
    painter.setPen(ink);
    label({(frame.left() + frame.right()) / 2, frame.bottom() + 40}, "B, centre to each coil (m)",
          Qt::AlignHCenter);
    painter.setPen(kEfficiency);
    label({frame.left() - 8, frame.top() - 20}, "Efficiency (%)", Qt::AlignLeft);
    painter.setPen(kBand);
    label({frame.right() + 60, frame.top() - 20}, p.bandName, Qt::AlignRight);
    painter.restore();
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.backgroundColor = background;
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
    }
}

StudyPanel::StudyPanel(QWidget* parent) : QWidget(parent) {
    m_run = new QPushButton(tr("Run the st&udy"));
    m_run->setObjectName(QStringLiteral("runStudy"));
    m_run->setToolTip(tr("Models the antenna with its coils at positions from the feed to 80 % "
                         "of the way to the tips, each with the coil that puts it on frequency."));
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("studyStatus"));
    m_status->setWordWrap(true);
    m_status->setAccessibleName(tr("State of the study"));
    m_plot = new StudyPlotWidget;
    m_plot->setObjectName(QStringLiteral("studyPlot"));
    m_plot->setAccessibleName(tr("Efficiency and 2:1 band against the coils' position"));
    m_sentences = new QLabel;
    m_sentences->setObjectName(QStringLiteral("studySentences"));
    m_sentences->setWordWrap(true);
    m_sentences->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_sentences->setAccessibleName(tr("What the study says"));
    auto* top = new QHBoxLayout;
    top->addWidget(m_run);
    top->addWidget(m_status, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_plot, 1);
    layout->addWidget(m_sentences);
    connect(m_run, &QPushButton::clicked, this, &StudyPanel::runRequested);
    connect(m_plot, &StudyPlotWidget::positionChosen, this, &StudyPanel::positionChosen);
    clear(tr("Where should the coils go? The study takes a few seconds."));
}

void StudyPanel::clear(const QString& status) {
    m_studied.reset();
    m_plot->setPicture(std::nullopt, {}, {});
    setSpokenText(m_sentences, QString());
    setSpokenText(m_status, status);
}

void StudyPanel::setDesign(const std::optional<CheckInputs>& inputs) {
    m_design = inputs;
    m_run->setEnabled(inputs.has_value());
    if (m_studied && (!inputs || !sameDesign(*inputs, m_studied->inputs))) {
        clear(tr("The design has changed: run the study again."));
    } else if (m_studied && inputs->distanceM != m_studied->inputs.distanceM) {
        setSpokenText(m_status,
                      tr("Studied with B = %1 m; B is now %2 m.")
                          .arg(text(brevan::check::number(m_studied->inputs.distanceM, 3)),
                               text(brevan::check::number(inputs->distanceM, 3))));
    }
}

void StudyPanel::setRunning(const QString& stage) {
    setSpokenText(m_status, tr("Studying: %1…").arg(stage));
}

void StudyPanel::showStudy(const CheckReport& report) {
    if (!report.study || (m_design && !sameDesign(*m_design, report.inputs))) {
        return;
    }
    m_studied = report;
    std::vector<double> positions;
    std::vector<QString> spoken;
    for (const auto& p : report.study->points) {
        positions.push_back(p.coilDistance);
        spoken.push_back(spokenPoint(p, brevan::check::Lengths(report.inputs.units)));
    }
    m_plot->setPicture(brevan::check::studyPicture(report), positions, spoken);
    QStringList lines;
    for (const std::string& line : brevan::check::studySentences(report)) {
        lines << text(line);
    }
    setSpokenText(m_sentences, lines.join(QLatin1Char('\n')));
    setSpokenText(m_status, tr("Study done (nec2c). Click a position, or pick one with the arrow "
                               "keys and Enter, to take it into the design."));
}

void StudyPanel::showFailure(const QString& message) {
    clear(tr("The study did not finish: %1").arg(message));
}
