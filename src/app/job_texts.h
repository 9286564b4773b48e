#pragma once
// Texts of a job as the job list and a progress display show them; twn-cli prints the same.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "run/job.h"
#include "run/progress.h"

namespace twn {

std::string_view JobStateText(TJobState state);
/// "Scanning", "Copying", ...; empty for a stage that has no name.
std::string_view RunStageText(int32_t stage);
/// How far a run is, 0-100: the copy stage carries the weight of a run, so the percentage
/// follows its KiB; 0 before it, 100 after it (but for a stopped run).
int RunPercent(const TJobSafeProgress& progress);
/// "[#####.....]  45%  Copying  files 12/345  KiB 1024/20480": a one-line progress bar.
std::string ProgressBarText(const TJobSafeProgress& progress);

inline constexpr std::array<std::string_view, 6> kJobListCaptions = {
    "Job name", "Method", "Pairs", "Last run", "Next run", "State"};
/// The cells of a job's row, in the order of kJobListCaptions. The caller brings the next run
/// and the state up to date first.
std::array<std::string, 6> JobListRow(const TJob& job);

}  // namespace twn
