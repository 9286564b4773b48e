#include "windows/options.h"

#include "platform/fs.h"
#include "platform/locale.h"

namespace twn {

TOptionsValues OptionsFromSettings(const TSettings& settings) {
  return {settings.MainLogFolder, settings.bAutosizeColumns, settings.bShowTutorials};
}

std::string BrowseStartFolder(std::string_view typed) {
  return std::string(platform::TrimBlanks(typed));
}

std::string BrowsedLogFolder(std::string_view chosen) {
  return chosen.empty() ? std::string() : platform::IncludeTrailingSeparator(chosen);
}

TOptionsSave SaveOptions(const TOptionsValues& edited, TSettings& settings) {
  TOptionsValues stored = edited;
  stored.LogFolder = std::string(platform::TrimBlanks(edited.LogFolder));
  if (!platform::DirectoryExists(stored.LogFolder)) return TOptionsSave::NoFolder;
  if (stored == OptionsFromSettings(settings)) return TOptionsSave::Unchanged;
  settings.MainLogFolder = stored.LogFolder;
  settings.bAutosizeColumns = stored.bAutosizeColumns;
  settings.bShowTutorials = stored.bShowTutorials;
  return TOptionsSave::Changed;
}

}  // namespace twn
