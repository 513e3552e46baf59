// SPDX-License-Identifier: GPL-3.0-or-later
#include "input_form.h"

#include "field_words.h"
#include "form_reading.h"
#include "option_table.h"
#include "spoken_label.h"
#include "wire_gauge_table.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <charconv>

namespace {

using brevan::check::GroundKind;

constexpr int kGauges[] = {10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30};
// The surroundings in the order the picker lists them.
constexpr GroundKind kGrounds[] = {GroundKind::FreeSpace, GroundKind::Poor, GroundKind::Average,
                                   GroundKind::Good, GroundKind::Perfect};

// The antenna wire's insulation in the order the picker lists it: the presets go to the command
// by name, "other" by the permittivity typed.
enum InsulationChoice { kBare, kPvc, kPolyethylene, kOtherInsulation };
using brevan::check::Mode;
constexpr Mode kModes[] = {Mode::Ssb, Mode::Cw, Mode::Am, Mode::Fm, Mode::Digital};
constexpr const char* kInsulationOptions[] = {nullptr, "pvc", "pe", nullptr};
// What the coils are wound on, likewise: the tube is the command's default.
enum FormerChoice { kTube, kPtfeRod, kPeRod, kPvcRod, kOtherRod };
constexpr const char* kFormerOptions[] = {nullptr, "ptfe", "pe", "pvc", nullptr};

QLabel* messageLabel(const QString& name) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setForegroundRole(QPalette::Link); // stands out on light and dark themes alike
    label->setMinimumWidth(220);
    label->hide();
    return label;
}

// A field's label and unit, and a preset picker's label, as the table of inputs has them.
QString fieldLabel(const std::string& option) {
    return QString::fromUtf8(brevan::check::optionRow(option).label);
}
QString fieldUnit(const std::string& option) {
    return QString::fromUtf8(brevan::check::optionRow(option).unit);
}
QString pickerLabel(const std::string& option) {
    return QString::fromUtf8(brevan::check::optionRow(option).picker);
}

} // namespace

InputForm::InputForm(QWidget* parent) : QWidget(parent), m_bands(brevan::faces::bandChoices()) {
    setObjectName(QStringLiteral("inputForm"));
    auto* outer = new QVBoxLayout(this);
    m_grid = new QGridLayout;
    m_grid->setColumnStretch(3, 1);
    outer->addLayout(m_grid);
    m_otherMessage = messageLabel(QStringLiteral("otherMessage"));
    outer->addWidget(m_otherMessage);
    outer->addStretch(1);
    createRows();
}

void InputForm::addRow(const std::string& option, const QString& label, QWidget* field,
                       const QString& unit) {
    const int row = m_grid->rowCount();
    auto* caption = new QLabel(label);
    caption->setBuddy(field);
    m_grid->addWidget(caption, row, 0);
    m_grid->addWidget(field, row, 1);
    QLabel* unitLabel = nullptr;
    if (!unit.isEmpty()) {
        unitLabel = new QLabel(unit);
        m_grid->addWidget(unitLabel, row, 2);
    }
    QLabel* message = nullptr;
    if (!option.empty()) {
        message = messageLabel(QString::fromStdString(option) + QStringLiteral("Message"));
        message->setAccessibleName(field->accessibleName() + QStringLiteral(": not accepted"));
        m_grid->addWidget(message, row, 3);
    }
    m_rows.push_back({option, caption, field, unitLabel, message});
}

QLineEdit* InputForm::addNumber(const std::string& option, const QString& name,
                                const QString& accessible) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setAccessibleName(accessible);
    edit->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 14);
    connect(edit, &QLineEdit::textEdited, this, [this] { Q_EMIT edited(); });
    addRow(option, fieldLabel(option), edit, fieldUnit(option));
    return edit;
}

