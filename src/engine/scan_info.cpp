// Setup of TScanInfo, and the pairs whose roots overlap.
#include "engine/scan_info.h"

#include <cstdlib>

#include "filters/folder_filter.h"
#include "model/job_data.h"
#include "model/versions.h"
#include "platform/fs.h"
#include "platform/locale.h"

namespace twn {

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
  skips_.by_root.clear();
  for (const TPairItem& pair : job.Pairs)
    for (const std::string* root : {&pair.L_Path, &pair.R_Path})
      if (std::vector<std::string> skips = VersionsSkips(job, *root);
          !root->empty() && !skips.empty())
        skips_.by_root.emplace_back(platform::IncludeTrailingSeparator(*root), std::move(skips));
  scan_options_ = {job.bCopyLinks, job.bFolderTimes};
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
