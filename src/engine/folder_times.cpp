// Which folders take their partners' last-write times after a run.
#include "engine/scan_info.h"

namespace twn {
namespace {

constexpr uint32_t kCopiesToRight =
    abSingleLCopy | abNewerRCopyL | abNewerLCopyL | abEqualDateL | abCopyEmptyL;
constexpr uint32_t kCopiesToLeft =
    abSingleRCopy | abNewerLCopyR | abNewerRCopyR | abEqualDateR | abCopyEmptyR;

}  // namespace

int32_t TScanInfo::ParentGroup(int32_t group) const {
  if (group < 0 || group >= folders_.Count()) return -1;
  return folders_[folders_[group].parent].group;
}

bool TScanInfo::GroupHasSide(int32_t group, int side) const {
  const TFolderEntry& f = folders_[group];
  return f.side == side || (f.partner >= 0 && folders_[f.partner].side == side);
}

void TScanInfo::MarkCreated(std::span<uint8_t> touched, int32_t group, int side) const {
  // The levels above that were missing on that side were created with it; the first one that
  // was there gained a folder.
  const auto bit = uint8_t(1u << side);
  for (int32_t g = group; g >= 0 && size_t(g) < touched.size();) {
    touched[size_t(g)] |= bit;
    const int32_t parent = ParentGroup(g);
    if (parent == g || (g != group && GroupHasSide(g, side))) break;
    g = parent;
  }
}

int TScanInfo::OneWayTarget() const {
  const bool right = (action_set_ & kCopiesToRight) != 0;
  const bool left = (action_set_ & kCopiesToLeft) != 0;
  if (right == left) return -1;
  return right ? kRight : kLeft;
}

std::vector<TFolderTimeTarget> TScanInfo::FolderTimeTargets(
    std::span<const uint8_t> touched) const {
  std::vector<TFolderTimeTarget> targets;
  if (!scan_options_.folder_times) return targets;
  const int quiet = OneWayTarget();
  // Items are in folder order, parents before their subfolders: backwards, deepest first.
  for (int32_t i = items_.Count() - 1; i >= 0; --i) {
    const TCompareItem& item = items_[i];
    if (item.is_file || Blocked(item)) continue;
    const auto group = static_cast<size_t>(ItemGroup(item));
    const uint8_t marks = group < touched.size() ? touched[group] : 0;
    for (int side : {kLeft, kRight}) {
      const int32_t from = item.index[1 - side];
      if (RemovesOn(item.action, side) || from < 0 || folders_[from].status.time == 0) continue;
      if (marks & (1u << (1 - side))) continue;  // its partner's time is no longer the scan's
      const int32_t to = item.index[side];
      // A one-way method brings a folder whose time alone differs along too, so that the two
      // sides read the same afterwards; a folder the run left alone otherwise keeps its time.
      const platform::TFileTime time = folders_[from].status.time;
      const bool differs = to >= 0 && folders_[to].exists && folders_[to].status.time != 0 &&
                           folders_[to].status.time != time;
      if ((marks & (1u << side)) || (side == quiet && differs)) {
        // Missing at the scan and written into since: the run made it (its root, too).
        const bool created = to < 0 || !folders_[to].exists;
        targets.push_back({i, side, created, folders_[from].status});
      }
    }
  }
  return targets;
}

}  // namespace twn