QComboBox* InputForm::addGauge(const std::string& option, const QString& name,
                               const QString& accessible) {
    auto* combo = new QComboBox;
    combo->setObjectName(name);
    combo->setAccessibleName(accessible);
    // The table's gauges to pick, and room to type any other wire: "AWG 14", "1.63mm".
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr); // "2" typed stays 2, not the table's 20
    for (const int swg : kGauges) {
        combo->addItem(QString::number(swg), swg);
    }
    combo->lineEdit()->setPlaceholderText(tr("SWG, AWG n or mm"));
    connect(combo, &QComboBox::activated, this, [this] { Q_EMIT edited(); });
    connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this] { Q_EMIT edited(); });
    addRow(option, fieldLabel(option), combo, fieldUnit(option));
    return combo;
}

void InputForm::createRows() {
    m_bandPicker = new QComboBox;
    m_bandPicker->setObjectName(QStringLiteral("bandPicker"));
    m_bandPicker->setAccessibleName(tr("Amateur band: fills the frequency with its centre"));
    m_bandPicker->addItem(tr("Frequency as typed"));
    for (const auto& band : m_bands) {
        m_bandPicker->addItem(QString::fromStdString(band.label));
    }
    connect(m_bandPicker, &QComboBox::activated, this, &InputForm::pickBand);
    addRow({}, tr("&Band"), m_bandPicker, {});

    m_frequency = addNumber("frequency", QStringLiteral("frequencyEdit"),
                            tr("Design frequency F in megahertz"));
    connect(m_frequency, &QLineEdit::textEdited, this, &InputForm::followFrequency);
    addNumber("length", QStringLiteral("lengthEdit"), tr("Total length A, tip to tip, in metres"));
    addNumber("distance", QStringLiteral("distanceEdit"),
              tr("Distance B from the centre to the middle of each coil, in metres"));
    addGauge("wire", QStringLiteral("wireCombo"),
             tr("Antenna wire: SWG gauge, AWG as AWG 14, or the bare diameter as 1.63mm"));
    addNumber("former", QStringLiteral("formerEdit"), tr("Coil former diameter in millimetres"));
    addNumber("coil-length", QStringLiteral("coilLengthEdit"),
              tr("Planned coil length in millimetres"));
    addGauge("coil-wire", QStringLiteral("coilWireCombo"),
             tr("Coil wire: SWG gauge, AWG as AWG 14, or the bare diameter as 1.63mm"));
    auto* pitch = addNumber("pitch", QStringLiteral("pitchEdit"),
                            tr("Pitch, turn centre to centre, in millimetres; empty for "
                               "close-wound"));
    pitch->setPlaceholderText(tr("close-wound"));
    auto* q = addNumber("coil-q", QStringLiteral("coilQEdit"),
                        tr("The coil's Q; empty to estimate it from the losses"));
    q->setPlaceholderText(tr("from the losses"));
    createFormerRows();
    createBuiltCoilRows();

    m_ground = new QComboBox;
    m_ground->setObjectName(QStringLiteral("groundCombo"));
    m_ground->setAccessibleName(tr("Surroundings: free space or a ground below the antenna"));
    m_ground->addItems({tr("Free space"), tr("Over poor ground"), tr("Over average ground"),
                        tr("Over good ground"), tr("Over perfect ground")});
    connect(m_ground, &QComboBox::activated, this, &InputForm::groundChanged);
    addRow({}, fieldLabel("ground"), m_ground, {});
    m_height = addNumber("height", QStringLiteral("heightEdit"),
                         tr("Height of the antenna above the ground, in metres"));
    m_height->setEnabled(false);

    // How it hangs: the inverted V by one of its two measures, the other field left out.
    m_shape = new QComboBox;
    m_shape->setObjectName(QStringLiteral("shapeCombo"));
    m_shape->setAccessibleName(tr("How the wire hangs: straight, or an inverted V given by the "
                                  "angle between its legs or by the height of its ends"));
    m_shape->addItems({tr("Straight"), tr("Inverted V, by the angle between the legs"),
                       tr("Inverted V, by the height of the ends")});
    connect(m_shape, &QComboBox::activated, this, &InputForm::shapeChanged);
    addRow("shape", fieldLabel("shape"), m_shape, {});
    m_legAngle = addNumber("leg-angle", QStringLiteral("legAngleEdit"),
                           tr("Angle between the legs of the inverted V, 60 to 180 degrees"));
    m_legAngle->setEnabled(false);
    m_endsHeight = addNumber("ends-height", QStringLiteral("endsHeightEdit"),
                             tr("Height of the inverted V's ends above the ground, in metres"));
    m_endsHeight->setEnabled(false);
    createInsulationRows();
    createPowerRows();

    // The coax an open sweep was measured through; shown and read only while a sweep is open.
    auto* line = addNumber("feedline-length", QStringLiteral("feedlineLengthEdit"),
                           tr("Length of the coax the sweep was measured through, in metres; "
                              "empty when swept at the feed point"));
    line->setPlaceholderText(tr("swept at the feed"));
    auto* vf = addNumber("feedline-vf", QStringLiteral("feedlineVfEdit"),
                         tr("Velocity factor of that coax"));
    vf->setPlaceholderText(QStringLiteral("0.66"));
    auto* loss = addNumber("feedline-loss", QStringLiteral("feedlineLossEdit"),
                           tr("Loss of that coax at F, in dB per 100 metres"));
    loss->setPlaceholderText(QStringLiteral("0"));
    showFeedLine(false);
}

