#include "windows/plan_preview.h"

#include <algorithm>

#include "run/report.h"

namespace twn {
namespace {

// A side's path when the entry has something there or the action puts something there.
std::string EntryPath(const TItemList& plan, int32_t i, int side) {
  if (plan.Index(i, side) < 0 && !WritesOnto(plan.Action(i), side)) return "-";
  return plan.IsFile(i) ? plan.FilePath(i, side).path : plan.FolderPath(i, side).path;
}

// The size that matters for an entry: a copy's source, a deleted file; none for folders.
std::string EntrySize(const TItemList& plan, int32_t i) {
  if (!plan.IsFile(i)) return "";
  const int action = plan.Action(i);
  int side = CopySource(action);
  if (side < 0) side = DeletesOn(action, kLeft) ? kLeft : kRight;
  return GroupedNumber(plan.FileSize(i, side));
}

}  // namespace

TPlanPreviewRow PlanPreviewRow(const TItemList& plan, int32_t i) {
  const int action = plan.Action(i);
  return {
      std::string(action >= 0 && action < kActionCount ? kPlanActionNames[size_t(action)] : "?"),
      EntryPath(plan, i, kLeft), EntryPath(plan, i, kRight), EntrySize(plan, i)};
}

void MakeOneLine(std::string& text) {
  const auto special = [](char c) { return c == '\\' || c == '\t' || c == '\r' || c == '\n'; };
  auto first = std::find_if(text.begin(), text.end(), special);
  if (first == text.end()) return;  // nearly every name
  std::string out(text.begin(), first);
  for (auto it = first; it != text.end(); ++it) {
    switch (*it) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += *it;
    }
  }
  text = std::move(out);
}

}  // namespace twn
