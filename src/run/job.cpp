#include "run/job.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "run/job_thread.h"
#include "run/log_files.h"

namespace twn {
namespace {

using platform::DatePart;
using platform::TDateTime;
using platform::TimePart;

std::atomic<int32_t> g_last_job_id{0};

// The date-time range the calendar functions handle (years 1 to 9999); a schedule value
// outside it comes only from a damaged settings file.
constexpr TDateTime kFirstDate = -693593.0;
constexpr TDateTime kLastDate = 2958466.0;

bool InCalendarRange(TDateTime dt) {
  return std::isfinite(dt) && dt >= kFirstDate && dt < kLastDate;
}

// ExcludeDays bit of a date's weekday: Monday 1, Tuesday 2, ... Sunday 64.
int32_t WeekdayBit(TDateTime dt) {
  const int dow = platform::DayOfWeek(dt);  // 1 = Sunday ... 7 = Saturday
  return dow == 1 ? kSunday : 1 << (dow - 2);
}

}  // namespace

int32_t NewJobID() {
  return ++g_last_job_id;
}

void ResetJobIDs() {
  g_last_job_id = 0;
}

TJob::TJob(int32_t job_id, TDateTime now) : Data(now), JobID(job_id), NextRun(now), LastRun(now) {}

TJob::~TJob() {
  if (!RunThread) return;
  RunThread->StopWorker();
  RunThread->WaitFor();
}

bool TJob::Start(TRunHost& host, TNotifyWindow window, TRunMode mode) {
  if (RunThread) return false;
  const bool compare = mode == rmCompareOnly || mode == rmCompareAndSync;
  if (compare) {
    LastRun = platform::Now();
    bHasLastRun = true;
  }
  bChanged = true;
  State = jsExecuting;
  RunMode = mode;
  // A synchronization half adds its lines to those of the comparison before it.
  if (compare) {
    FullLog.Clear();
    SummaryLog.Clear();
    ErrorLog.Clear();
    OperationLog.Clear();
  }
  auto watcher = std::make_unique<TRunJobThread>(host, window, JobID);
  auto data = std::make_unique<TJobData>();
  data->Assign(Data);
  const TJobThread::TRunShare share{
      Progress, ScanInfo, {FullLog, SummaryLog, ErrorLog, OperationLog}, bForceRun};
  watcher->SetWorker(
      std::make_unique<TJobThread>(host, window, JobID, mode, share, std::move(data)));
  watcher->Resume();
  RunThread = std::move(watcher);
  return true;
}

void TJob::Stop() {
  if (RunThread) RunThread->StopWorker();
}

void TJob::ResetAfterRun() {
  if (RunThread) RunThread->WaitFor();  // it has posted its last message: a short wait
  RunThread.reset();
  State = jsNothing;
  bChanged = true;
  bRunFromCommandLine = false;
  bForceRun = false;
}

bool TJob::HadErrors() const {
  const TJobSafeProgress& p = Progress;
  if (ScanInfo.Held() || ScanInfo.Refused()) return true;
  return int64_t{p.CreateErrorsLeft} + p.CreateErrorsRight + p.CopyErrorsLeft + p.CopyErrorsRight +
             p.DeleteErrorsLeft + p.DeleteErrorsRight + ScanInfo.ErrorCount() >
         0;
}

std::vector<TLogFailure> TJob::WriteLogs(TJob& target, const std::string& log_folder) const {
  return WriteRunLogs({FullLog, SummaryLog, ErrorLog}, Data, JobID, log_folder, target.Data);
}

void TJob::Assign(const TJob& source) {
  bRunFromCommandLine = source.bRunFromCommandLine;
  JobID = source.JobID;
  State = source.State;
  bChanged = source.bChanged;
  RunMode = source.RunMode;
  Data.Assign(source.Data);
  LastRun = source.LastRun;
  bHasLastRun = source.bHasLastRun;
}

void TJob::ComputeNextRun(TDateTime now) {
  const int32_t frequency = Data.Frequency;
  if (frequency == kFreqManual || (Data.ExcludeDays & kAllDays) == kAllDays) {
    bHasNextRun = false;
    return;
  }
  switch (frequency) {
    case kFreqMinutes:
    case kFreqHours:
      NextIntervalRun(now);
      break;
    case kFreqDaily:
    case kFreqDays:
      NextDailyRun(now);
      break;
    default:
      return;
  }
}

void TJob::NextIntervalRun(TDateTime now) {
  // An interval below 1 (only from a damaged file) would start the job again at every tick.
  const TDateTime step = Data.Frequency == kFreqMinutes ? std::max(Data.freMinutes, 1) / 1440.0
                                                        : std::max(Data.freHours, 1) / 24.0;
  NextRun = now;
  if (bHasLastRun) {
    NextRun = LastRun + step;
    if (now > NextRun) NextRun = now;  // a missed interval run is due at once
  }
  if (Data.bRunBefore && NextRun < Data.RunBefore) NextRun = DatePart(Data.RunBefore);
  bHasNextRun = InCalendarRange(NextRun);
  if (!bHasNextRun || Data.ExcludeDays == 0) return;
  SkipExcludedDays();
  // A run moved to a later day starts at that day's first moment.
  if (DatePart(NextRun) != DatePart(now)) NextRun = DatePart(NextRun);
}

void TJob::NextDailyRun(TDateTime now) {
  const TDateTime start = TimePart(Data.StartTime);
  const TDateTime today = DatePart(now);
  if (bHasLastRun) {
    const int32_t days = Data.Frequency == kFreqDaily ? 1 : std::max(Data.freDays, 1);
    NextRun = DatePart(LastRun) + start + days;
  } else {
    NextRun = today + start + (start < TimePart(now) ? 1 : 0);
  }
  if (Data.bRunBefore && NextRun < Data.RunBefore) NextRun = DatePart(Data.RunBefore) + start;
  bHasNextRun = InCalendarRange(NextRun);
  if (bHasNextRun && Data.ExcludeDays != 0) SkipExcludedDays();
}

void TJob::SkipExcludedDays() {
  // Ends within a week: the caller made sure some weekday is not excluded.
  while (Data.ExcludeDays & WeekdayBit(NextRun)) NextRun += 1;
}

void TJob::UpdateState() {
  if (State == jsExecuting) return;
  State = (Data.Frequency != kFreqManual && bHasNextRun) ? jsWaiting : jsNothing;
}

}  // namespace twn
