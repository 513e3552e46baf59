// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The input layer, in one picture:
//
//   typed character --KeyPress filter--> discarded (maybe with a message) or into the box
//   box text changed --xxx_Change--> parseLeadingNumber --> DesignState --> advisory messages
//                                 --> Validate / Validate1 (enable the OK buttons)
//   result box L written by step 1 --L_Change--> cut to 0.1 --> Validate1
//
// Handlers see the window only through FormView, so they build and run without a toolkit.

#include <string>

namespace brevan {

// The controls that handlers read or write, named as in the window's layout.
enum class Control {
    txtF,
    txtA,
    txtB,
    cmbSWG1,
    Command1,
    txtD1,
    txtB1,
    cmbSWG2,
    Command2,
    L,
    txtN,
    txtB2,
    txtFF,
    txtAA,
    txtBB,
    txtSWG1,
    txtDD1,
    txtSWG2,
    Frame3,
    Frame4,
    Frame5,
    Frame6,
};

// What the handlers may do with the window. Texts are UTF-8.
class FormView {
public:
    virtual ~FormView() = default;

    virtual std::string text(Control control) const = 0;
    // Writing a different text raises the control's change handler before this returns;
    // writing the text the control already shows raises nothing.
    virtual void setText(Control control, const std::string& text) = 0;
    virtual void setEnabled(Control control, bool enabled) = 0;
    virtual void setVisible(Control control, bool visible) = 0;
    // Modal: returns when the user has closed the message.
    virtual void showMessage(const std::string& message) = 0;
    // The user's decimal separator, for every number the window shows.
    virtual std::string decimalSeparator() const = 0;
};

// The control's name in the window's layout ("txtF", "Frame3", ...).
const char* controlName(Control control);

// Blank: nothing left once leading and trailing spaces are removed.
bool isBlank(const std::string& text);

} // namespace brevan
