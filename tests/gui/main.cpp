// Runs the score-window tests inside one QApplication on the offscreen
// platform, with the engine's settings in a private folder.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "host/engine/engine.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
