// twn-cli versions and restore: the kept versions of a job's files.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/settings.h"
#include "cli/commands.h"
#include "cli/settings_access.h"
#include "model/versions.h"
#include "run/report.h"
#include "run/versions.h"

namespace twn::cli {
namespace {

constexpr std::string_view kVersionsUsage = "twn-cli versions JOB [PATH]";
constexpr std::string_view kRestoreUsage = "twn-cli restore JOB PATH [--version STAMP]";

void PrintLine(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

// The job's settings name a versions folder that cannot be used: nothing is looked up there.
int CheckedJob(const TJobData& data) {
  const std::string problem = VersionsProblem(data);
  if (problem.empty()) return kExitOk;
  PrintError(problem);
  return kExitUsage;
}

int FindOrReport(const TJobData& data, std::string_view path, TPathInPair& where) {
  const std::optional<TPathInPair> found = FindInPairs(data, path);
  if (found) return where = *found, kExitOk;
  PrintError("'" + std::string(path) + "' lies in no folder of job '" + data.JobName + "'");
  return kExitUsage;
}

void PrintVersions(const std::string& root, const std::vector<TKeptVersion>& list) {
  for (const TKeptVersion& v : list)
    PrintLine(v.stamp + "  " + GroupedNumber(v.size) + " bytes  " +
              platform::IncludeTrailingSeparator(root) + v.original);
}

void PrintAllVersions(const TJobData& data, size_t& count) {
  for (const TVersionsRoot& r : DistinctVersionsRoots(data)) {
    const std::vector<TKeptVersion> list = ListVersions(r.versions_root);
    PrintVersions(r.side_root, list);
    count += list.size();
  }
}

}  // namespace

int CmdVersions(const Context& ctx, Args args) {
  if (args.empty() || args.size() > 2)
    return UsageError("versions needs a job name", kVersionsUsage);
  TSettings settings(SettingsFolderOf(ctx));
  int index = -1;
  if (const int status = LoadJobOrReport(settings, args[0], index)) return status;
  const TJobData& data = settings.Jobs[size_t(index)]->Data;
  if (const int status = CheckedJob(data)) return status;
  size_t count = 0;
  if (args.size() == 1) {
    PrintAllVersions(data, count);
  } else {
    TPathInPair where;
    if (const int status = FindOrReport(data, args[1], where)) return status;
    const std::vector<TKeptVersion> list =
        ListVersions(VersionsRootOf(data, where.root), where.below);
    PrintVersions(where.root, list);
    count = list.size();
  }
  if (count == 0) PrintLine("No versions are kept.");
  return kExitOk;
}

int CmdRestore(const Context& ctx, Args args) {
  std::vector<std::string_view> words;
  std::string_view stamp;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--version" && i + 1 < args.size())
      stamp = args[++i];
    else if (args[i].starts_with("--"))
      return UsageError("unknown option '" + std::string(args[i]) + "'", kRestoreUsage);
    else
      words.push_back(args[i]);
  }
  if (words.size() != 2) return UsageError("restore needs a job name and a path", kRestoreUsage);
  TSettings settings(SettingsFolderOf(ctx));
  platform::TInstanceLock lock;
  if (const int status = LockForWriting(settings.Folder(), lock)) return status;
  int index = -1;
  if (const int status = LoadJobOrReport(settings, words[0], index)) return status;
  const TJobData& data = settings.Jobs[size_t(index)]->Data;
  if (const int status = CheckedJob(data)) return status;
  TPathInPair where;
  if (const int status = FindOrReport(data, words[1], where)) return status;
  const std::vector<TKeptVersion> list =
      ListVersions(VersionsRootOf(data, where.root), where.below);
  auto chosen = list.begin();
  while (!stamp.empty() && chosen != list.end() && chosen->stamp != stamp) ++chosen;
  if (chosen == list.end()) {
    const std::string what = stamp.empty() ? "no version" : "no version " + std::string(stamp);
    PrintError(what + " of '" + std::string(words[1]) + "' is kept (twn-cli versions lists them)");
    return kExitUsage;
  }
  std::string message;
  const platform::TError e =
      RestoreVersion(data, where, *chosen, VersionStamp(platform::Now()), message);
  if (e)
    PrintError(message);
  else
    PrintLine(message);
  return e ? kExitRunErrors : kExitOk;
}

}  // namespace twn::cli
