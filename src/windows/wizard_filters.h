#pragma once
// The lists of predefined file and folder filters as the job wizard edits them: saving the
// job's filter under a name (new or over an existing entry), renaming, moving and deleting.
// Both lists hold filters with a FilterName, so one set of templates serves them.
#include <algorithm>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "filters/file_filter.h"
#include "filters/folder_filter.h"
#include "model/job_data.h"

namespace twn {

inline constexpr std::string_view kOverwriteFilterTitle = "Confirm replacing existing filter";
inline constexpr std::string_view kOverwriteFilterText = "Overwrite predefined filter?";

/// The captions, prompt and help context of the filter-name dialog.
struct TFilterNameTexts {
  std::string_view Caption;
  std::string_view Prompt;
  int HelpContext = 0;
};
TFilterNameTexts FilterNameTexts(bool folder_filter, bool rename);

/// Why a typed filter name cannot be stored, or an empty text: a blank name, a line break.
std::string FilterNameProblem(std::string_view name);

/// The first of `names` that equals `typed` in upper case, or -1.
int FindFilterName(std::span<const std::string> names, std::string_view typed);

/// The names of a predefined list, in order.
template <class TFilter>
std::vector<std::string> FilterNames(const std::vector<TFilter>& list) {
  std::vector<std::string> names;
  for (const TFilter& f : list) names.push_back(f.FilterName);
  return names;
}

/// Stores a copy of `filter` named `name`: over entry `selected`, or appended when it is -1.
/// Returns the entry's index.
template <class TFilter>
int SaveFilterAs(std::vector<TFilter>& list, const TFilter& filter, std::string_view name,
                 int selected) {
  TFilter copy = filter;
  copy.FilterName = std::string(name);
  if (selected >= 0 && selected < static_cast<int>(list.size())) {
    list[static_cast<size_t>(selected)] = std::move(copy);
    return selected;
  }
  list.push_back(std::move(copy));
  return static_cast<int>(list.size()) - 1;
}

/// Moves entry `from` to place `to`; false (nothing moved) when either is outside the list or
/// they are the same place.
template <class TFilter>
bool MoveFilter(std::vector<TFilter>& list, int from, int to) {
  const int n = static_cast<int>(list.size());
  if (from < 0 || from >= n || to < 0 || to >= n || from == to) return false;
  auto first = list.begin();
  if (from < to)
    std::rotate(first + from, first + from + 1, first + to + 1);
  else
    std::rotate(first + to, first + from, first + from + 1);
  return true;
}

/// Deletes entry `index` and returns the row to select afterwards: the same place, the last
/// row when the deleted one was last, -1 when the list is empty.
template <class TFilter>
int DeleteFilter(std::vector<TFilter>& list, int index) {
  const int n = static_cast<int>(list.size());
  if (index < 0 || index >= n) return std::min(index, n - 1);
  list.erase(list.begin() + index);
  return std::min(index, n - 2);
}

/// The commands of a predefined list for the selected row (-1 for none).
struct TFilterCommands {
  bool Set = false, Delete = false, Title = false, Up = false, Down = false;
};
TFilterCommands FilterCommands(int selected, int count);

/// "Set filter": the job's filter takes the predefined one, apart from its name.
void SetFileFilter(TJobData& data, const TFileFilter& predefined);
void SetFolderFilter(TJobData& data, const TFolderFilter& predefined);

}  // namespace twn