// The coil as the builder made it: the turns wound and their length, or the coil as measured.
void InputForm::createBuiltCoilRows() {
    auto* turns = addNumber("turns", QStringLiteral("turnsEdit"),
                            tr("Turns actually wound on each coil; empty for step 2's"));
    turns->setPlaceholderText(tr("step 2's"));
    auto* winding = addNumber("winding-length", QStringLiteral("windingLengthEdit"),
                              tr("Length those turns were wound over, in millimetres; empty to "
                                 "take it from the pitch"));
    winding->setPlaceholderText(tr("from the pitch"));
    auto* inductance =
        addNumber("coil-inductance", QStringLiteral("coilInductanceEdit"),
                  tr("Each coil's inductance as measured at low frequency, in microhenries; "
                     "empty to compute it"));
    inductance->setPlaceholderText(tr("computed"));
    auto* resonance = addNumber("coil-self-resonance", QStringLiteral("coilSelfResonanceEdit"),
                                tr("That coil's measured self-resonance, in megahertz; empty to "
                                   "take its self-capacitance as computed"));
    resonance->setPlaceholderText(tr("computed"));
}

// The power the coils and the tips must hold, and the mode that averages it.
void InputForm::createPowerRows() {
    auto* power = addNumber("power", QStringLiteral("powerEdit"),
                            tr("The transmitter's peak envelope power at the feed point, in "
                               "watts; empty for 100"));
    power->setPlaceholderText(QStringLiteral("100"));
    m_mode = new QComboBox;
    m_mode->setObjectName(QStringLiteral("modeCombo"));
    m_mode->setAccessibleName(tr("Mode, for the coils' average heat"));
    for (const Mode mode : kModes) {
        m_mode->addItem(QString::fromUtf8(brevan::check::modeDuty(mode).name));
    }
    connect(m_mode, &QComboBox::activated, this, [this] { Q_EMIT edited(); });
    addRow({}, fieldLabel("mode"), m_mode, {});
}

