// The widget tests' main: the offscreen platform, and settings and runtime
// folders of their own under the build tree, never the user's.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/graph/GraphFrame.h"
#include "app/setup/SetupDialogs.h"
#include "app/views/Views.h"
#include "morlund/platform/File.h"
#include "morlund/platform/Process.h"

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const fs::path root =
        fs::path(TARNWICK_TEST_SCRATCH) / ("app-" + std::to_string(morlund::ProcessId()));
    fs::create_directories(root / "config");
    fs::create_directories(root / "runtime");
    fs::create_directories(root / "data");
    fs::permissions(root / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    morlund::SetEnvironmentValue("QT_QPA_PLATFORM", "offscreen");
    morlund::SetEnvironmentValue("XDG_CONFIG_HOME", morlund::PathToUtf8(root / "config"));
    morlund::SetEnvironmentValue("XDG_RUNTIME_DIR", morlund::PathToUtf8(root / "runtime"));
    morlund::SetEnvironmentValue("XDG_DATA_HOME", morlund::PathToUtf8(root / "data"));
    morlund::SetEnvironmentValue("HOME", morlund::PathToUtf8(root));
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
