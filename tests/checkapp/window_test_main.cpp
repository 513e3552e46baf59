// SPDX-License-Identifier: GPL-3.0-or-later
// Entry of the window tests: a QApplication on the offscreen platform, named as the program is
// but with QSettings in a folder of its own, so no test reads or changes a person's settings.
#include <QApplication>
#include <QByteArray>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    }
    QStandardPaths::setTestModeEnabled(true);
    // ctest runs the tests side by side, each case a process of its own: each keeps its settings
    // in a folder of its own, so that one's saved folder or place is never another's.
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("BrevanTests"));
    QApplication::setApplicationName(QStringLiteral("BrevanCheckTests"));
    // The version brevan-check prints, so that the reports compare byte for byte.
    QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION_TEXT));
    return RUN_ALL_TESTS();
}
