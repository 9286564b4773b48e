// twn-cli list, show, add and remove: the job list of the settings file without a window.
#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "app/job_texts.h"
#include "app/settings.h"
#include "cli/commands.h"
#include "cli/job_options.h"
#include "cli/settings_access.h"
#include "engine/scan_info.h"
#include "filters/file_spec_processor.h"
#include "model/versions.h"
#include "platform/locale.h"
#include "windows/quick_info.h"

namespace twn::cli {
namespace {

constexpr std::string_view kListUsage = "twn-cli list";
constexpr std::string_view kShowUsage = "twn-cli show JOB";
constexpr std::string_view kRemoveUsage = "twn-cli remove JOB";

void PrintLine(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

// Width on a terminal: UTF-8 continuation bytes take no column.
size_t Columns(std::string_view text) {
  return size_t(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

using Row = std::array<std::string, 6>;

void PrintTable(const std::vector<Row>& rows) {
  constexpr size_t n = std::tuple_size_v<Row>;
  std::array<size_t, n> width{};
  for (const Row& row : rows)
    for (size_t c = 0; c < n; ++c) width[c] = std::max(width[c], Columns(row[c]));
  for (const Row& row : rows) {
    std::string line;
    for (size_t c = 0; c < n; ++c) {
      line += row[c];
      if (c + 1 < n) line.append(width[c] - Columns(row[c]) + 2, ' ');
    }
    PrintLine(line);
  }
}

// Bad input is one line naming the problem.
int BadInput(std::string_view message) {
  PrintError(message);
  return kExitUsage;
}

// Folders that do not exist yet, and pairs that a run will refuse because one root lies inside
// the other: the job is kept, but its author should know at once.
void WarnAboutPairs(const TJobData& data) {
  TFileSpecProcessor folder_specs;
  data.FolderFilter.LoadInto(folder_specs);
  for (const TPairItem& pair : data.Pairs) {
    for (const std::string* path : {&pair.L_Path, &pair.R_Path})
      if (!platform::DirectoryExists(*path))
        PrintError("warning: the folder '" + *path + "' does not exist yet");
    if (const std::string why = PairOverlapProblem(pair, folder_specs); !why.empty())
      PrintError("warning: " + why);
  }
}

}  // namespace

int CmdList(const Context& ctx, Args args) {
  if (!args.empty()) return UsageError("list takes no arguments", kListUsage);
  TSettings settings(SettingsFolderOf(ctx));
  if (const int status = LoadOrReport(settings)) return status;
  if (settings.Jobs.empty()) {
    PrintError("no jobs in " + settings.FilePath());
    return kExitOk;
  }
  const platform::TDateTime now = platform::Now();
  std::vector<Row> rows(1);
  std::copy(kJobListCaptions.begin(), kJobListCaptions.end(), rows[0].begin());
  for (const auto& job : settings.Jobs) {
    job->ComputeNextRun(now);
    job->UpdateState();
    rows.push_back(JobListRow(*job));
  }
  PrintTable(rows);
  return kExitOk;
}

int CmdShow(const Context& ctx, Args args) {
  if (args.size() != 1) return UsageError("show needs one job name", kShowUsage);
  TSettings settings(SettingsFolderOf(ctx));
  int index = -1;
  if (const int status = LoadJobOrReport(settings, args[0], index)) return status;
  const TJobData& data = settings.Jobs[size_t(index)]->Data;
  PrintLine(QuickInfoPairsCaption(data));
  if (data.Pairs.empty()) PrintLine("  The basket is empty.");
  for (const TPairItem& pair : data.Pairs)
    PrintLine("  " + pair.L_Path + (pair.bSubFLD ? "  [+subfolders]  " : "  [no subfolders]  ") +
              pair.R_Path);
  std::fputs(RenderQuickInfo(BuildQuickInfo(data)).c_str(), stdout);
  return kExitOk;
}

int CmdAdd(const Context& ctx, Args args) {
  if (args.empty()) return UsageError("add needs a job name and its folders", kAddUsage);
  TAddRequest request;
  if (auto error = ParseAddArgs(args, request)) return BadInput(*error);

  TSettings settings(SettingsFolderOf(ctx));
  platform::TInstanceLock lock;
  if (const int status = LockForWriting(settings.Folder(), lock)) return status;
  if (const int status = LoadOrReport(settings)) return status;
  const std::vector<std::string> names = settings.JobNames();
  if (std::string problem = JobNameProblem(*request.name, names); !problem.empty())
    return BadInput(problem);

  const platform::TDateTime now = platform::Now();
  TJob& job = settings.AddJob(now);
  ApplyAddRequest(request, job.Data, now);
  if (std::string problem = VersionsProblem(job.Data); !problem.empty()) return BadInput(problem);
  if (const int status = SaveOrReport(settings)) return status;
  PrintLine("Added job '" + job.Data.JobName + "' to " + settings.FilePath());
  WarnAboutPairs(job.Data);
  return kExitOk;
}

int CmdRemove(const Context& ctx, Args args) {
  if (args.size() != 1) return UsageError("remove needs one job name", kRemoveUsage);
  TSettings settings(SettingsFolderOf(ctx));
  platform::TInstanceLock lock;
  if (const int status = LockForWriting(settings.Folder(), lock)) return status;
  int index = -1;
  if (const int status = LoadJobOrReport(settings, args[0], index)) return status;
  const std::string name = settings.Jobs[size_t(index)]->Data.JobName;
  settings.Jobs.erase(settings.Jobs.begin() + index);
  if (const int status = SaveOrReport(settings)) return status;
  PrintLine("Removed job '" + name + "' from " + settings.FilePath());
  return kExitOk;
}

}  // namespace twn::cli
