// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every control of the window with its place, in one table. Positions and sizes are in twips
// (1/1440 inch, 15 to a pixel at 96 dpi), relative to the parent frame or to the client area.
namespace layout {

enum class Kind { Frame, Label, TextBox, ComboBox, Button, Image };

enum class Font { Default, SummaryBold };

struct ControlSpec {
    const char* name;
    Kind kind;
    const char* parent; // nullptr: placed directly in the window
    int left, top, width, height;
    int tabIndex; // -1: the control has none
    const char* text;
    const char* accessibleName; // for screen readers; nullptr where the text says it
    Font font = Font::Default;
    bool initiallyVisible = true;
    bool initiallyEnabled = true;
    bool locked = false; // read-only result box
};

constexpr int kTwipsPerPixel = 15;
constexpr int kClientWidth = 9645;
constexpr int kClientHeight = 5595;

constexpr const char* kCaption = "Loaded Dipole Antenna for restricted space ( metric units)";
constexpr const char* kGauges[] = {"10", "12", "14", "16", "18", "20",
                                   "22", "24", "26", "28", "30"};

namespace detail {
constexpr const char* kInstructions =
    "First, input data  into  four  text boxes   according    to    your design.   Then   "
    "input    the diamensions for coils and get  the  number  of  turns.   After finished  "
    "the  construction you  must   trim  the  length   for minimum SWR";

constexpr const char* kAbout =
    "This is a narrow band High-Q antenna.  You  can  design    for  any  short length "
    "(shorter  than half wave dipole). This is more suitable for restricted spaces.";

constexpr Kind F = Kind::Frame;
constexpr Kind Lb = Kind::Label;
constexpr Kind T = Kind::TextBox;
constexpr Kind C = Kind::ComboBox;
constexpr Kind Bt = Kind::Button;
constexpr Font Bold = Font::SummaryBold;
constexpr Font Def = Font::Default;

// The controls in the order they are created.
// clang-format off
inline constexpr ControlSpec kControls[] = {
    // Summary page, upper frame.
    {"Frame6", F, nullptr, 480, 2280, 8415, 1095, 33, "Antenna Diamensions", nullptr, Def, false},
    {"txtSWG1", T, "Frame6", 6720, 600, 615, 360, 41, " ", "Summary: antenna wire SWG", Bold},
    {"txtBB", T, "Frame6", 4200, 600, 855, 360, 40, " ", "Summary: B, centre to coil distance (m)", Bold},
    {"txtAA", T, "Frame6", 2160, 600, 855, 360, 39, " ", "Summary: A, total length (m)", Bold},
    {"txtFF", T, "Frame6", 240, 600, 855, 360, 38, " ", "Summary: frequency (MHz)", Bold},
    {"Label4", Lb, "Frame6", 6360, 240, 1575, 255, 37, "Antenna Wire SWG ", nullptr},
    {"Labe5_1", Lb, "Frame6", 3600, 240, 2235, 255, 36, "B = Centre to Coil distance ( m )", nullptr},
    {"Labe4_0", Lb, "Frame6", 1920, 240, 1545, 255, 35, "A = Total Length ( m )", nullptr},
    {"Label3_0", Lb, "Frame6", 120, 240, 1455, 255, 34, "Frequency ( MHz )", nullptr},

    // Summary page, lower frame.
    {"Frame5", F, nullptr, 360, 3480, 8895, 1695, 24, "Winding data for the Loading Coils", nullptr, Def, false},
    {"txtSWG2", T, "Frame5", 4320, 1080, 495, 360, 31, " ", "Summary: coil wire SWG", Bold},
    {"txtDD1", T, "Frame5", 2160, 1050, 615, 390, 29, " ", "Summary: coil former diameter (mm)", Bold},
    {"txtB2", T, "Frame5", 4560, 480, 3255, 350, 18, " ", "Revised length of the coil", Bold, true, true, true},
    {"txtN", T, "Frame5", 2160, 480, 1035, 345, 42, " ", "Number of turns of the coil", Bold, true, true, true},
    {"L", T, "Frame5", 7320, 960, 1155, 420, 32, " ", "Inductance of the coil (\u00b5H)", Bold, true, true, true},
    {"Label9_0", Lb, "Frame5", 2880, 1080, 1335, 255, 30, "Coil wire SWG  =", nullptr},
    {"Label7_0", Lb, "Frame5", 120, 1080, 2055, 255, 28, "Coil Former Diameter (mm ) =", nullptr},
    {"Label12_0", Lb, "Frame5", 5040, 240, 2055, 255, 27, "Revised Length of the Coil", nullptr},
    {"Labe11_0", Lb, "Frame5", 240, 480, 1815, 255, 26, "No. of Turns of the Coil =", nullptr},
    {"Label10_1", Lb, "Frame5", 5160, 1080, 2175, 255, 25, "Inductance of the Coil ( \u00b5H ) =", nullptr},

    // Step-2 page.
    {"Frame4", F, nullptr, 1200, 2400, 7215, 1335, 20, "Data Input - step 2", nullptr, Def, false},
    {"Command2", Bt, "Frame4", 5880, 720, 735, 375, 8, "OK", "OK, step 2", Def, true, false},
    {"cmbSWG2", C, "Frame4", 3960, 600, 615, 315, 7, "20", "Coil wire SWG (10 - 30)"},
    {"txtB1", T, "Frame4", 2520, 600, 495, 285, 6, " ", "Coil length (mm)"},
    {"txtD1", T, "Frame4", 600, 600, 495, 285, 5, " ", "Coil former diameter (mm)"},
    {"Label9_1", Lb, "Frame4", 3600, 240, 1935, 255, 23, "Coil wire SWG ( 10 - 30 )", nullptr},
    {"Label8_0", Lb, "Frame4", 2160, 240, 1335, 255, 22, "Coil Length (mm )", nullptr},
    {"Label7_1", Lb, "Frame4", 120, 240, 2055, 255, 21, "Coil Former Diameter ( mm )", nullptr},

    // Step-1 page.
    {"Frame3", F, nullptr, 360, 2160, 8895, 1695, 14, "Data Input - step 1", nullptr},
    {"Command1", Bt, "Frame3", 5160, 960, 855, 375, 4, "OK", "OK, step 1", Def, true, false},
    {"cmbSWG1", C, "Frame3", 6600, 600, 615, 315, 3, "14", "Antenna wire SWG (10 - 30)"},
    {"txtB", T, "Frame3", 3960, 600, 615, 285, 2, " ", "B, centre to coil distance (m)"},
    {"txtA", T, "Frame3", 2040, 600, 615, 285, 1, " ", "A, total length (m)"},
    {"txtF", T, "Frame3", 360, 600, 615, 285, 0, " ", "Frequency (MHz)"},
    {"Labe6_0", Lb, "Frame3", 6000, 240, 2415, 255, 19, "Antenna Wire SWG ( 10 - 30)", nullptr},
    {"Labe5_0", Lb, "Frame3", 3360, 240, 2235, 255, 17, "B = Centre to Coil distance ( m )", nullptr},
    {"Labe4_1", Lb, "Frame3", 1680, 240, 1545, 255, 16, "A = Total Length ( m )", nullptr},
    {"Label3_1", Lb, "Frame3", 120, 240, 1455, 255, 15, "Frequency ( MHz )", nullptr},

    // Always on view.
    {"Frame2", F, nullptr, 7200, 120, 2415, 1935, 12, "Instructions for use", nullptr},
    {"Label2", Lb, "Frame2", 120, 240, 2175, 1575, 13, kInstructions, nullptr},
    {"Frame1", F, nullptr, 120, 120, 2295, 1815, 10, "About this programe", nullptr},
    {"Label1", Lb, "Frame1", 120, 360, 2055, 1215, 11, kAbout, nullptr},
    {"Label5", Lb, nullptr, 5640, 5280, 2055, 255, 43, "Brevan Ver 1.2  (metric)", nullptr},
    {"Label11", Lb, nullptr, 7800, 5280, 1680, 255, 9, "Programed by Tolvane", nullptr},
    {"Image1", Kind::Image, nullptr, 2520, 240, 4530, 1335, -1, "", "Diagram of the loaded dipole"},
};
// clang-format on

} // namespace detail

using detail::kControls;

// Which box each heading label names. Screen readers take a combo box's name from the label
// that points at it, not from the combo itself.
struct Heading {
    const char* label;
    const char* control;
};

inline constexpr Heading kHeadings[] = {
    {"Label3_1", "txtF"},   {"Labe4_1", "txtA"},    {"Labe5_0", "txtB"},     {"Labe6_0", "cmbSWG1"},
    {"Label7_1", "txtD1"},  {"Label8_0", "txtB1"},  {"Label9_1", "cmbSWG2"}, {"Label3_0", "txtFF"},
    {"Labe4_0", "txtAA"},   {"Labe5_1", "txtBB"},   {"Label4", "txtSWG1"},   {"Labe11_0", "txtN"},
    {"Label12_0", "txtB2"}, {"Label7_0", "txtDD1"}, {"Label9_0", "txtSWG2"}, {"Label10_1", "L"},
};

int toPixels(int twips);
const ControlSpec* findControl(const char* name);

} // namespace layout
