// Listing, pruning and restoring kept versions.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "model/versions.h"
#include "platform/listing.h"
#include "run/versions.h"

namespace twn {

using platform::TError;

namespace {

/// Lists the versions in `vroot` + `rel` (of the file named `only`, when given), and with
/// `folders` the subfolders too, each before what lies below it.
void ListFolder(const std::string& vroot, const std::string& rel, std::string_view only,
                std::vector<TKeptVersion>& out, std::vector<std::string>* folders) {
  platform::TDirLister lister;
  if (!lister.Open(platform::ExcludeTrailingSeparator(vroot + rel), rel.empty())) return;
  std::vector<std::string> subfolders;
  platform::TListEntry e;
  while (lister.Next(e)) {
    if (e.IsDirectory()) {
      if (folders && e.name != "." && e.name != "..")
        subfolders.push_back(rel + std::string(e.name) + "/");
      continue;
    }
    const auto v = e.other ? std::nullopt : SplitVersionName(e.name);
    if (!v || (!only.empty() && v->base != only)) continue;
    out.push_back({rel + std::string(v->base), std::string(v->stamp), v->time, v->clash,
                   int64_t(e.size), vroot + rel + std::string(e.name)});
  }
  lister.Close();
  for (const std::string& sub : subfolders) {
    folders->push_back(sub);
    ListFolder(vroot, sub, only, out, folders);
  }
}

void SortVersions(std::vector<TKeptVersion>& list) {
  std::sort(list.begin(), list.end(), [](const TKeptVersion& a, const TKeptVersion& b) {
    if (a.original != b.original) return a.original < b.original;
    if (a.time != b.time) return a.time > b.time;
    return a.clash > b.clash;
  });
}

/// Removes a file or an empty folder below `vroot` without following a link on the way.
TError RemoveBelow(const std::string& vroot, const std::string& path, bool folder,
                   platform::TFolderWalker& walker) {
  const platform::TSplitPath split = platform::SplitLast({path, vroot.size()});
  int dir = -1;
  if (const TError e = walker.Open(split.folder, dir)) return e;
  const std::string name(split.name);
  return ::unlinkat(dir, name.c_str(), folder ? AT_REMOVEDIR : 0) == 0 ? 0 : errno;
}

void PruneRoot(const TJobData& job, const std::string& vroot, platform::TDateTime now,
               std::vector<TPruneResult>& out) {
  std::vector<TKeptVersion> list;
  std::vector<std::string> folders;
  ListFolder(vroot, "", {}, list, &folders);
  SortVersions(list);
  platform::TFolderWalker walker;
  const int32_t keep = KeepCount(job.KeepVersions), days = KeepDays(job.KeepDays);
  int32_t rank = 0;
  for (size_t i = 0; i < list.size(); ++i) {
    rank = i > 0 && list[i].original == list[i - 1].original ? rank + 1 : 0;
    if (rank < keep || now - list[i].time < days) continue;
    out.push_back({list[i].path, RemoveBelow(vroot, list[i].path, false, walker)});
  }
  // Deepest first; a folder that still holds something stays.
  for (auto f = folders.rbegin(); f != folders.rend(); ++f)
    RemoveBelow(vroot, platform::ExcludeTrailingSeparator(vroot + *f), true, walker);
}

}  // namespace

std::vector<TKeptVersion> ListVersions(const std::string& versions_root,
                                       std::string_view original) {
  std::vector<TKeptVersion> list;
  const std::string vroot = platform::IncludeTrailingSeparator(versions_root);
  if (original.empty()) {
    std::vector<std::string> folders;
    ListFolder(vroot, "", {}, list, &folders);
  } else {
    const std::string rel(platform::ParentFolder(original));
    const std::string_view base = platform::LastComponent(original);
    if (!rel.empty() && !platform::DirectoryExists(vroot + rel)) return list;
    ListFolder(vroot, rel, base, list, nullptr);
  }
  SortVersions(list);
  return list;
}

std::vector<TPruneResult> PruneVersions(const TJobData& job, platform::TDateTime now) {
  std::vector<TPruneResult> out;
  if (!job.bKeepVersions) return out;
  for (const TVersionsRoot& r : DistinctVersionsRoots(job))
    if (platform::DirectoryExists(r.versions_root)) PruneRoot(job, r.versions_root, now, out);
  return out;
}

std::optional<TPathInPair> FindInPairs(const TJobData& job, std::string_view path) {
  std::string absolute(path);
  if (!path.starts_with('/')) {
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd)) return {};
    absolute = platform::IncludeTrailingSeparator(cwd) + absolute;
  }
  const std::string real = platform::RealPath(absolute);
  std::optional<TPathInPair> best;
  size_t best_length = 0;
  for (const TPairItem& pair : job.Pairs) {
    for (const std::string* root : {&pair.L_Path, &pair.R_Path}) {
      if (root->empty()) continue;
      const std::string real_root = platform::RealPath(*root);
      const std::string_view below = platform::PathBelow(real, real_root);
      if (below.empty() || real_root.size() < best_length) continue;
      best_length = real_root.size();
      best = TPathInPair{*root, std::string(below)};
    }
  }
  return best;
}

}  // namespace twn
