// The text of a scan's tables, for comparing two scans.
#include "engine/scan_text.h"

#include <sstream>
#include <type_traits>

#include "engine/scan_info.h"

namespace twn {
namespace {

/// Numbers as numbers, bytes included.
template <class T>
auto Num(const T& v) {
  if constexpr (std::is_arithmetic_v<T>)
    return +v;
  else
    return v;
}

template <class... T>
void Put(std::ostream& out, const T&... v) {
  ((out << Num(v) << ' '), ...);
  out << '\n';
}

void PutItems(std::ostream& out, const TItemList& list) {
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TCompareItem& t = *list.Item(i);
    Put(out, list.Group(i), t.index[0], t.index[1], t.flags, t.action, t.cls, t.is_file, t.root_mark);
  }
}

}  // namespace

std::string ScanText(const TScanInfo& info) {
  std::ostringstream out;
  for (int32_t i = 0; i < info.FolderCount(); ++i) {
    const TFolderEntry& f = *info.Folder(i);
    Put(out, f.path_offset, f.rel_offset, f.pair, f.parent, f.files_found, f.subfolders_found,
        f.files_remaining, f.subfolders_remaining, f.partner, f.group, f.insertion, f.path_length,
        f.rel_length, f.root, f.exists, f.side, f.matched, f.blocked, info.FolderPathOf(i));
  }
  for (int32_t i = 0; i < info.FileCount(); ++i) {
    const TFileEntry& f = *info.File(i);
    Put(out, f.size, f.time, f.name_offset, f.folder, f.partner, f.name_length, f.ext_start,
        f.attributes, f.side, f.time_relation, f.selected, info.FileName(i));
  }
  PutItems(out, info.Items());
  out << "plan\n";
  PutItems(out, info.Plan());
  const TScanCounters& s = info.ScanCounters();
  Put(out, s.folders_scanned[0], s.folders_scanned[1], s.files_found[0], s.files_found[1],
      info.PoolBytes(), info.ErrorCount());
  for (int c = 0; c < 13; ++c) Put(out, info.ClassCounters().count[c]);
  for (int a = 0; a < kActionCount; ++a) Put(out, info.PlanCounters().count[a]);
  return out.str();
}

}  // namespace twn
