#pragma once
// The plan as a preview shows it before anything is done: one row per plan entry.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/scan_info.h"

namespace twn {

struct TPlanPreviewRow {
  std::string action;  // kPlanActionNames
  std::string left;    // "-" when the entry has nothing on that side and puts nothing there
  std::string right;
  std::string size;  // grouped; the copy's source or the deleted file; empty for folders
};

TPlanPreviewRow PlanPreviewRow(const TItemList& plan, int32_t i);

/// Writes tabs, line breaks and backslashes as \t, \r, \n and \\, so that a name holding them
/// keeps its entry on one line and its columns in place.
void MakeOneLine(std::string& text);

}  // namespace twn
