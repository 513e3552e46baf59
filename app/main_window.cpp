// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_window.h"

#include "antenna_diagram.h"
#include "app_icon.h"
#include "field_handlers.h"
#include "key_filters.h"
#include "key_press_hook.h"
#include "step_buttons.h"
#include "step_gates.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>
#include <vector>

namespace {

// The author's page that the credit label opens.
const char* const kAuthorPage = "https://tolvane.example.org/";

// The dialog font the layout's boxes were sized for: Liberation Sans has the widths of the
// classic 8-point dialog font, in logical pixels so every scale factor keeps the proportions.
QFont dialogFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(10);
    return font;
}

QFont summaryFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(16); // 12 pt at 96 dpi
    font.setBold(true);
    return font;
}

QRect pixelRect(const layout::ControlSpec& row) {
    return {layout::toPixels(row.left), layout::toPixels(row.top), layout::toPixels(row.width),
            layout::toPixels(row.height)};
}

bool takesFocus(layout::Kind kind) {
    return kind == layout::Kind::TextBox || kind == layout::Kind::ComboBox ||
           kind == layout::Kind::Button;
}

} // namespace

frmBrevan1::frmBrevan1(UiServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_services(std::move(services)) {
    setObjectName(QStringLiteral("frmBrevan1"));
    setWindowTitle(QString::fromUtf8(layout::kCaption));
    setWindowIcon(makeAppIcon());
    setFont(dialogFont());
    // Nothing in the layout follows a change of size, so the window keeps the one it was
    // drawn for.
    setFixedSize(layout::toPixels(layout::kClientWidth), layout::toPixels(layout::kClientHeight));

    createControls();
    setInitialState();
    connectEvents();
}

void frmBrevan1::createControls() {
    for (const layout::ControlSpec& row : layout::kControls) {
        QWidget* widget = createControl(row);
        widget->setObjectName(QString::fromUtf8(row.name));
        widget->setGeometry(pixelRect(row));
        if (row.accessibleName != nullptr) {
            widget->setAccessibleName(QString::fromUtf8(row.accessibleName));
        }
        if (row.font == layout::Font::SummaryBold) {
            widget->setFont(summaryFont());
        }
        m_controls.insert(widget->objectName(), widget);
    }
}

QWidget* frmBrevan1::createControl(const layout::ControlSpec& row) {
    QWidget* parent = row.parent != nullptr ? m_controls.value(QLatin1String(row.parent)) : this;
    const QString text = QString::fromUtf8(row.text);
    switch (row.kind) {
    case layout::Kind::Frame: return new QGroupBox(text, parent);
    case layout::Kind::Label: {
        auto* label = new QLabel(text, parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        return label;
    }
    case layout::Kind::TextBox: {
        auto* edit = new QLineEdit(text, parent);
        edit->setReadOnly(row.locked);
        return edit;
    }
    case layout::Kind::ComboBox: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr);
        for (const char* gauge : layout::kGauges) {
            combo->addItem(QString::fromUtf8(gauge), 0);
        }
        // Select the item itself, so the arrow keys step on from the gauge shown.
        combo->setCurrentIndex(combo->findText(text));
        return combo;
    }
    case layout::Kind::Button: return new QPushButton(text, parent);
    case layout::Kind::Image: {
        auto* image = new QLabel(parent);
        image->setPixmap(drawAntennaDiagram(devicePixelRatioF()));
        return image;
    }
    }
    return new QWidget(parent);
}

