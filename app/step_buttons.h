// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design_state.h"
#include "form_view.h"

namespace brevan {

// Click of the step-1 OK button: swaps the step-1 panel for the step-2 panel, stores the
// loading-coil inductance and writes it into the result box L. A design without a defined
// result is refused with one message that says what to change, and nothing moves.
void Command1_Click(DesignState& state, FormView& form);

// Click of the step-2 OK button: swaps the step-2 panel for the summary, copies the design's
// inputs into it and shows the turns and the revised coil length. Refuses like step 1.
void Command2_Click(DesignState& state, FormView& form);

} // namespace brevan