void InputForm::createInsulationRows() {
    m_insulation = new QComboBox;
    m_insulation->setObjectName(QStringLiteral("insulationCombo"));
    m_insulation->setAccessibleName(tr("Antenna wire: bare or insulated, and with what"));
    m_insulation->addItems({tr("Bare wire"), tr("PVC insulation (3.5)"), tr("PE insulation (2.3)"),
                            tr("Other insulation")});
    connect(m_insulation, &QComboBox::activated, this, &InputForm::insulationChanged);
    addRow({}, pickerLabel("insulation"), m_insulation, {});
    m_insulationThickness =
        addNumber("insulation-thickness", QStringLiteral("insulationThicknessEdit"),
                  tr("Radial thickness of the antenna wire's insulation, in millimetres"));
    m_permittivity = addNumber("insulation", QStringLiteral("insulationPermittivityEdit"),
                               tr("Relative permittivity of the other insulation"));
    m_insulationThickness->setEnabled(false);
    m_permittivity->setEnabled(false);
}

void InputForm::createFormerRows() {
    m_formerMaterial = new QComboBox;
    m_formerMaterial->setObjectName(QStringLiteral("formerMaterialCombo"));
    m_formerMaterial->setAccessibleName(
        tr("What the coils are wound on: a tube or air, or a solid rod of what"));
    m_formerMaterial->addItems({tr("Tube or air"), tr("PTFE rod (2.1)"), tr("PE rod (2.3)"),
                                tr("PVC rod (3.5)"), tr("Other rod")});
    connect(m_formerMaterial, &QComboBox::activated, this, &InputForm::formerChanged);
    addRow({}, pickerLabel("former-material"), m_formerMaterial, {});
    m_formerPermittivity = addNumber("former-material", QStringLiteral("formerPermittivityEdit"),
                                     tr("Relative permittivity of the other rod"));
    m_formerPermittivity->setEnabled(false);
}

QList<QWidget*> InputForm::tabChain() const {
    QList<QWidget*> chain;
    for (const Row& row : m_rows) {
        chain.append(row.field);
    }
    return chain;
}

std::map<std::string, std::string> InputForm::optionTexts() const {
    std::map<std::string, std::string> given;
    const char point = m_locale.decimalPoint().at(0).toLatin1();
    for (const Row& row : m_rows) {
        if (const auto* edit = qobject_cast<const QLineEdit*>(row.field)) {
            const std::string text = brevan::faces::optionText(edit->text().toStdString(), point);
            // An empty field is not given: the command then says what is missing.
            if (!text.empty() && edit->isEnabled()) {
                given[row.option] = text;
            }
        } else if (const auto* combo = qobject_cast<const QComboBox*>(row.field);
                   combo != nullptr && !row.option.empty() && combo != m_shape) {
            // A gauge as typed, "1,63mm" with the user's decimal separator as well.
            const std::string text =
                brevan::faces::optionText(combo->currentText().toStdString(), point);
            if (!text.empty()) {
                given[row.option] = text;
            }
        }
    }
    const GroundKind ground = kGrounds[m_ground->currentIndex()];
    if (ground != GroundKind::FreeSpace) {
        given["ground"] = brevan::check::groundName(ground);
    }
    if (m_shape->currentIndex() > 0) {
        given["shape"] = "inverted-v";
    }
    if (const char* preset = kInsulationOptions[m_insulation->currentIndex()]) {
        given["insulation"] = preset;
    }
    if (const char* preset = kFormerOptions[m_formerMaterial->currentIndex()]) {
        given["former-material"] = preset;
    }
    if (const Mode mode = kModes[m_mode->currentIndex()]; mode != Mode::Ssb) {
        given["mode"] = brevan::check::modeDuty(mode).option;
    }
    return given;
}

QString InputForm::shown(double value) const {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    QString text = QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer));
    return text.replace(QLatin1Char('.'), m_locale.decimalPoint());
}

QString InputForm::shownText(const std::string& optionText) const {
    return QString::fromStdString(optionText).replace(QLatin1Char('.'), m_locale.decimalPoint());
}

QLineEdit* InputForm::numberField(const std::string& option) const {
    for (const Row& row : m_rows) {
        if (row.option == option) {
            return qobject_cast<QLineEdit*>(row.field);
        }
    }
    return nullptr;
}

