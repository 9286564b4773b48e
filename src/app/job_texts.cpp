#include "app/job_texts.h"

#include <algorithm>
#include <cstdio>

namespace twn {

std::string_view RunStageText(int32_t stage) {
  switch (stage) {
    case rsStarting:
      return "Starting";
    case rsScanning:
      return "Scanning";
    case rsCreatingFolders:
      return "Creating folders";
    case rsCopying:
      return "Copying";
    case rsDeleting:
      return "Deleting";
    case rsRemovingFolders:
      return "Removing folders";
    case rsCompleted:
      return "Completed";
    case rsTerminated:
      return "Terminated";
    default:
      return "";
  }
}

int RunPercent(const TJobSafeProgress& p) {
  if (p.Stage < rsCopying) return 0;
  if (p.Stage > rsCopying && p.Stage != rsTerminated) return 100;
  const int64_t total = std::max<int64_t>(uint32_t(p.KbToCopy), 1);
  return int(std::clamp<int64_t>(int64_t(uint32_t(p.KbCopied)) * 100 / total, 0, 100));
}

std::string ProgressBarText(const TJobSafeProgress& p) {
  const int percent = RunPercent(p);
  std::string bar(20, '.');
  std::fill_n(bar.begin(), percent / 5, '#');
  const std::string stage(RunStageText(p.Stage));
  char text[160];
  if (p.Stage <= rsScanning) {
    std::snprintf(text, sizeof text, "[%s] %3d%%  %s  files %lld", bar.c_str(), percent,
                  stage.c_str(),
                  static_cast<long long>(int64_t{p.FilesFoundLeft} + p.FilesFoundRight));
  } else {
    const int64_t files =
        int64_t{p.FilesCopiedLeft} + p.FilesCopiedRight + p.CopyErrorsLeft + p.CopyErrorsRight;
    std::snprintf(text, sizeof text, "[%s] %3d%%  %s  files %lld/%d  KiB %u/%u", bar.c_str(),
                  percent, stage.c_str(), static_cast<long long>(files), p.FilesToCopy,
                  uint32_t(p.KbCopied), uint32_t(p.KbToCopy));
  }
  return text;
}

std::array<std::string, 6> JobListRow(const TJob& job) {
  return {job.Data.JobName,
          std::string(MethodText(job.Data.idxMethod)),
          std::to_string(job.PairCount()),
          LastRunText(job),
          NextRunText(job),
          std::string(JobStateText(job.State))};
}

}  // namespace twn
