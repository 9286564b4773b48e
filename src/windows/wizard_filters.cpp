#include "windows/wizard_filters.h"

#include "platform/locale.h"

namespace twn {

TFilterNameTexts FilterNameTexts(bool folder_filter, bool rename) {
  if (rename)
    return {folder_filter ? "Rename folders predefined filter" : "Rename predefined file filter",
            "Please enter new name for the filter:", folder_filter ? 22 : 20};
  return {folder_filter ? "Save folders as predefined filter" : "Save file filter as predefined",
          "Select filter from the list or type name of new one:", folder_filter ? 21 : 19};
}

std::string FilterNameProblem(std::string_view name) {
  if (platform::TrimBlanks(name).empty()) return "Please type a name for the filter.";
  if (HasLineBreak(name)) return "A filter name cannot hold a line break";
  return {};
}

int FindFilterName(std::span<const std::string> names, std::string_view typed) {
  const std::string key = platform::UpperCase(typed);
  for (size_t i = 0; i < names.size(); ++i)
    if (platform::UpperCase(names[i]) == key) return static_cast<int>(i);
  return -1;
}

TFilterCommands FilterCommands(int selected, int count) {
  TFilterCommands c;
  const bool row = selected >= 0 && selected < count;
  c.Set = c.Delete = c.Title = row;
  c.Up = row && selected > 0;
  c.Down = row && selected < count - 1;
  return c;
}

void SetFileFilter(TJobData& data, const TFileFilter& predefined) {
  const std::string own = data.FileFilter.FilterName;
  data.FileFilter = predefined;
  data.FileFilter.FilterName = own;
}

void SetFolderFilter(TJobData& data, const TFolderFilter& predefined) {
  const std::string own = data.FolderFilter.FilterName;
  data.FolderFilter.Assign(predefined);
  data.FolderFilter.FilterName = own;
}

}  // namespace twn
