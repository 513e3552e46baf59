// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window, in one picture:
//
//   window_layout: the table of every control, its place in twips and its caption
//   frmBrevan1:    builds the controls from the table, wires their events to the handlers of
//                  the input layer (key presses, text changes, gates) and of the two OK buttons,
//                  and lets those handlers reach the controls through FormView
//   UiServices:    the message box and the link opener, replaced in tests

#include "design_state.h"
#include "form_view.h"
#include "ui_services.h"
#include "window_layout.h"

#include <QHash>
#include <QWidget>

#include <cstdint>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmBrevan1 : public QWidget, public brevan::FormView {
    Q_OBJECT
public:
    explicit frmBrevan1(UiServices services, QWidget* parent = nullptr);

    const brevan::DesignState& design() const { return m_design; }
    // Tests set the state as the input boxes would have set it.
    brevan::DesignState& design() { return m_design; }

    // FormView. QWidget's own setEnabled(bool) and setVisible(bool) stay reachable.
    using QWidget::setEnabled;
    using QWidget::setVisible;
    std::string text(brevan::Control control) const override;
    void setText(brevan::Control control, const std::string& text) override;
    void setEnabled(brevan::Control control, bool enabled) override;
    void setVisible(brevan::Control control, bool visible) override;
    void showMessage(const std::string& message) override;
    std::string decimalSeparator() const override;

    // Click handlers, public so that tests can drive them like the buttons do.
    void Command1_Click();
    void Command2_Click();
    void Label11_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Key-press handlers, one line each: the five input boxes take numbers only, the gauge
    // selectors and the summary boxes take no typing at all.
    void txtF_KeyPress(std::int16_t& keyAscii);
    void txtA_KeyPress(std::int16_t& keyAscii);
    void txtB_KeyPress(std::int16_t& keyAscii);
    void txtD1_KeyPress(std::int16_t& keyAscii);
    void txtB1_KeyPress(std::int16_t& keyAscii);
    void cmbSWG1_KeyPress(std::int16_t& keyAscii);
    void cmbSWG2_KeyPress(std::int16_t& keyAscii);
    void txtFF_KeyPress(std::int16_t& keyAscii);
    void txtAA_KeyPress(std::int16_t& keyAscii);
    void txtBB_KeyPress(std::int16_t& keyAscii);
    void txtSWG1_KeyPress(std::int16_t& keyAscii);
    void txtDD1_KeyPress(std::int16_t& keyAscii);
    void txtSWG2_KeyPress(std::int16_t& keyAscii);

    void createControls();
    QWidget* createControl(const layout::ControlSpec& row);
    void connectKeyPress(const char* name, void (frmBrevan1::*handler)(std::int16_t&));
    void connectChange(const char* name, void (*handler)(brevan::DesignState&, brevan::FormView&));
    void connectEvents();
    void setInitialState();

    QWidget* control(brevan::Control which) const;
    template <typename T> T* find(const char* name) const {
        return qobject_cast<T*>(m_controls.value(QLatin1String(name)));
    }

    brevan::DesignState m_design;
    UiServices m_services;
    QHash<QString, QWidget*> m_controls;
};
