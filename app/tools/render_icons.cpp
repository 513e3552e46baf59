// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the program's icon as PNGs in the layout of the hicolor icon theme, so the installed
// desktop entry shows the same picture as the running window (tools/theme_icons.h).
#include "app_icon.h"
#include "theme_icons.h"

int main(int argc, char* argv[]) {
    return renderThemeIcons(argc, argv, drawAppIcon);
}
