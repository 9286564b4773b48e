#include "app/watch_set.h"

#include <algorithm>

namespace twn {
namespace {

/// What a watch depends on: the pairs' folders, their subfolder switches, the folder filter and
/// the versions folders it leaves out.
std::string WatchedFolders(const TJobData& data) {
  std::string text;
  for (const TPairItem& pair : data.Pairs)
    text.append(pair.L_Path)
        .append("\n")
        .append(pair.R_Path)
        .append(pair.bSubFLD ? "\n+\n" : "\n-\n");
  for (const std::string& pattern : data.FolderFilter.Patterns()) text.append(pattern).append("\n");
  if (data.bKeepVersions) text.append("versions:").append(data.VersionsFolder);
  return text;
}

}  // namespace

void TWatchSet::Sync(TWatchTime now) {
  std::erase_if(entries_, [this](const TEntry& e) {
    const TJob* job = JobOf(e.job_id);
    return !job || !Wanted(*job);
  });
  for (const auto& job : jobs_) {
    if (!Wanted(*job)) continue;
    const std::string folders = WatchedFolders(job->Data);
    auto entry = std::find_if(entries_.begin(), entries_.end(),
                              [&](const TEntry& e) { return e.job_id == job->JobID; });
    if (entry != entries_.end() && entry->folders == folders) {
      entry->name = job->Data.JobName;
      continue;
    }
    if (entry == entries_.end()) {
      entry = entries_.insert(entries_.end(), TEntry{});
      entry->job_id = job->JobID;
    }
    entry->name = job->Data.JobName;
    entry->folders = folders;
    entry->watch = std::make_unique<TChangeWatch>(job->Data, Times);
    entry->watch->Start(now);
    Collect(*entry);
  }
  NoteRuns();
}

bool TWatchSet::Wanted(const TJob& job) const {
  return OnlyJob ? job.JobID == OnlyJob : job.Data.bRunOnChange;
}

TJob* TWatchSet::JobOf(int32_t job_id) const {
  for (const auto& job : jobs_)
    if (job->JobID == job_id) return job.get();
  return nullptr;
}

void TWatchSet::NoteRuns() {
  for (TEntry& e : entries_) {
    const TJob* job = JobOf(e.job_id);
    if (job && job->Running() && !e.watch->Running()) e.watch->RunStarted();
  }
}

void TWatchSet::Read(TWatchTime now) {
  NoteRuns();  // a run started since the last tick: its events are its own
  for (TEntry& e : entries_) {
    e.watch->Read(now);
    Collect(e);
  }
}

std::vector<int32_t> TWatchSet::Due(TWatchTime now, bool hold) {
  std::vector<int32_t> due;
  if (hold) return due;
  for (TEntry& e : entries_) {
    const TJob* job = JobOf(e.job_id);
    if (!job || job->Running() || job->bHeldByWindow) continue;
    if (e.watch->Due(now)) {
      lines_.push_back("changes seen in '" + e.name + "'");
      due.push_back(e.job_id);
    }
    Collect(e);
  }
  return due;
}

std::optional<TWatchTime> TWatchSet::NextDeadline() const {
  std::optional<TWatchTime> next;
  for (const TEntry& e : entries_)
    if (const auto d = e.watch->NextDeadline(); d && (!next || *d < *next)) next = d;
  return next;
}

void TWatchSet::RunFinished(const TJob& job, TWatchTime now) {
  for (TEntry& e : entries_) {
    if (e.job_id != job.JobID) continue;
    if (!e.watch->Running()) e.watch->RunStarted();  // began and ended between two ticks
    e.watch->RunFinished(PathsWrittenByPlan(job.ScanInfo), now);
    Collect(e);
  }
}

std::vector<int> TWatchSet::Fds() const {
  std::vector<int> fds;
  for (const TEntry& e : entries_)
    if (e.watch->Fd() >= 0) fds.push_back(e.watch->Fd());
  return fds;
}

std::vector<std::string> TWatchSet::TakeLines() {
  return std::exchange(lines_, {});
}

const TChangeWatch* TWatchSet::Find(int32_t job_id) const {
  for (const TEntry& e : entries_)
    if (e.job_id == job_id) return e.watch.get();
  return nullptr;
}

void TWatchSet::Collect(TEntry& entry) {
  for (std::string& line : entry.watch->TakeLines())
    lines_.push_back("'" + entry.name + "': " + line);
}

}  // namespace twn