void frmBrevan1::setInitialState() {
    std::vector<const layout::ControlSpec*> tabOrder;
    for (const layout::ControlSpec& row : layout::kControls) {
        QWidget* widget = m_controls.value(QLatin1String(row.name));
        widget->setVisible(row.initiallyVisible);
        widget->setEnabled(row.initiallyEnabled);
        if (takesFocus(row.kind)) {
            tabOrder.push_back(&row);
        }
    }
    std::sort(tabOrder.begin(), tabOrder.end(),
              [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        QWidget::setTabOrder(m_controls.value(QLatin1String(tabOrder[i - 1]->name)),
                             m_controls.value(QLatin1String(tabOrder[i]->name)));
    }

    for (const layout::Heading& heading : layout::kHeadings) {
        find<QLabel>(heading.label)->setBuddy(m_controls.value(QLatin1String(heading.control)));
    }

    auto* credit = find<QLabel>("Label11");
    QPalette palette = credit->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    credit->setPalette(palette);
    credit->setCursor(Qt::OpenHandCursor);

    find<QLineEdit>("txtF")->setFocus();
}

void frmBrevan1::connectEvents() {
    connectKeyPress("txtF", &frmBrevan1::txtF_KeyPress);
    connectKeyPress("txtA", &frmBrevan1::txtA_KeyPress);
    connectKeyPress("txtB", &frmBrevan1::txtB_KeyPress);
    connectKeyPress("txtD1", &frmBrevan1::txtD1_KeyPress);
    connectKeyPress("txtB1", &frmBrevan1::txtB1_KeyPress);
    // An editable combo box hands keys straight to its line edit, so the filter sits on the
    // combo itself.
    connectKeyPress("cmbSWG1", &frmBrevan1::cmbSWG1_KeyPress);
    connectKeyPress("cmbSWG2", &frmBrevan1::cmbSWG2_KeyPress);
    connectKeyPress("txtFF", &frmBrevan1::txtFF_KeyPress);
    connectKeyPress("txtAA", &frmBrevan1::txtAA_KeyPress);
    connectKeyPress("txtBB", &frmBrevan1::txtBB_KeyPress);
    connectKeyPress("txtSWG1", &frmBrevan1::txtSWG1_KeyPress);
    connectKeyPress("txtDD1", &frmBrevan1::txtDD1_KeyPress);
    connectKeyPress("txtSWG2", &frmBrevan1::txtSWG2_KeyPress);

    connectChange("txtF", &brevan::txtF_Change);
    connectChange("txtA", &brevan::txtA_Change);
    connectChange("txtB", &brevan::txtB_Change);
    connectChange("txtD1", &brevan::txtD1_Change);
    connectChange("txtB1", &brevan::txtB1_Change);
    connect(find<QLineEdit>("L"), &QLineEdit::textChanged, this,
            [this] { brevan::L_Change(*this); });

    connect(find<QPushButton>("Command1"), &QPushButton::clicked, this,
            &frmBrevan1::Command1_Click);
    connect(find<QPushButton>("Command2"), &QPushButton::clicked, this,
            &frmBrevan1::Command2_Click);
    find<QLabel>("Label11")->installEventFilter(this);
}

void frmBrevan1::connectKeyPress(const char* name, void (frmBrevan1::*handler)(std::int16_t&)) {
    new KeyPressHook(m_controls.value(QLatin1String(name)),
                     [this, handler](std::int16_t& keyAscii) { (this->*handler)(keyAscii); });
}

void frmBrevan1::connectChange(const char* name,
                               void (*handler)(brevan::DesignState&, brevan::FormView&)) {
    connect(find<QLineEdit>(name), &QLineEdit::textChanged, this,
            [this, handler] { handler(m_design, *this); });
}

void frmBrevan1::txtF_KeyPress(std::int16_t& keyAscii) {
    brevan::NumericKeyFilter(keyAscii, *this);
}
void frmBrevan1::txtA_KeyPress(std::int16_t& keyAscii) {
    brevan::NumericKeyFilter(keyAscii, *this);
}
void frmBrevan1::txtB_KeyPress(std::int16_t& keyAscii) {
    brevan::NumericKeyFilter(keyAscii, *this);
}
void frmBrevan1::txtD1_KeyPress(std::int16_t& keyAscii) {
    brevan::NumericKeyFilter(keyAscii, *this);
}
void frmBrevan1::txtB1_KeyPress(std::int16_t& keyAscii) {
    brevan::NumericKeyFilter(keyAscii, *this);
}
void frmBrevan1::cmbSWG1_KeyPress(std::int16_t& keyAscii) {
    brevan::ReadOnlyKeyFilter(keyAscii);
}
void frmBrevan1::cmbSWG2_KeyPress(std::int16_t& keyAscii) {
    brevan::ReadOnlyKeyFilter(keyAscii);
}
void frmBrevan1::txtFF_KeyPress(std::int16_t& keyAscii) {
    brevan::ReadOnlyKeyFilter(keyAscii);
}
void frmBrevan1::txtAA_KeyPress(std::int16_t& keyAscii) {
    brevan::ReadOnlyKeyFilter(keyAscii);
}
void frmBrevan1::txtBB_KeyPress(std::int16_t& keyAscii) {
    brevan::ReadOnlyKeyFilter(keyAscii);
}
void frmBrevan1::txtSWG1_KeyPress(std::int16_t& keyAscii) {
    brevan::ReadOnlyKeyFilter(keyAscii);
}
void frmBrevan1::txtDD1_KeyPress(std::int16_t& keyAscii) {
    brevan::ReadOnlyKeyFilter(keyAscii);
}
void frmBrevan1::txtSWG2_KeyPress(std::int16_t& keyAscii) {
    brevan::ReadOnlyKeyFilter(keyAscii);
}

void frmBrevan1::Command1_Click() {
    brevan::Command1_Click(m_design, *this);
}
void frmBrevan1::Command2_Click() {
    brevan::Command2_Click(m_design, *this);
}

void frmBrevan1::Label11_Click() {
    // Whether a browser opened is the desktop's business; the window carries on either way.
    (void)m_services.openUrl(QUrl(QString::fromLatin1(kAuthorPage)));
}

bool frmBrevan1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_controls.value(QStringLiteral("Label11")) &&
        event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const auto* label = static_cast<QWidget*>(watched);
        if (mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint())) {
            Label11_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QWidget* frmBrevan1::control(brevan::Control which) const {
    return m_controls.value(QLatin1String(brevan::controlName(which)));
}

std::string frmBrevan1::text(brevan::Control which) const {
    QWidget* widget = control(which);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        return edit->text().toStdString();
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        return combo->currentText().toStdString();
    }
    return {};
}

void frmBrevan1::setText(brevan::Control which, const std::string& text) {
    const QString value = QString::fromStdString(text);
    QWidget* widget = control(which);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(value); // emits textChanged only for a different text
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        combo->setCurrentText(value);
    }
}

void frmBrevan1::setEnabled(brevan::Control which, bool enabled) {
    control(which)->setEnabled(enabled);
}

void frmBrevan1::setVisible(brevan::Control which, bool visible) {
    control(which)->setVisible(visible);
}

void frmBrevan1::showMessage(const std::string& message) {
    m_services.showMessage(this, QString::fromStdString(message));
}

std::string frmBrevan1::decimalSeparator() const {
    return QLocale().decimalPoint().toStdString();
}
