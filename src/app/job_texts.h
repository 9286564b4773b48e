#pragma once
// Texts of a job for twn-cli's job table and progress bar; the cells they share with the job
// list window come from the watcher.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/watcher.h"
#include "run/job.h"
#include "run/progress.h"

namespace twn {

/// "Scanning", "Copying", ...; empty for a stage that has no name.
std::string_view RunStageText(int32_t stage);
/// How far a run is, 0-100: the copy stage carries the weight of a run, so the percentage
/// follows its KiB; 0 before it, 100 after it (but for a stopped run).
int RunPercent(const TJobSafeProgress& progress);
/// "[#####.....]  45%  Copying  files 12/345  KiB 1024/20480": a one-line progress bar.
std::string ProgressBarText(const TJobSafeProgress& progress);

/// twn-cli's job table: the job list's columns but Progress, with the method and pair count.
inline constexpr std::array<std::string_view, 6> kJobListCaptions = {kJobColumnCaptions[jcName],
                                                                     "Method",
                                                                     "Pairs",
                                                                     kJobColumnCaptions[jcLastRun],
                                                                     kJobColumnCaptions[jcNextRun],
                                                                     kJobColumnCaptions[jcState]};
/// The cells of a job's row, in the order of kJobListCaptions. The caller brings the next run
/// and the state up to date first.
std::array<std::string, 6> JobListRow(const TJob& job);

}  // namespace twn
