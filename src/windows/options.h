#pragma once
// The Options window's texts and rules: the log folder, autosized job-list columns and the
// tutorials panel, checked and stored into the settings.
#include <string>
#include <string_view>

#include "app/settings.h"

namespace twn {

inline constexpr std::string_view kOptionsCaption = "Options";
inline constexpr std::string_view kOptionsFolderLabel = "Path to log files folder:";
inline constexpr std::string_view kOptionsBrowse = "Browse...";
inline constexpr std::string_view kOptionsAutosize = "Enable autosize columns";
inline constexpr std::string_view kOptionsTutorials = "Show tutorials panel";
inline constexpr std::string_view kOptionsSave = "Save";
inline constexpr std::string_view kOptionsClose = "Close";
inline constexpr std::string_view kOptionsHelp = "Help";
inline constexpr std::string_view kOptionsBrowsePrompt = "Locate log folder:";
inline constexpr std::string_view kOptionsNoFolderTitle = "Warning: incorrect folder name";
inline constexpr std::string_view kOptionsNoFolderText =
    "The folder you entered is not exist.\n\nClick 'Browse' button to select one.";

/// What the window edits.
struct TOptionsValues {
  std::string LogFolder;
  bool bAutosizeColumns = false;
  bool bShowTutorials = false;
  bool operator==(const TOptionsValues&) const = default;
};

TOptionsValues OptionsFromSettings(const TSettings& settings);

/// Where the folder browser starts: the typed text without surrounding blanks.
std::string BrowseStartFolder(std::string_view typed);
/// What the edit box receives for a chosen folder: the folder with a trailing separator.
std::string BrowsedLogFolder(std::string_view chosen);

enum class TOptionsSave {
  Unchanged,  // stored, and nothing differs from before
  Changed,    // stored, and at least one value differs
  NoFolder,   // the trimmed folder names no existing folder: nothing stored
};

/// Stores `edited` (the log folder trimmed) into `settings` when the folder exists.
TOptionsSave SaveOptions(const TOptionsValues& edited, TSettings& settings);

}  // namespace twn
