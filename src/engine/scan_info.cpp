// Setup and scan of TScanInfo.
#include "engine/scan_info.h"

#include <cstdlib>

#include "filters/folder_filter.h"
#include "model/job_data.h"
#include "platform/fs.h"
#include "platform/locale.h"

namespace twn {
namespace {

bool IsDotOrDotDot(std::string_view name) {
  return name == "." || name == "..";
}

std::string LogTime() {
  return platform::FormatDateTime(platform::Now());
}

}  // namespace

TScanInfo::TScanInfo(const TTableSteps& steps)
    : steps_(steps),
      pair_roots_(steps.pair_roots),
      folders_(steps.folders),
      files_(steps.files),
      pool_(steps.pool),
      items_(1),
      plan_(1) {}

void TScanInfo::SetTableSteps(const TTableSteps& steps) {
  steps_ = steps;
  pair_roots_.SetStep(steps.pair_roots);
  folders_.SetStep(steps.folders);
  files_.SetStep(steps.files);
  pool_.SetStep(steps.pool);
}

void TScanInfo::Clear() {
  pair_roots_.Release();
  folders_.Release();
  files_.Release();
  pool_.Release();
  items_.Release();
  plan_.Release();
  counters_ = {};
  scan_errors_ = 0;
  missing_root_errors_ = 0;
  class_counters_ = {};
  plan_counters_ = {};
}

uint32_t TScanInfo::MakeActionSet(const TJobData& job) {
  uint32_t set = 0;
  auto pick = [&set](int32_t choice, std::initializer_list<uint32_t> bits) {
    if (choice >= 1 && choice <= static_cast<int32_t>(bits.size())) set |= bits.begin()[choice - 1];
  };
  pick(job.idxSingleL, {abSingleLCopy, abSingleLDelete});
  pick(job.idxSingleR, {abSingleRCopy, abSingleRDelete});
  pick(job.idxNewerR,
       {abNewerRCopyL, abNewerRCopyR, abNewerRDelL, abNewerRDelR, abNewerRDelL | abNewerRDelR});
  pick(job.idxNewerL,
       {abNewerLCopyL, abNewerLCopyR, abNewerLDelL, abNewerLDelR, abNewerLDelR | abNewerLDelL});
  pick(job.idxEqualDate, {abEqualDateL, abEqualDateR, abEqualDateDelL, abEqualDateDelR,
                          abEqualDateDelL | abEqualDateDelR});
  pick(job.idxEqualL, {abEqualDelL});
  pick(job.idxEqualR, {abEqualDelR});
  if (job.Empty_RemoveL) set |= abRemoveEmptyL;
  if (job.Empty_RemoveR) set |= abRemoveEmptyR;
  if (job.Empty_CopyR) set |= abCopyEmptyR;
  if (job.Empty_CopyL) set |= abCopyEmptyL;
  return set;
}

TCompareRules TScanInfo::MakeRules(const TJobData& job) {
  TCompareRules rules;
  rules.bRulesSize = job.bRulesSize;
  rules.bRulesTime = job.bRulesTime;
  rules.bRulesAttr = job.bRulesAttr;
  rules.bRulesNTFS = job.bRulesNTFS;
  rules.bRulesDaylight = job.bRulesDaylight;
  rules.bRulesTimezone = job.bRulesTimezone;
  rules.timezone_offset = int64_t{job.RulesTimezone} * kFileTicksPerHour;
  const platform::TZoneInfo zone = platform::CurrentZoneInfo();
  const int64_t minutes = std::llabs(int64_t{zone.standard_bias} - zone.daylight_bias);
  rules.daylight_offset = minutes * 60 * platform::kFileTicksPerSecond;
  return rules;
}

void TScanInfo::Setup(const TJobData& job) {
  Clear();
  include_specs_.SetSpecs(job.FileFilter.FLT_Include);
  use_exclude_ = job.FileFilter.FLT_bUseExclude;
  if (use_exclude_)
    exclude_specs_.SetSpecs(job.FileFilter.FLT_Exclude);
  else
    exclude_specs_.ClearSpecs();
  job.FolderFilter.LoadInto(folder_specs_);
  conditions_.Load(job.FileFilter);
  rules_ = MakeRules(job);
  action_set_ = MakeActionSet(job);
}

uint64_t TScanInfo::AddName(std::string_view text) {
  return pool_.Add(text);
}

int32_t TScanInfo::AddFolder(int32_t pair, int32_t parent, bool exists, bool root,
                             uint32_t root_length, std::string_view path, int side) {
  TFolderEntry e{};
  e.pair = pair;
  e.parent = parent;
  e.root = root;
  e.exists = exists;
  e.side = static_cast<uint8_t>(side);
  e.partner = -1;
  e.group = -1;
  e.path_offset = AddName(path);
  e.path_length = static_cast<uint32_t>(path.size());
  e.rel_offset = e.path_offset + root_length;
  e.rel_length = e.path_length - root_length;
  e.insertion = folders_.Count();
  return folders_.Append(e);
}

int32_t TScanInfo::AddFile(int32_t folder, int side, const platform::TListEntry& entry) {
  TFileEntry f{};
  f.folder = folder;
  f.side = static_cast<uint8_t>(side);
  f.size = entry.size;
  f.attributes = static_cast<uint8_t>(entry.attributes);
  f.time = entry.last_write;
  f.partner = -1;
  f.selected = 1;
  f.name_offset = AddName(entry.name);
  f.name_length = static_cast<uint16_t>(entry.name.size());
  const size_t dot = entry.name.rfind('.');
  f.ext_start = dot == std::string_view::npos ? f.name_length : static_cast<uint16_t>(dot + 1);
  return files_.Append(f);
}

TScanInfo::TFolderCounts TScanInfo::ScanFolder(int32_t pair, int32_t folder, uint32_t root_length,
                                               std::string_view path, int side, bool subfolders) {
  TFolderCounts counts;
  // The path may live in the pool, which moves when it grows: work on a copy.
  dir_path_.assign(path);
  // Below the root, a folder that has become a link since it was listed is not entered.
  if (!lister_.Open(dir_path_, folders_[folder].root)) {
    counts.error = lister_.Error();
    return counts;
  }
  platform::TListEntry entry;
  while (lister_.Next(entry)) {
    if (!entry.IsDirectory() && platform::IsCopyTempName(entry.name))
      continue;  // the program's own, never the user's
    // Counted, so that their folder is never taken for an empty one, but never acted on.
    if (entry.other) {
      ++counts.files;
      continue;
    }
    if (!entry.IsDirectory()) {
      ++counts.files;
      AddFile(folder, side, entry);
      continue;
    }
    if (!subfolders || IsDotOrDotDot(entry.name)) continue;
    ++counts.subfolders;
    if (folder_specs_.Matches(entry.name, false)) continue;
    child_path_.assign(dir_path_).append(entry.name).push_back(platform::kSep);
    AddFolder(pair, folder, true, false, root_length, child_path_, side);
  }
  counts.error = lister_.Error();
  return counts;
}

int32_t TScanInfo::AddRoot(int32_t pair, std::string_view path, int side) {
  // An empty path would name the whole file system: it stays empty, is never listed, and the
  // plan writes nothing onto it.
  const std::string root = path.empty() ? std::string() : platform::IncludeTrailingSeparator(path);
  const bool exists = !root.empty() && platform::DirectoryExists(root);
  const auto root_length = static_cast<uint32_t>(root.size());
  return AddFolder(pair, folders_.Count(), exists, true, root_length, root, side);
}

void TScanInfo::MarkUnseen(int32_t folder, std::string_view why, TScanObserver& observer) {
  folders_[folder].blocked = kUnseen;
  ++scan_errors_;
  observer.AddErrorLine(LogTime() + " - error " + std::string(why));
}

bool TScanInfo::ScanSide(int32_t pair, std::string_view path, int side, bool subfolders,
                         TScanObserver& observer) {
  const int32_t first = AddRoot(pair, path, side);
  const uint32_t root_length = folders_[first].path_length;
  for (int32_t i = first; i < folders_.Count(); ++i) {
    const int32_t files_before = files_.Count();
    TFolderCounts counts;
    if (folders_[i].exists) {
      counts = ScanFolder(pair, i, root_length, FolderPathOf(i), side, subfolders);
      if (counts.error != 0) {
        MarkUnseen(i,
                   "Scanning folder: " + platform::ErrorText(counts.error) + ": '" +
                       std::string(FolderPathOf(i)) + "': nothing is done in this folder",
                   observer);
      }
    }
    folders_[i].files_found = counts.files;
    folders_[i].subfolders_found = counts.subfolders;
    counters_.folders_scanned[side] += 1;
    counters_.files_found[side] += files_.Count() - files_before;
    observer.ScanProgress(counters_);
    if (observer.StopRequested()) return false;
  }
  return true;
}

bool TScanInfo::ScanPairs(std::span<const TPairItem> pairs) {
  TScanObserver quiet;
  return ScanPairs(pairs, quiet);
}

bool TScanInfo::ScanPairs(std::span<const TPairItem> pairs, TScanObserver& observer) {
  auto scan = [&](int32_t pair, const std::string& path, int side, bool subfolders) {
    observer.AddFullLogLine(LogTime() + " - Scanning folder '" + path + "' ");
    return ScanSide(pair, path, side, subfolders, observer);
  };
  for (size_t p = 0; p < pairs.size(); ++p) {
    const TPairItem& item = pairs[p];
    const auto pair = static_cast<int32_t>(p);
    if (const std::string why = PairOverlapProblem(item, folder_specs_); !why.empty()) {
      // One root inside the other would sync a tree into itself: the pair is left alone.
      MarkUnseen(AddRoot(pair, item.L_Path, kLeft), "Folder pair: " + why, observer);
      folders_[AddRoot(pair, item.R_Path, kRight)].blocked = kUnseen;
      continue;
    }
    if (!scan(pair, item.L_Path, kLeft, item.bSubFLD)) return false;
    if (!scan(pair, item.R_Path, kRight, item.bSubFLD)) return false;
  }
  observer.ScanFinished(counters_);
  LinkFolders();
  CompareFiles();
  BuildItems();
  PlanActions();
  BuildPlan();
  return true;
}

std::string PairOverlapProblem(const TPairItem& pair, const TFileSpecProcessor& folder_specs) {
  if (pair.L_Path.empty() || pair.R_Path.empty()) return {};
  const std::string left = platform::RealPath(pair.L_Path);
  const std::string right = platform::RealPath(pair.R_Path);
  const bool left_inside = !platform::PathBelow(left, right).empty();
  std::string_view below =
      left_inside ? platform::PathBelow(left, right) : platform::PathBelow(right, left);
  // The outer scan never reaches the inner root without subfolders, or when a folder pattern
  // leaves out a folder on the way down.
  if (below.empty() || !pair.bSubFLD) return {};
  while (!below.empty()) {
    const size_t slash = below.find(platform::kSep);
    if (folder_specs.Matches(below.substr(0, slash), false)) return {};
    below = slash == std::string_view::npos ? std::string_view() : below.substr(slash + 1);
  }
  const std::string& inner = left_inside ? pair.L_Path : pair.R_Path;
  const std::string& outer = left_inside ? pair.R_Path : pair.L_Path;
  return "Folder '" + inner + "' lies inside folder '" + outer +
         "': this folder pair would be synchronized into itself and is not run";
}

uint64_t TScanInfo::AllocatedBytes() const {
  return pair_roots_.Capacity() * sizeof(TPairRootEntry) +
         folders_.Capacity() * sizeof(TFolderEntry) + files_.Capacity() * sizeof(TFileEntry) +
         pool_.Capacity() + items_.Capacity() * sizeof(TCompareItem) +
         plan_.Capacity() * sizeof(int32_t);
}

}  // namespace twn
