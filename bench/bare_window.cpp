// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for the program's start-up: the least a Qt Widgets program with the same
// application set-up can do, one label in a window, so the difference is what the calculator's
// own window costs.

#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brevan1"));
    QApplication::setApplicationVersion(QStringLiteral("1.2"));
    QApplication::setStyle(QStringLiteral("Fusion"));

    QLabel label(QStringLiteral("Loaded Dipole Antenna for restricted space ( metric units)"));
    label.setWindowTitle(QStringLiteral("bare window"));
    label.show();
    return QApplication::exec();
}
