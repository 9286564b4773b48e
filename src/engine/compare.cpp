// Comparison of TScanInfo: matching folders and files of the two sides by sorting, the compare
// flags of file couples, the file filters, and the comparison items with their classes.
#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

#include "engine/scan_info.h"
#include "platform/fs.h"
#include "platform/locale.h"

namespace twn {
namespace {

/// Length of the common start of two texts of at least n bytes, eight bytes at a time: paths of
/// one tree share long starts, and case folding needs only look past them.
size_t CommonStart(const char* a, const char* b, size_t n) {
  size_t k = 0;
  for (uint64_t x, y; k + 8 <= n; k += 8) {
    std::memcpy(&x, a + k, 8);
    std::memcpy(&y, b + k, 8);
    if (x != y) break;
  }
  while (k < n && a[k] == b[k]) ++k;
  return k;
}

/// Byte-wise comparison, unsigned, a proper prefix first; with kFold, ASCII letters compare as
/// their upper case. Names are folded as they are compared rather than kept twice.
template <bool kFold>
int CompareBytes(const char* a, size_t la, const char* b, size_t lb) {
  const size_t n = std::min(la, lb);
  if constexpr (!kFold) {
    if (const int r = std::memcmp(a, b, n); r != 0) return r;
  } else {
    for (size_t k = CommonStart(a, b, n); k < n; ++k) {
      const auto ca = static_cast<unsigned char>(platform::UpCase(a[k]));
      const auto cb = static_cast<unsigned char>(platform::UpCase(b[k]));
      if (ca != cb) return ca < cb ? -1 : 1;
    }
  }
  return la < lb ? -1 : (la > lb ? 1 : 0);
}

/// As CompareBytes, but the separator sorts below every other byte, so a folder's subfolders
/// follow it directly.
template <bool kFold>
int ComparePaths(const char* a, size_t la, const char* b, size_t lb) {
  const size_t n = std::min(la, lb);
  auto key = [](char c) {
    if (kFold) c = platform::UpCase(c);
    return c == platform::kSep ? 0 : static_cast<unsigned char>(c) + 1;
  };
  for (size_t k = CommonStart(a, b, n); k < n; ++k) {
    const int ka = key(a[k]), kb = key(b[k]);
    if (ka != kb) return ka < kb ? -1 : 1;
  }
  return la < lb ? -1 : (la > lb ? 1 : 0);
}

/// Equal texts of length n, with or without regard to ASCII letter case.
bool SameBytes(const char* a, const char* b, size_t n, bool fold) {
  if (!fold) return std::memcmp(a, b, n) == 0;
  for (size_t k = CommonStart(a, b, n); k < n; ++k)
    if (platform::UpCase(a[k]) != platform::UpCase(b[k])) return false;
  return true;
}

/// Neighbours i and i + 1 form a couple when their keys match and they lie on different
/// sides. Linux lets one folder hold names that differ only in letter case; then an exact twin
/// on the other side is preferred, and two entries of one side never form a couple (one would
/// be copied over the other).
template <class T, class Same, class Exact>
void CoupleNeighbours(TTable<T>& t, Same same, Exact exact) {
  const int32_t n = t.Count();
  auto pairable = [&](int32_t i) {
    return i + 1 < n && t[i].side != t[i + 1].side && same(t[i], t[i + 1]);
  };
  for (int32_t i = 0; i + 1 < n; ++i) {
    if (!pairable(i)) continue;
    if (!exact(t[i], t[i + 1]) && pairable(i + 1) && exact(t[i + 1], t[i + 2])) continue;
    t[i].partner = i + 1;
    t[i + 1].partner = i;
    ++i;
  }
}

uint32_t TimeFlags(int64_t ta, int64_t tb, const TCompareRules& rules) {
  const uint64_t d = ta > tb ? static_cast<uint64_t>(ta) - static_cast<uint64_t>(tb)
                             : static_cast<uint64_t>(tb) - static_cast<uint64_t>(ta);
  const auto within = [d](int64_t offset) {
    const auto sd = static_cast<int64_t>(std::min<uint64_t>(d, INT64_MAX));
    return offset - kTimeTolerance <= sd && sd <= offset + kTimeTolerance;
  };
  uint32_t flags = 0;
  if (d <= static_cast<uint64_t>(kTimeTolerance))
    flags |= kCfTwoSeconds;
  else if (within(rules.daylight_offset))
    flags |= kCfDaylight;
  if (within(rules.timezone_offset)) flags |= kCfTimezone;
  return flags;
}

}  // namespace

void TScanInfo::BuildPairRoots() {
  for (const TFolderEntry& f : folders_) {
    if (f.rel_length != 0) continue;
    TPairRootEntry* root = PairRoot(f.pair);
    if (!root) {
      TPairRootEntry fresh{};
      fresh.pair = f.pair;
      for (int side : {kLeft, kRight}) {
        fresh.offset[side] = f.path_offset;
        fresh.length[side] = f.path_length;
      }
      root = &pair_roots_[pair_roots_.Append(fresh)];
    }
    root->offset[f.side] = f.path_offset;
    root->length[f.side] = f.path_length;
    root->exists[f.side] = f.exists;
  }
}

void TScanInfo::SortFolders() {
  const char* raw = pool_.Data();
  auto rel = [](const TFolderEntry& f) { return f.rel_length ? f.rel_length - 1 : 0; };
  std::sort(folders_.begin(), folders_.end(), [&](const TFolderEntry& a, const TFolderEntry& b) {
    if (a.pair != b.pair) return a.pair < b.pair;
    const char *pa = raw + a.rel_offset, *pb = raw + b.rel_offset;
    int r = ComparePaths<true>(pa, rel(a), pb, rel(b));
    if (r == 0) r = ComparePaths<false>(pa, rel(a), pb, rel(b));
    if (r != 0) return r < 0;
    return a.side > b.side;  // right before left
  });
}

void TScanInfo::LinkFolders() {
  BuildPairRoots();
  for (int32_t i = 0; i < folders_.Count(); ++i) folders_[i].insertion = i;
  SortFolders();
  const char* raw = pool_.Data();
  auto same = [raw](bool fold) {
    return [raw, fold](const TFolderEntry& a, const TFolderEntry& b) {
      return a.pair == b.pair && a.rel_length == b.rel_length &&
             SameBytes(raw + a.rel_offset, raw + b.rel_offset, a.rel_length, fold);
    };
  };
  CoupleNeighbours(folders_, same(true), same(false));

  std::vector<int32_t> sorted_of(static_cast<size_t>(folders_.Count()));
  for (int32_t i = 0; i < folders_.Count(); ++i) {
    TFolderEntry& f = folders_[i];
    f.matched = f.partner >= 0;
    f.group = f.matched ? std::min(i, f.partner) : i;
    sorted_of[static_cast<size_t>(f.insertion)] = i;
  }
  for (TFolderEntry& f : folders_) {
    f.parent = sorted_of[static_cast<size_t>(f.parent)];
    f.files_remaining = f.files_found;
    f.subfolders_remaining = f.subfolders_found;
  }
  for (TFileEntry& f : files_) f.folder = sorted_of[static_cast<size_t>(f.folder)];
  BlockUnseenSubtrees();
}

// A folder that could not be seen whole may hold anything: neither it nor anything below it, on
// either side, is copied into, overwritten, deleted or removed. Parents sort before their
// children, so one pass carries the mark down.
void TScanInfo::BlockUnseenSubtrees() {
  if (scan_errors_ == 0) return;
  for (TFolderEntry& f : folders_) {
    const bool unseen = (f.blocked & kUnseen) ||
                        (f.partner >= 0 && (folders_[f.partner].blocked & kUnseen)) ||
                        folders_[f.parent].blocked != 0;
    if (unseen) f.blocked |= kBlocked;
  }
}

// Files of one folder lie together in scan order, and a group (a folder couple) holds a few
// dozen of them: a counting sort by group, then a sort of each group by name, costs far less
// than one sort of the whole table.
void TScanInfo::SortFiles() {
  const auto groups = static_cast<size_t>(folders_.Count());
  std::vector<int32_t> next(groups + 1, 0);
  for (const TFileEntry& f : files_) ++next[static_cast<size_t>(GroupOf(f)) + 1];
  for (size_t g = 1; g <= groups; ++g) next[g] += next[g - 1];
  const std::vector<int32_t> start = next;
  {
    std::vector<int32_t> to(static_cast<size_t>(files_.Count()));
    for (int32_t i = 0; i < files_.Count(); ++i)
      to[static_cast<size_t>(i)] = next[static_cast<size_t>(GroupOf(files_[i]))]++;
    Permute(files_, to);
  }
  const char* raw = pool_.Data();
  auto by_name = [raw](const TFileEntry& a, const TFileEntry& b) {
    const char *na = raw + a.name_offset, *nb = raw + b.name_offset;
    int r = CompareBytes<true>(na, a.name_length, nb, b.name_length);
    if (r == 0) r = CompareBytes<false>(na, a.name_length, nb, b.name_length);
    if (r != 0) return r < 0;
    return a.side > b.side;  // right before left
  };
  for (size_t g = 0; g < groups; ++g)
    if (start[g + 1] - start[g] > 1)
      std::sort(files_.begin() + start[g], files_.begin() + start[g + 1], by_name);
}

void TScanInfo::CompareFiles() {
  SortFiles();
  const char* raw = pool_.Data();
  auto same = [this, raw](bool fold) {
    return [this, raw, fold](const TFileEntry& a, const TFileEntry& b) {
      return GroupOf(a) == GroupOf(b) && a.name_length == b.name_length &&
             SameBytes(raw + a.name_offset, raw + b.name_offset, a.name_length, fold);
    };
  };
  CoupleNeighbours(files_, same(true), same(false));
  for (int32_t i = 0; i < files_.Count(); ++i) {
    TFileEntry& a = files_[i];
    if (a.partner <= i) continue;
    TFileEntry& b = files_[a.partner];
    if (a.time == b.time) {
      a.time_relation = b.time_relation = kTimeSame;
    } else {
      a.time_relation = a.time > b.time ? kTimeNewer : kTimeOlder;
      b.time_relation = a.time > b.time ? kTimeOlder : kTimeNewer;
    }
  }
}

uint32_t TScanInfo::CoupleFlags(const TFileEntry& a, const TFileEntry& b) const {
  uint32_t flags = kCfMatched;
  if (a.size == b.size) flags |= kCfSize;
  if (a.attributes == b.attributes) flags |= kCfAttr;
  if (a.time == b.time) flags |= kCfTime;
  return flags | TimeFlags(a.time, b.time, rules_);
}

void TScanInfo::ApplyFilters() {
  const bool conditions = conditions_.IsActive();
  for (int32_t i = 0; i < files_.Count(); ++i) {
    TFileEntry& f = files_[i];
    bool selected = true;
    if (conditions)
      selected = conditions_.Verdict(f.attributes, f.time, static_cast<int64_t>(f.size));
    upper_name_.assign(pool_.View(f.name_offset, f.name_length));
    platform::UpperCaseInPlace(upper_name_);
    const std::string_view name = upper_name_;
    if (selected) selected = include_specs_.MatchesUpper(name, true);
    if (selected && use_exclude_) selected = !exclude_specs_.MatchesUpper(name, false);
    f.selected = selected;
    // A couple stays or goes as a whole: one side passing keeps both.
    if (f.partner >= 0 && f.partner < i) {
      TFileEntry& p = files_[f.partner];
      f.selected = p.selected = f.selected || p.selected;
    }
  }
}

bool TScanInfo::SameLink(const TFileEntry& a, const TFileEntry& b) const {
  constexpr uint32_t kLink = platform::kAttrLink;
  if (!(a.attributes & kLink) || !(b.attributes & kLink) || a.size != b.size) return false;
  const char* raw = pool_.Data();
  return std::memcmp(raw + a.name_offset + a.name_length + 1,
                     raw + b.name_offset + b.name_length + 1, a.size) == 0;
}

void TScanInfo::AddFileItems() {
  const TCompareRules& r = rules_;
  for (int32_t i = 0; i < files_.Count(); ++i) {
    const TFileEntry& f = files_[i];
    if (!f.selected) continue;
    TCompareItem item{};
    item.is_file = 1;
    item.index[f.side] = i;
    item.index[1 - f.side] = f.partner;
    item.cls = f.side == kLeft ? ccLeftSingle : ccRightSingle;
    if (f.partner >= 0) {
      const TFileEntry& g = files_[++i];  // the partner is the next entry
      const uint32_t F = CoupleFlags(f, g);
      const bool time_ok = (F & kCfTime) || ((F & kCfTwoSeconds) && r.bRulesNTFS) ||
                           ((F & kCfDaylight) && r.bRulesDaylight) ||
                           ((F & kCfTimezone) && r.bRulesTimezone);
      const bool left_older =
          g.side == kLeft ? g.time_relation != kTimeNewer : g.time_relation == kTimeNewer;
      item.cls = time_ok ? ccSameTime : (left_older ? ccLeftOlder : ccLeftNewer);
      if ((f.attributes | g.attributes) & platform::kAttrLink) {
        // A link equals only a link with the same target text, whatever the times; else the
        // times decide as for two different files.
        if (SameLink(f, g)) item.cls = ccEqual;
      } else if ((!r.bRulesSize || (F & kCfSize)) && (!r.bRulesTime || time_ok) &&
                 (!r.bRulesAttr || (F & kCfAttr))) {
        item.cls = ccEqual;
      }
      item.flags = static_cast<uint16_t>(F);
    }
    items_.Append(item);
  }
}

void TScanInfo::AddFolderItems() {
  for (int32_t i = 0; i < folders_.Count(); ++i) {
    const TFolderEntry* e = &folders_[i];
    TCompareItem item{};
    item.index[kLeft] = item.index[kRight] = -1;
    item.index[e->side] = i;
    item.root_mark = e->root;
    if (e->side == kRight)
      item.cls = (e->root && e->exists) ? ccRootRight : ccFolderRight;
    else
      item.cls = (e->root && e->exists) ? ccRootLeft : ccFolderLeft;
    if (e->matched) {
      e = &folders_[++i];  // the partner is the next entry
      item.root_mark |= e->root;
      if (!e->root) item.cls = ccFolderBoth;
      item.index[e->side] = i;
      if (e->exists && item.root_mark) {
        const bool to_both = e->side == kRight
                                 ? (item.cls == ccRootLeft || item.cls == ccFolderLeft)
                                 : (item.cls == ccRootRight || item.cls == ccFolderRight);
        item.cls = to_both ? ccRootBoth : (e->side == kRight ? ccRootRight : ccRootLeft);
      }
    }
    if (e->root && e->side == kRight) item.cls = ccRootBoth;
    items_.Append(item);
  }
}

void TScanInfo::BuildItems() {
  ApplyFilters();
  items_.Allocate(static_cast<size_t>(folders_.Count()) + static_cast<size_t>(files_.Count()));
  AddFileItems();
  AddFolderItems();
  SortItems(sort_.key, sort_.prefer_left, sort_.ascending);
  CountClasses();
}

void TScanInfo::SortItems(int key, bool prefer_left, bool ascending) {
  sort_ = {key, prefer_left, ascending};
  const char* raw = pool_.Data();
  const int pref = prefer_left ? kLeft : kRight;
  auto entry = [&](const TCompareItem& it) {
    return it.index[pref] >= 0 ? it.index[pref] : it.index[1 - pref];
  };
  // Name is the part before the last ".", extension the part after it.
  auto base_len = [raw](const TFileEntry& f) {
    const bool dot = f.ext_start > 0 && raw[f.name_offset + f.ext_start - 1] == '.';
    return dot ? f.ext_start - 1 : f.name_length;
  };
  auto compare_key = [&](const TFileEntry& a, const TFileEntry& b, int k) -> int {
    switch (k) {
      case skName:
        return CompareBytes<true>(raw + a.name_offset, base_len(a), raw + b.name_offset,
                                  base_len(b));
      case skExtension:
        return CompareBytes<true>(raw + a.name_offset + a.ext_start, a.name_length - a.ext_start,
                                  raw + b.name_offset + b.ext_start, b.name_length - b.ext_start);
      case skSize:
        return a.size < b.size ? -1 : (a.size > b.size ? 1 : 0);
      default:
        return a.time < b.time ? -1 : (a.time > b.time ? 1 : 0);
    }
  };
  static constexpr int kOrder[4][4] = {{skName, skExtension, skTime, skSize},
                                       {skExtension, skName, skTime, skSize},
                                       {skSize, skName, skExtension, skTime},
                                       {skTime, skName, skExtension, skSize}};
  const int(&order)[4] = kOrder[key >= 0 && key < 4 ? key : 0];
  auto before = [&](const TCompareItem& a, const TCompareItem& b) {
    const int32_t ga = ItemGroup(a), gb = ItemGroup(b);
    if (ga != gb) return ga < gb;
    if (a.is_file != b.is_file) return !a.is_file;
    const int32_t ea = entry(a), eb = entry(b);
    if (a.is_file) {
      for (int k : order) {
        const int r = compare_key(files_[ea], files_[eb], k);
        if (r != 0) return ascending ? r < 0 : r > 0;
      }
    }
    return ea < eb;  // identical keys: keep a fixed order
  };
  if (plan_.Count() == 0) {
    std::sort(items_.begin(), items_.end(), before);
    return;
  }
  // The plan holds positions of items: sort positions, move the items, then point the plan at
  // their new places.
  std::vector<int32_t> by_rank(static_cast<size_t>(items_.Count()));
  std::iota(by_rank.begin(), by_rank.end(), 0);
  std::sort(by_rank.begin(), by_rank.end(),
            [&](int32_t a, int32_t b) { return before(items_[a], items_[b]); });
  std::vector<int32_t> to(by_rank.size());
  for (size_t r = 0; r < by_rank.size(); ++r) to[static_cast<size_t>(by_rank[r])] = int32_t(r);
  for (int32_t& i : plan_) i = to[static_cast<size_t>(i)];
  Permute(items_, to);
}

void TScanInfo::CountClasses() {
  class_counters_ = {};
  for (const TCompareItem& it : items_) {
    if (it.cls < ccLeftSingle || it.cls > ccSameTime) continue;
    class_counters_.count[it.cls] += 1;
    for (int side : {kLeft, kRight})
      if (it.index[side] >= 0) class_counters_.bytes[it.cls][side] += files_[it.index[side]].size;
  }
}

}  // namespace twn
