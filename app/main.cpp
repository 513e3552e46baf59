// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_window.h"

#include <QApplication>

int main(int /*argc*/, char* argv[]) {
    // The program takes no command line, not even the toolkit's own options.
    int toolkitArgc = 1;
    QApplication app(toolkitArgc, argv);
    // Message boxes carry no title of their own; the window system shows this name instead.
    QApplication::setApplicationName(QStringLiteral("Brevan1"));
    QApplication::setApplicationVersion(QStringLiteral("1.2"));
    QApplication::setStyle(QStringLiteral("Fusion"));

    frmBrevan1 window(UiServices::desktop());
    window.show();
    return QApplication::exec();
}
