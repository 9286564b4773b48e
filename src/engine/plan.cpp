// The synchronization plan of TScanInfo: an action for every comparison item, the empty-folder
// cascade, the guard for missing roots, and the plan list with its counters.
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "engine/scan_info.h"
#include "platform/fs.h"

namespace twn {
namespace {

struct TActionRule {
  uint8_t cls;
  uint32_t bits;
  uint8_t action;
};

// Tested in this order; a later rule that holds replaces the result of an earlier one.
constexpr TActionRule kFileRules[] = {
    {ccLeftSingle, abSingleLCopy, paCopyToRight},
    {ccLeftSingle, abSingleLDelete, paDeleteLeft},
    {ccRightSingle, abSingleRCopy, paCopyToLeft},
    {ccRightSingle, abSingleRDelete, paDeleteRight},
    {ccLeftNewer, abNewerLCopyL, paOverwriteRight},
    {ccLeftNewer, abNewerLDelL, paDeleteLeft},
    {ccLeftNewer, abNewerLCopyR, paOverwriteLeft},
    {ccLeftNewer, abNewerLDelR, paDeleteRight},
    {ccLeftNewer, abNewerLDelR | abNewerLDelL, paDeleteBoth},
    {ccLeftOlder, abNewerRCopyL, paOverwriteRight},
    {ccLeftOlder, abNewerRDelL, paDeleteLeft},
    {ccLeftOlder, abNewerRCopyR, paOverwriteLeft},
    {ccLeftOlder, abNewerRDelR, paDeleteRight},
    {ccLeftOlder, abNewerRDelL | abNewerRDelR, paDeleteBoth},
    {ccEqual, abEqualDelL, paDeleteLeft},
    {ccEqual, abEqualDelR, paDeleteRight},
    {ccEqual, abEqualDelL | abEqualDelR, paDeleteBoth},
    {ccSameTime, abEqualDateL, paOverwriteRight},
    {ccSameTime, abEqualDateR, paOverwriteLeft},
    {ccSameTime, abEqualDateDelL, paDeleteLeft},
    {ccSameTime, abEqualDateDelR, paDeleteRight},
    {ccSameTime, abEqualDateDelL | abEqualDateDelR, paDeleteBoth},
};

/// The action without its deletions and removals.
uint8_t WithoutRemovals(uint8_t action) {
  switch (action) {
    case paDeleteLeft:
    case paDeleteRight:
    case paDeleteBoth:
    case paRemoveLeft:
    case paRemoveRight:
    case paRemoveBoth:
      return paNothing;
    case paRemoveLeftCreateRight:
      return paCreateRight;
    case paRemoveRightCreateLeft:
      return paCreateLeft;
    default:
      return action;
  }
}

std::string WithoutSeparator(std::string path) {
  if (path.size() > 1 && path.back() == platform::kSep) path.pop_back();
  return path;
}

}  // namespace

int32_t TScanInfo::NearestMatched(int32_t folder) const {
  while (!folders_[folder].matched && folders_[folder].parent != folder)
    folder = folders_[folder].parent;
  return folder;
}

void TScanInfo::GainSubfolderAbove(int32_t folder) {
  const int32_t partner = folders_[NearestMatched(folder)].partner;
  if (partner >= 0) folders_[partner].subfolders_remaining += 1;
}

void TScanInfo::LoseSubfolderOfParent(int32_t folder) {
  const int32_t parent = folders_[folder].parent;
  if (parent != folder) folders_[parent].subfolders_remaining -= 1;
}

void TScanInfo::PlanFileAction(TCompareItem& item, int32_t last_folder_item) {
  uint8_t action = paNothing;
  for (const TActionRule& rule : kFileRules)
    if (rule.cls == item.cls && (action_set_ & rule.bits) == rule.bits) action = rule.action;
  item.action = action;
  auto folder_of = [&](int side) { return files_[item.index[side]].folder; };
  auto copy_into = [&](int from, uint8_t one_sided_cls, uint8_t create) {
    const int32_t f = folder_of(from);
    if (folders_[f].partner >= 0)
      folders_[folders_[f].partner].files_remaining += 1;
    else
      GainSubfolderAbove(f);
    TCompareItem& folder_item = items_[last_folder_item];
    if (folder_item.cls == one_sided_cls) folder_item.action = create;
  };
  switch (action) {
    case paDeleteLeft:
    case paDeleteRight:
    case paDeleteBoth:
      for (int side : {kLeft, kRight}) {
        const bool deleted = action == paDeleteBoth || action == paDeleteLeft + side;
        if (deleted) folders_[folder_of(side)].files_remaining -= 1;
      }
      break;
    case paCopyToRight:
      copy_into(kLeft, ccFolderLeft, paCreateRight);
      break;
    case paCopyToLeft:
      copy_into(kRight, ccFolderRight, paCreateLeft);
      break;
    default:
      break;
  }
}

bool TScanInfo::Blocked(const TCompareItem& item) const {
  if (scan_errors_ == 0) return false;  // nothing unseen: no folder is blocked
  for (int side : {kLeft, kRight}) {
    const int32_t entry = item.index[side];
    if (entry < 0) continue;
    const int32_t folder = item.is_file ? files_[entry].folder : entry;
    if (folders_[folder].blocked) return true;
  }
  return false;
}

void TScanInfo::PlanActions() {
  int32_t last_folder_item = 0;
  for (int32_t i = 0; i < items_.Count(); ++i) {
    TCompareItem& item = items_[i];
    item.action = paNothing;
    if (Blocked(item)) {
      if (!item.is_file) last_folder_item = i;
      continue;
    }
    if (item.is_file)
      PlanFileAction(item, last_folder_item);
    else
      last_folder_item = i;
  }
  PlanEmptyFolders();
  GuardMissingRoots();
  CountMissingRoots();
}

void TScanInfo::PlanEmptyFolders() {
  const uint32_t s = action_set_;
  if (!(s & (abRemoveEmptyL | abRemoveEmptyR | abCopyEmptyR | abCopyEmptyL))) return;
  const bool remove_l = s & abRemoveEmptyL, remove_r = s & abRemoveEmptyR;
  const bool copy_r = s & abCopyEmptyR, copy_l = s & abCopyEmptyL;
  auto empty = [this](int32_t f) {
    return f >= 0 && folders_[f].files_remaining == 0 && folders_[f].subfolders_remaining == 0;
  };
  for (int32_t i = items_.Count() - 1; i >= 0; --i) {
    TCompareItem& item = items_[i];
    if (item.is_file || Blocked(item)) continue;
    const int32_t l = item.index[kLeft], r = item.index[kRight];
    const bool left_empty = empty(l), right_empty = empty(r);
    const uint8_t c = item.cls;
    uint8_t a = item.action;
    if (left_empty) {
      if (remove_l && (c == ccFolderLeft || c == ccFolderBoth))
        a = (copy_r && c == ccFolderBoth) ? paNothing : paRemoveLeft;
      if (copy_l && (c == ccFolderLeft || c == ccRootLeft)) a = paCreateRight;
      if (remove_l && copy_l && c == ccFolderLeft) a = paRemoveLeftCreateRight;
    }
    if (right_empty) {
      if (remove_r && (c == ccFolderRight || c == ccFolderBoth)) {
        a = a == paRemoveLeft ? paRemoveBoth : paRemoveRight;
        if (copy_l && c == ccFolderBoth) a = paNothing;
      }
      if (copy_r && (c == ccFolderRight || c == ccRootRight)) a = paCreateLeft;
      if (remove_r && copy_r && c == ccFolderRight) a = paRemoveRightCreateLeft;
    }
    item.action = a;
    if (left_empty) {
      if (a == paCreateRight || a == paRemoveLeftCreateRight) GainSubfolderAbove(l);
      if (a == paRemoveLeft || a == paRemoveBoth || a == paRemoveLeftCreateRight)
        LoseSubfolderOfParent(l);
    }
    if (right_empty) {
      if (a == paCreateLeft || a == paRemoveRightCreateLeft) GainSubfolderAbove(r);
      if (a == paRemoveRight || a == paRemoveBoth || a == paRemoveRightCreateLeft)
        LoseSubfolderOfParent(r);
    }
  }
}

// A root that does not exist is an unplugged drive or a typo, not an emptied folder: its pair
// keeps its copies and creations but loses every deletion and removal, and the missing root is
// created when something is to be copied or created below it. A side given as an empty path
// gets nothing at all.
void TScanInfo::GuardMissingRoots() {
  for (TPairRootEntry& root : pair_roots_) root.dropped = 0;
  int32_t root_item = -1;
  for (int32_t i = 0; i < items_.Count(); ++i) {
    TCompareItem& item = items_[i];
    const int side = item.index[kLeft] >= 0 ? kLeft : kRight;
    const int32_t entry = item.index[side];
    const int32_t folder = item.is_file ? files_[entry].folder : entry;
    TPairRootEntry* root = PairRoot(folders_[folder].pair);
    if (!root || (root->exists[kLeft] && root->exists[kRight])) continue;
    if (!item.is_file && item.root_mark) root_item = i;
    uint8_t kept = WithoutRemovals(item.action);
    for (int missing : {kLeft, kRight})
      if (!root->exists[missing] && root->length[missing] == 0 && WritesOnto(kept, missing))
        kept = paNothing;
    if (kept != item.action) root->dropped += 1;
    item.action = kept;
    for (int missing : {kLeft, kRight}) {
      if (root->exists[missing] || !root->exists[1 - missing] || root_item < 0) continue;
      if (WritesOnto(kept, missing))
        items_[root_item].action = missing == kRight ? paCreateRight : paCreateLeft;
    }
  }
}

// A root that is missing after the run, because the plan does not create it, means the pair was
// not synchronized (an unplugged source disk): the run must not look like a success.
void TScanInfo::CountMissingRoots() {
  missing_root_errors_ = 0;
  for (const TCompareItem& item : items_) {
    if (item.is_file || !item.root_mark || Blocked(item)) continue;
    const int side = item.index[kLeft] >= 0 ? kLeft : kRight;
    const TPairRootEntry* root = PairRoot(folders_[item.index[side]].pair);
    for (int s : {kLeft, kRight})
      if (root && !root->exists[s] && !WritesOnto(item.action, s)) ++missing_root_errors_;
  }
}

std::vector<TWayEntry> TScanInfo::InTheWay() const {
  const TItemList plan = Plan();
  std::unordered_set<std::string> created[2];
  std::unordered_map<std::string, int32_t> removed[2];
  for (int32_t i = 0; i < plan.Count(); ++i) {
    if (plan.IsFile(i)) continue;
    for (int side : {kLeft, kRight}) {
      const uint8_t a = static_cast<uint8_t>(plan.Action(i));
      if (WritesOnto(a, side))
        created[side].insert(WithoutSeparator(plan.FolderPath(i, side).path));
      if (RemovesOn(a, side)) removed[side][WithoutSeparator(plan.FolderPath(i, side).path)] = i;
    }
  }
  std::vector<TWayEntry> way;
  for (int32_t i = 0; i < plan.Count(); ++i) {
    if (!plan.IsFile(i)) continue;
    const auto a = static_cast<uint8_t>(plan.Action(i));
    for (int side : {kLeft, kRight}) {
      if (DeletesOn(a, side) && !created[side].empty() &&
          created[side].count(plan.FilePath(i, side).path))
        way.push_back({i, side});
      if (!WritesOnto(a, side) || removed[side].empty()) continue;
      const auto folder = removed[side].find(plan.FilePath(i, side).path);
      if (folder != removed[side].end()) AddSubtreeInTheWay(folder->second, side, way);
    }
  }
  return way;
}

// The plan lists a folder's subfolders and files right after it: its files are deleted in that
// order, then its folders removed from the deepest up.
void TScanInfo::AddSubtreeInTheWay(int32_t folder, int side, std::vector<TWayEntry>& way) const {
  const TItemList plan = Plan();
  const std::string_view rel = plan.RelativePath(folder);
  int32_t end = folder + 1;
  while (end < plan.Count() && plan.Pair(end) == plan.Pair(folder) &&
         plan.RelativePath(end).starts_with(rel))
    ++end;
  for (int32_t j = folder; j < end; ++j)
    if (plan.IsFile(j) && DeletesOn(static_cast<uint8_t>(plan.Action(j)), side))
      way.push_back({j, side});
  for (int32_t j = end - 1; j >= folder; --j)
    if (plan.IsFolder(j) && RemovesOn(static_cast<uint8_t>(plan.Action(j)), side))
      way.push_back({j, side});
}

void TScanInfo::BuildPlan() {
  // Every entry with an action, and the folder item of every planned file, so that the
  // folder of each planned file is listed before it.
  auto visit = [this](auto&& take) {
    int32_t pending_folder = -1;
    for (int32_t i = 0; i < items_.Count(); ++i) {
      const TCompareItem& item = items_[i];
      if (!item.is_file) {
        pending_folder = item.action ? -1 : i;
        if (item.action) take(i);
        continue;
      }
      if (!item.action) continue;
      if (pending_folder >= 0) take(pending_folder);
      pending_folder = -1;
      take(i);
    }
  };
  size_t count = 0;
  visit([&count](int32_t) { ++count; });
  plan_.Allocate(count);
  visit([this](int32_t i) { plan_.Append(i); });
  CountPlan();
}

void TScanInfo::CountPlan() {
  TPlanCounters& c = plan_counters_;
  c = {};
  for (const int32_t i : plan_) {
    const TCompareItem& item = items_[i];
    const uint8_t a = item.action;
    c.count[a] += 1;
    if (!item.is_file) {
      for (int side : {kLeft, kRight}) {
        c.folders_to_remove[side] += RemovesOn(a, side);
        c.folders_to_create[side] += WritesOnto(a, side);
      }
      continue;
    }
    for (int side : {kLeft, kRight}) {
      if (item.index[side] < 0) continue;
      const uint64_t size = files_[item.index[side]].size;
      c.files_with_side[side] += 1;
      c.bytes_with_side[side] += size;
      // Delete-left and copy-to-right concern only the left file; their mirrors only the right.
      const bool concerned = !((a == paDeleteLeft || a == paCopyToRight) && side == kRight) &&
                             !((a == paDeleteRight || a == paCopyToLeft) && side == kLeft);
      if (concerned) c.bytes[a][side] += size;
    }
  }
}

}  // namespace twn
