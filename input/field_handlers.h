// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design_state.h"
#include "form_view.h"

namespace brevan {

// Change handlers of the five input boxes: read the box, store the value in feet or inches,
// show the advisory range messages, then run the panel's gate.
void txtF_Change(DesignState& state, FormView& form);
void txtA_Change(DesignState& state, FormView& form);
void txtB_Change(DesignState& state, FormView& form);
void txtD1_Change(DesignState& state, FormView& form);
void txtB1_Change(DesignState& state, FormView& form);

} // namespace brevan
