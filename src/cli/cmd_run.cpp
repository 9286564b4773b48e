// twn-cli compare and run: one job's comparison with a plan preview, or its whole run.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/settings.h"
#include "cli/commands.h"
#include "cli/run_session.h"
#include "cli/settings_access.h"
#include "run/report.h"
#include "windows/plan_preview.h"

namespace twn::cli {
namespace {

constexpr std::string_view kCompareUsage = "twn-cli compare JOB";
constexpr std::string_view kRunUsage = "twn-cli run JOB [--force]";

void PrintLines(const TLineList& list) {
  list.WithLines([](const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
      std::fwrite(line.data(), 1, line.size(), stdout);
      std::fputc('\n', stdout);
    }
  });
}

/// One tab-separated line per plan entry: action, left path, right path, size.
void PrintPlanPreview(const TScanInfo& scan) {
  const TItemList plan = scan.Plan();
  std::printf("*** Plan preview ***\n");
  if (plan.Count() == 0) std::printf("  Nothing to do\n");
  for (int32_t i = 0; i < plan.Count(); ++i) {
    TPlanPreviewRow row = PlanPreviewRow(plan, i);
    MakeOneLine(row.left);
    MakeOneLine(row.right);
    std::printf("%s\t%s\t%s\t%s\n", row.action.c_str(), row.left.c_str(), row.right.c_str(),
                row.size.c_str());
  }
}

// One line for each log file that could not be written; whether all were.
bool LogsWrittenOrReport(const std::vector<TLogFailure>& failures) {
  for (const TLogFailure& f : failures)
    PrintError("cannot write the log file '" + f.Path + "': " + platform::ErrorText(f.Error));
  return failures.empty();
}

bool ProgressWanted() {
  return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace

int CmdCompare(const Context& ctx, Args args) {
  if (args.size() != 1) return UsageError("compare needs one job name", kCompareUsage);
  TSettings settings(SettingsFolderOf(ctx));
  int index = -1;
  if (const int status = LoadJobOrReport(settings, args[0], index)) return status;
  TJob& job = *settings.Jobs[size_t(index)];
  TRunEnd end;
  {
    // Nothing is written after the comparison, so a signal may end the preview at once.
    const TStopSignals signals;
    end = RunToEnd(job, rmCompareOnly, ProgressWanted(), signals);
  }
  PrintLines(job.FullLog);
  if (end == TRunEnd::kStopped) return kExitStopped;
  PrintPlanPreview(job.ScanInfo);
  return kExitOk;
}

int CmdRun(const Context& ctx, Args args) {
  bool force = false;
  std::vector<std::string_view> words;
  for (std::string_view word : args) {
    if (word == "--force")
      force = true;
    else if (word.starts_with("--"))
      return UsageError("unknown option '" + std::string(word) + "'", kRunUsage);
    else
      words.push_back(word);
  }
  if (words.size() != 1) return UsageError("run needs one job name", kRunUsage);
  // A file beyond the size limit is then an error line of the run, not the end of the program.
  std::signal(SIGXFSZ, SIG_IGN);
  // A reader that went away (`| head`) must not end the program before the logs are written.
  std::signal(SIGPIPE, SIG_IGN);
  TSettings settings(SettingsFolderOf(ctx));
  // Held for the whole run, so that nobody else changes the file the run saves at its end.
  platform::TInstanceLock lock;
  if (const int status = LockForWriting(settings.Folder(), lock)) return status;
  int index = -1;
  if (const int status = LoadJobOrReport(settings, words[0], index)) return status;
  TJob& job = *settings.Jobs[size_t(index)];
  job.bForceRun = force;
  // Until the logs and the settings are written a stop signal is only a flag: ending half-way
  // would lose the run's logs and its last run, and leave temporary files behind.
  const TStopSignals signals;
  const TRunEnd end = RunToEnd(job, rmCompareAndSync, ProgressWanted(), signals);
  PrintLines(job.SummaryLog);
  std::fflush(stdout);
  const bool logs_written = LogsWrittenOrReport(job.WriteLogs(job, settings.MainLogFolder));
  const int saved = SaveOrReport(settings);
  if (end == TRunEnd::kStopped || signals.Raised()) return kExitStopped;
  if (job.ScanInfo.Held()) return kExitHeld;
  return job.HadErrors() || !logs_written || saved != kExitOk ? kExitRunErrors : kExitOk;
}

}  // namespace twn::cli
