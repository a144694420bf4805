// The user's settings, remembered between starts: $XDG_CONFIG_HOME/kelvo/kelvo.conf (by default
// ~/.config/kelvo/kelvo.conf), an INI file that QSettings reads and writes. The windows read them
// when they are built and write them when the main window closes; the keys are listed here.
// Threads: the window's.
#pragma once

#include <QSettings>
#include <QString>
#include <memory>

namespace kelvo {

namespace settings {
inline constexpr const char* kPort = "Run/Port";                // the port chosen in the selector
inline constexpr const char* kShowLogTime = "Log/ShowTime";     // the log's time column
inline constexpr const char* kSaveAllRuns = "Log/SaveAllRuns";  // every run's log kept on disk
inline constexpr const char* kMainGeometry = "MainWindow/Geometry";
inline constexpr const char* kMainSplitter = "MainWindow/Splitter";
inline constexpr const char* kExpandedModems = "MainWindow/ExpandedModems";  // modem names
inline constexpr const char* kSelected = "MainWindow/Selected";              // modem name, script name
inline constexpr const char* kEditorGeometry = "Editor/Geometry";
inline constexpr const char* kEditorSplitter = "Editor/Splitter";
inline constexpr const char* kTerminalHistory = "Terminal/History";  // sent commands, oldest first
}  // namespace settings

// The settings file's path.
QString UserSettingsPath();
// The user's settings, opened on that file.
std::unique_ptr<QSettings> OpenUserSettings();

}  // namespace kelvo
