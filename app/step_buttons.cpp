// SPDX-License-Identifier: GPL-3.0-or-later
#include "step_buttons.h"

#include "coil_winding.h"
#include "general_format.h"
#include "loading_coil.h"
#include "locale_number.h"
#include "refusal_text.h"
#include "wire_gauge_table.h"

#include <cmath>
#include <optional>
#include <string>

namespace brevan {
namespace {

// The gauge picked in a selector, or nothing when its text is not a gauge of the wire table
// (text can reach the selector's edit field by pasting).
std::optional<double> pickedGauge(const FormView& form, Control selector) {
    const std::optional<double> gauge =
        parseLocaleNumber(form.text(selector), form.decimalSeparator());
    if (!gauge || !WireGaugeTable::hasRow(*gauge)) {
        return std::nullopt;
    }
    return gauge;
}

} // namespace

void Command1_Click(DesignState& state, FormView& form) {
    const std::optional<double> gauge = pickedGauge(form, Control::cmbSWG1);
    if (!gauge) {
        form.showMessage(refusalText(DesignFault::NoWireDiameter, DesignStep::One));
        return;
    }
    // The core works on its own copy and stores only a defined result, so a refusal leaves
    // everything as it was and the user can correct the input and click again.
    const LoadingCoilResult result = computeLoadingCoil(state, *gauge, form.decimalSeparator());
    if (result.fault != DesignFault::None) {
        form.showMessage(refusalText(result.fault, DesignStep::One));
        return;
    }
    form.setVisible(Control::Frame3, false);
    form.setVisible(Control::Frame4, true);
    form.setText(Control::L, result.text); // L's change handler cuts it to 0.1 uH
}

void Command2_Click(DesignState& state, FormView& form) {
    const std::optional<double> gauge = pickedGauge(form, Control::cmbSWG2);
    if (!gauge) {
        form.showMessage(refusalText(DesignFault::NoWireDiameter, DesignStep::Two));
        return;
    }
    DesignState next = state;
    const CoilWindingResult result = computeCoilWinding(next, *gauge);
    const double formerMm = state.formerDia * 25.4;
    const DesignFault fault = result.fault != DesignFault::None ? result.fault
                              : std::isfinite(formerMm) && std::isfinite(state.freqMHz)
                                  ? DesignFault::None
                                  : DesignFault::NonFinite;
    if (fault != DesignFault::None) {
        form.showMessage(refusalText(fault, DesignStep::Two));
        return;
    }

    form.setVisible(Control::Frame4, false);
    form.setVisible(Control::Frame5, true);
    form.setVisible(Control::Frame6, true);

    const std::string sep = form.decimalSeparator();
    form.setText(Control::txtFF, formatDouble(state.freqMHz, sep));
    form.setText(Control::txtAA, form.text(Control::txtA));
    form.setText(Control::txtBB, form.text(Control::txtB));
    form.setText(Control::txtSWG1, form.text(Control::cmbSWG1));
    form.setText(Control::txtDD1, formatDouble(formerMm, sep));
    form.setText(Control::txtSWG2, form.text(Control::cmbSWG2));

    state = next;
    for (const CoilPass& pass : result.passes) {
        form.setText(Control::txtN, formatDouble(pass.turns, sep));
        form.setText(Control::txtB2, std::string(22, ' '));
    }
    form.setText(Control::txtB2,
                 "Revised length = " + formatDouble(result.revisedLengthMm, sep) + " mm");
}

} // namespace brevan
