// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the check window's icon as PNGs in the layout of the hicolor icon theme, so the menu
// entry shows the picture the running window shows (tools/theme_icons.h).
#include "check_icon.h"
#include "theme_icons.h"

int main(int argc, char* argv[]) {
    return renderThemeIcons(argc, argv, drawCheckIcon);
}
