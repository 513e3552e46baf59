// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form_view.h"

namespace brevan {

// Enables Command1 exactly when txtF, txtA and txtB all hold text.
void Validate(FormView& form);
// Enables Command2 exactly when txtD1 and txtB1 hold text and L reads as a non-zero number.
void Validate1(FormView& form);
// Change handler of the result box L: cuts the shown inductance down to 0.1, then Validate1.
void L_Change(FormView& form);

} // namespace brevan