void InputForm::setInputs(const brevan::check::CheckInputs& in) {
    const auto text = [this](const std::string& option) { return numberField(option); };
    const auto gauge = [this](const std::string& option, int swg,
                              const std::optional<brevan::check::WireSize>& size) {
        for (const Row& row : m_rows) {
            if (row.option == option) {
                auto* combo = qobject_cast<QComboBox*>(row.field);
                const int at = size ? -1 : combo->findData(swg);
                combo->setCurrentIndex(at);
                combo->setEditText(shownText(brevan::check::wireOptionText(swg, size)));
            }
        }
    };
    text("frequency")->setText(shown(in.frequencyMHz));
    text("length")->setText(shown(in.lengthM));
    text("distance")->setText(shown(in.distanceM));
    gauge("wire", in.wireSwg, in.wireSize);
    text("former")->setText(shown(in.formerMm));
    text("coil-length")->setText(shown(in.coilLengthMm));
    gauge("coil-wire", in.coilWireSwg, in.coilWireSize);
    text("pitch")->setText(in.pitchMm ? shown(*in.pitchMm) : QString());
    text("coil-q")->setText(in.coilQ ? shown(*in.coilQ) : QString());
    const auto optional = [this](const std::optional<double>& value) {
        return value ? shown(*value) : QString();
    };
    text("turns")->setText(optional(in.turns));
    text("winding-length")->setText(optional(in.windingLengthMm));
    text("coil-inductance")->setText(optional(in.coilInductanceUh));
    text("coil-self-resonance")->setText(optional(in.coilSelfResonanceMHz));
    for (int i = 0; i < static_cast<int>(std::size(kGrounds)); ++i) {
        if (kGrounds[i] == in.ground.kind) {
            m_ground->setCurrentIndex(i);
        }
    }
    const bool overGround = in.ground.kind != GroundKind::FreeSpace;
    m_height->setEnabled(overGround);
    m_height->setText(overGround ? shown(in.ground.height) : QString());
    const bool v = in.hang.shape == brevan::check::HangShape::InvertedV;
    m_shape->setCurrentIndex(!v ? 0 : in.hang.endsHeight ? 2 : 1);
    m_legAngle->setText(v && !in.hang.endsHeight ? shown(in.hang.legAngle) : QString());
    m_endsHeight->setText(v && in.hang.endsHeight ? shown(*in.hang.endsHeight) : QString());
    m_legAngle->setEnabled(m_shape->currentIndex() == 1);
    m_endsHeight->setEnabled(m_shape->currentIndex() == 2);
    const double permittivity = in.insulationPermittivity;
    const bool insulated = permittivity != 1.0;
    m_insulation->setCurrentIndex(!insulated                                        ? kBare
                                  : permittivity == brevan::check::kPvcPermittivity ? kPvc
                                  : permittivity == brevan::check::kPolyethylenePermittivity
                                      ? kPolyethylene
                                      : kOtherInsulation);
    m_insulationThickness->setEnabled(insulated);
    m_insulationThickness->setText(insulated ? shown(in.insulationThicknessMm) : QString());
    m_permittivity->setEnabled(m_insulation->currentIndex() == kOtherInsulation);
    m_permittivity->setText(m_permittivity->isEnabled() ? shown(permittivity) : QString());
    const double former = in.formerPermittivity;
    m_formerMaterial->setCurrentIndex(former == 1.0                                ? kTube
                                      : former == brevan::check::kPtfePermittivity ? kPtfeRod
                                      : former == brevan::check::kPolyethylenePermittivity ? kPeRod
                                      : former == brevan::check::kPvcPermittivity          ? kPvcRod
                                                                                  : kOtherRod);
    m_formerPermittivity->setEnabled(m_formerMaterial->currentIndex() == kOtherRod);
    m_formerPermittivity->setText(m_formerPermittivity->isEnabled() ? shown(former) : QString());
    text("power")->setText(in.power.watts != brevan::check::kDefaultPowerW ? shown(in.power.watts)
                                                                           : QString());
    for (int i = 0; i < static_cast<int>(std::size(kModes)); ++i) {
        if (kModes[i] == in.power.mode) {
            m_mode->setCurrentIndex(i);
        }
    }
    followFrequency();
}

