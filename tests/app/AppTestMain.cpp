// The widget tests' main: the offscreen platform, and settings and runtime
// folders of their own under the build tree, never the user's.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QSettings>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/graph/GraphFrame.h"
#include "app/setup/SetupDialogs.h"
#include "app/views/Views.h"

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(TARNWICK_TEST_SCRATCH) / ("app-" + std::to_string(::getpid()));
    fs::create_directories(root / "config");
    fs::create_directories(root / "runtime");
    fs::create_directories(root / "data");
    fs::permissions(root / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    ::setenv("HOME", root.c_str(), 1);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString((root / "config").string()));
    QApplication app(argc, argv);
    // As the program's main does.
    tarnwick::RegisterGraphView();
    tarnwick::RegisterViews();
    tarnwick::RegisterSetupDialogs();
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ec;
    fs::remove_all(root, ec);
    return result;
}
