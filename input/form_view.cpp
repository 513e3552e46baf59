// SPDX-License-Identifier: GPL-3.0-or-later
#include "form_view.h"

namespace brevan {

const char* controlName(Control control) {
    switch (control) {
    case Control::txtF: return "txtF";
    case Control::txtA: return "txtA";
    case Control::txtB: return "txtB";
    case Control::cmbSWG1: return "cmbSWG1";
    case Control::Command1: return "Command1";
    case Control::txtD1: return "txtD1";
    case Control::txtB1: return "txtB1";
    case Control::cmbSWG2: return "cmbSWG2";
    case Control::Command2: return "Command2";
    case Control::L: return "L";
    case Control::txtN: return "txtN";
    case Control::txtB2: return "txtB2";
    case Control::txtFF: return "txtFF";
    case Control::txtAA: return "txtAA";
    case Control::txtBB: return "txtBB";
    case Control::txtSWG1: return "txtSWG1";
    case Control::txtDD1: return "txtDD1";
    case Control::txtSWG2: return "txtSWG2";
    case Control::Frame3: return "Frame3";
    case Control::Frame4: return "Frame4";
    case Control::Frame5: return "Frame5";
    case Control::Frame6: return "Frame6";
    }
    return "";
}

bool isBlank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

} // namespace brevan