void InputForm::setFeedLine(const brevan::check::CheckInputs& in) {
    const bool line = in.feedlineLengthM.has_value();
    numberField("feedline-length")->setText(line ? shown(*in.feedlineLengthM) : QString());
    numberField("feedline-vf")->setText(line ? shown(in.feedlineVelocityFactor) : QString());
    numberField("feedline-loss")->setText(line ? shown(in.feedlineLossDb) : QString());
}

void InputForm::showFeedLine(bool shown) {
    for (const Row& row : m_rows) {
        if (row.option.rfind("feedline-", 0) != 0) {
            continue;
        }
        for (QWidget* widget :
             {static_cast<QWidget*>(row.caption), row.field, static_cast<QWidget*>(row.unit)}) {
            if (widget != nullptr) {
                widget->setVisible(shown);
            }
        }
        if (!shown) {
            row.message->hide();
        }
    }
}

// The core words a refusal by the command's options; the form names its own fields.
void InputForm::showRefusals(const std::map<std::string, std::string>& refusals) {
    const char point = m_locale.decimalPoint().at(0).toLatin1();
    const auto words = [point](const std::string& message) {
        return QString::fromStdString(brevan::faces::inFieldWords(message, point));
    };
    for (const Row& row : m_rows) {
        if (row.message == nullptr) {
            continue;
        }
        const auto it = refusals.find(row.option);
        setSpokenText(row.message, it != refusals.end() ? words(it->second) : QString());
        row.message->setVisible(it != refusals.end());
    }
    const auto other = refusals.find("");
    setSpokenText(m_otherMessage, other != refusals.end() ? words(other->second) : QString());
    m_otherMessage->setVisible(other != refusals.end());
}

void InputForm::pickBand(int index) {
    if (index <= 0) {
        return; // as typed: the frequency stays
    }
    m_frequency->setText(shown(m_bands[static_cast<std::size_t>(index - 1)].centreMHz));
    Q_EMIT edited();
}

void InputForm::followFrequency() {
    const char point = m_locale.decimalPoint().at(0).toLatin1();
    const auto value = brevan::check::parseOptionNumber(
        brevan::faces::optionText(m_frequency->text().toStdString(), point));
    const int at = value ? brevan::faces::bandChoiceAt(m_bands, *value) : -1;
    const QSignalBlocker blocker(m_bandPicker);
    // A frequency that is some band's centre shows that band; the first such entry wins.
    m_bandPicker->setCurrentIndex(at + 1);
}

void InputForm::insulationChanged() {
    const int choice = m_insulation->currentIndex();
    m_insulationThickness->setEnabled(choice != kBare);
    m_permittivity->setEnabled(choice == kOtherInsulation);
    Q_EMIT edited();
}

void InputForm::formerChanged() {
    m_formerPermittivity->setEnabled(m_formerMaterial->currentIndex() == kOtherRod);
    Q_EMIT edited();
}

void InputForm::groundChanged() {
    const bool overGround = m_ground->currentIndex() > 0;
    m_height->setEnabled(overGround);
    if (overGround && m_height->text().isEmpty()) {
        m_height->setText(shown(10.0));
    }
    Q_EMIT edited();
}

void InputForm::shapeChanged() {
    m_legAngle->setEnabled(m_shape->currentIndex() == 1);
    m_endsHeight->setEnabled(m_shape->currentIndex() == 2);
    if (m_legAngle->isEnabled() && m_legAngle->text().isEmpty()) {
        m_legAngle->setText(shown(120.0));
    }
    Q_EMIT edited();
}
