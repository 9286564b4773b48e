#include "model/versions.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/fs.h"

namespace twn {

namespace {

constexpr size_t kStampLength = 17;  // 2026-12-07_164705

bool Digits(std::string_view s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return !s.empty();
}

int Number(std::string_view s) {
  int n = 0;
  for (char c : s) n = n * 10 + (c - '0');
  return n;
}

std::optional<platform::TDateTime> ParseStamp(std::string_view s) {
  if (s.size() != kStampLength || s[4] != '-' || s[7] != '-' || s[10] != '_') return {};
  const std::string_view parts[] = {s.substr(0, 4),  s.substr(5, 2),  s.substr(8, 2),
                                    s.substr(11, 2), s.substr(13, 2), s.substr(15, 2)};
  for (std::string_view p : parts)
    if (!Digits(p)) return {};
  const int y = Number(parts[0]), mo = Number(parts[1]), d = Number(parts[2]);
  const int h = Number(parts[3]), mi = Number(parts[4]), sec = Number(parts[5]);
  if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || sec > 59) return {};
  const platform::TDateTime t = platform::EncodeDateTime(y, mo, d, h, mi, sec);
  // EncodeDateTime rolls 31 April over into May; such a stamp was never written.
  const platform::TCalendar c = platform::DecodeDateTime(t);
  if (c.day != d) return {};
  return t;
}

/// The side may be copied from by the job's choices (a copy onto the other side).
bool CopiesFrom(const TJobData& j, int side) {
  const int32_t c = side == 0 ? 1 : 2;
  return (side == 0 ? j.idxSingleL == 1 || j.Empty_CopyL : j.idxSingleR == 1 || j.Empty_CopyR) ||
         j.idxNewerL == c || j.idxNewerR == c || j.idxEqualDate == c;
}

std::string Quoted(std::string_view s) {
  return "'" + std::string(s) + "'";
}

}  // namespace

std::string VersionStamp(platform::TDateTime when) {
  const platform::TCalendar c = platform::DecodeDateTime(when);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d_%02d%02d%02d", c.year % 10000, c.month, c.day,
                c.hour, c.minute, c.second);
  return text;
}

std::optional<TVersionName> SplitVersionName(std::string_view name) {
  const size_t tilde = name.rfind('~');
  if (tilde == std::string_view::npos || tilde == 0) return {};
  TVersionName v;
  v.base = name.substr(0, tilde);
  v.stamp = name.substr(tilde + 1);
  std::string_view suffix = v.stamp.size() > kStampLength ? v.stamp.substr(kStampLength) : "";
  if (!suffix.empty()) {
    if (suffix[0] != '-' || !Digits(suffix.substr(1)) || suffix.size() > 6 || suffix[1] == '0')
      return {};
    v.clash = Number(suffix.substr(1));
    if (v.clash < 2) return {};
  }
  const auto time = ParseStamp(v.stamp.substr(0, kStampLength));
  if (!time) return {};
  v.time = *time;
  return v;
}

std::string VersionName(std::string_view base, std::string_view stamp, int clash) {
  std::string name = std::string(base) + "~" + std::string(stamp);
  if (clash > 1) name += "-" + std::to_string(clash);
  return name;
}

std::string VersionsRootOf(const TJobData& job, std::string_view root) {
  if (job.VersionsFolder.empty())
    return platform::IncludeTrailingSeparator(root) + std::string(kVersionsFolderName) + "/";
  const std::string real = platform::RealPath(root);
  const std::string_view below = real == "/" ? "" : std::string_view(real).substr(1);
  const std::string folder = platform::IncludeTrailingSeparator(job.VersionsFolder);
  return below.empty() ? folder : folder + std::string(below) + "/";
}

std::vector<TVersionsRoot> DistinctVersionsRoots(const TJobData& job) {
  std::vector<TVersionsRoot> roots;
  for (const TPairItem& pair : job.Pairs)
    for (const std::string* root : {&pair.L_Path, &pair.R_Path}) {
      if (root->empty()) continue;
      std::string vroot = VersionsRootOf(job, *root);
      if (std::none_of(roots.begin(), roots.end(),
                       [&](const TVersionsRoot& r) { return r.versions_root == vroot; }))
        roots.push_back({*root, std::move(vroot)});
    }
  return roots;
}

std::vector<std::string> VersionsSkips(const TJobData& job, std::string_view root) {
  if (!job.bKeepVersions) return {};
  if (job.VersionsFolder.empty()) return {std::string(kVersionsFolderName) + "/"};
  const std::string folder = platform::RealPath(job.VersionsFolder);
  const std::string_view below = platform::PathBelow(folder, platform::RealPath(root));
  if (below.empty()) return {};
  return {std::string(below) + "/"};
}

std::string VersionsProblem(const TJobData& job) {
  const std::string& folder = job.VersionsFolder;
  if (folder.find_first_of("\r\n") != std::string::npos)
    return "The versions folder may not hold a line break";
  if (!job.bKeepVersions || folder.empty()) return {};
  if (folder[0] != '/')
    return "The versions folder must be an absolute path, not " + Quoted(folder);
  const std::string real = platform::RealPath(folder);
  for (const TPairItem& pair : job.Pairs) {
    for (int side : {0, 1}) {
      const std::string& root = side == 0 ? pair.L_Path : pair.R_Path;
      if (root.empty()) continue;
      const std::string real_root = platform::RealPath(root);
      if (real == real_root)
        return "The versions folder " + Quoted(folder) + " is a folder of a pair";
      if (CopiesFrom(job, side) && !platform::PathBelow(real, real_root).empty())
        return "The versions folder " + Quoted(folder) + " lies inside " + Quoted(root) +
               ", which the job copies from";
    }
  }
  return {};
}

std::string VersionsSettingText(const TJobData& job) {
  const std::string where = job.VersionsFolder.empty()
                                ? "in " + Quoted(kVersionsFolderName) + " at the root of each side"
                                : "in " + Quoted(job.VersionsFolder);
  return "Deleted and overwritten files are kept " + where + ": the last " +
         std::to_string(KeepCount(job.KeepVersions)) + " of each file and all younger than " +
         std::to_string(KeepDays(job.KeepDays)) + " days";
}

}  // namespace twn
