// SPDX-License-Identifier: GPL-3.0-or-later
// Entry of the test programs that need a running QApplication: the widgets are real, drawn on
// the offscreen platform unless the environment already names one.
#include <QApplication>
#include <QByteArray>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
