// The window tests run without a display: the offscreen platform, one
// QApplication for the whole program, and settings in a folder of their own
// that goes with the run, never the user's (and so do recovery files).

#include "gui/application.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    }
    // The windows' recovery files go with the run, never into the user's state.
    QTemporaryDir state;
    if (qEnvironmentVariableIsEmpty("SKARVEL_TEST_KEEP_STATE")) {
        qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    }
    skarvel::gui::UseJapaneseSystemLocale();
    QApplication app(argc, argv);
    skarvel::gui::ConfigureApplication(app);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settings;
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
            QSettings::setPath(format, scope, settings.path());
        }
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
