#include "app/change_watch.h"

#include <sys/stat.h>

#include <algorithm>

#include "engine/scan_info.h"
#include "model/versions.h"
#include "platform/listing.h"

namespace twn {
namespace {

constexpr uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_FROM |
                                IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;
constexpr uint32_t kRootGone = IN_IGNORED | IN_UNMOUNT | IN_DELETE_SELF | IN_MOVE_SELF;
// Paths kept while a run goes on; a run that sees more changes than this is followed by one
// more run, as after a queue overflow.
constexpr size_t kMaxPathsDuringRun = 100000;

/// Repeated separators as one, none at the end ("/" stays).
std::string TidyPath(std::string_view path) {
  std::string out;
  for (char c : path)
    if (c != platform::kSep || out.empty() || out.back() != platform::kSep) out += c;
  return platform::ExcludeTrailingSeparator(std::move(out));
}

std::string Below(const std::string& folder, std::string_view name) {
  return platform::IncludeTrailingSeparator(folder).append(name);
}

dev_t DeviceOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? st.st_dev : 0;
}

}  // namespace

TChangeWatch::TChangeWatch(const TJobData& job, TWatchTimes times) : times_(times) {
  job.FolderFilter.LoadInto(folder_specs_);
  for (const TPairItem& pair : job.Pairs)
    for (const std::string& side : {pair.L_Path, pair.R_Path}) {
      TRoot root{TidyPath(side), pair.bSubFLD};
      const bool known = std::any_of(roots_.begin(), roots_.end(),
                                     [&](const TRoot& r) { return r.path == root.path; });
      if (root.path.empty() || known) continue;
      roots_.push_back(root);
      // The run's versions folders change with every run that keeps one.
      for (std::string skip : VersionsSkips(job, root.path)) {
        skip.pop_back();
        skipped_.push_back(Below(root.path, skip));
      }
    }
}

bool TChangeWatch::Skipped(const std::string& path) const {
  return std::find(skipped_.begin(), skipped_.end(), path) != skipped_.end();
}

void TChangeWatch::Start(TWatchTime now) {
  platform::TError error = 0;
  inotify_ = platform::TInotify::Open(error);
  if (error) return FallBack(error);
  if (WatchAll(now)) Say("watching " + std::to_string(FolderCount()) + " folders");
}

bool TChangeWatch::WatchAll(TWatchTime now) {
  for (TRoot& root : roots_) {
    const dev_t device = DeviceOf(root.path);
    if (device == 0) {
      SideGone(root.path + " is missing", now);
      return false;
    }
    if (root.device == 0) root.device = device;
  }
  for (const TRoot& root : roots_)
    if (!AddTree(root.path, root.subfolders, true)) return false;
  return true;
}

bool TChangeWatch::AddTree(const std::string& path, bool subfolders, bool is_root) {
  platform::TError error = 0;
  int wd = -1;
  if (times_.watch_limit > 0 && FolderCount() >= times_.watch_limit)
    error = ENOSPC;
  else
    wd = inotify_.AddWatch(path, kWatchMask, is_root, error);
  if (error == ENOSPC) {
    FallBack(error);
    return false;
  }
  if (wd < 0) return true;  // gone meanwhile, a link, or not readable: the run reports it
  folders_[wd] = {path, subfolders, is_root};
  if (!subfolders) return true;
  std::vector<std::string> children;
  platform::TDirLister lister(false);
  if (!lister.Open(path, is_root)) return true;
  for (platform::TListEntry entry; lister.Next(entry);) {
    if (!entry.IsDirectory() || entry.other || entry.name == "." || entry.name == "..") continue;
    if (folder_specs_.Matches(entry.name, false)) continue;
    std::string child = Below(path, entry.name);
    if (!Skipped(child)) children.push_back(std::move(child));
  }
  lister.Close();
  for (const std::string& child : children)
    if (!AddTree(child, true, false)) return false;
  return true;
}

void TChangeWatch::Read(TWatchTime now) {
  if (!inotify_.Valid()) return;
  std::vector<platform::TWatchEvent> events;
  inotify_.ReadEvents(events);
  for (const platform::TWatchEvent& e : events) {
    if (fell_back_) return;
    Event(e, now);
  }
}

void TChangeWatch::Event(const platform::TWatchEvent& e, TWatchTime now) {
  if (e.mask & IN_Q_OVERFLOW) {
    // Events were lost, perhaps of folders that appeared: every folder is watched again.
    for (const TRoot& root : roots_)
      if (!gone_ && !AddTree(root.path, root.subfolders, true)) return;
    return Changed({}, now);
  }
  const auto found = folders_.find(e.wd);
  if (found == folders_.end()) return;
  const TFolder folder = found->second;
  if (e.mask & IN_IGNORED) folders_.erase(found);
  if (folder.is_root && e.name.empty() && (e.mask & kRootGone))
    return SideGone(folder.path + " is gone", now);
  if (e.name.empty()) return;  // a subfolder's own events come to its parent as well
  if (platform::IsCopyTempName(e.name)) return;  // only ever the run's own
  const std::string path = Below(folder.path, e.name);
  if (Skipped(path)) return;
  if (e.mask & IN_ISDIR) {
    if (!folder.subfolders || folder_specs_.Matches(e.name, false)) return;
    if (e.mask & IN_MOVED_FROM) DropBelow(path);
    if ((e.mask & (IN_CREATE | IN_MOVED_TO)) && !AddTree(path, true, false)) return;
  }
  Changed(path, now);
}

void TChangeWatch::DropBelow(const std::string& path) {
  const std::string below = path + platform::kSep;
  for (auto it = folders_.begin(); it != folders_.end();) {
    if (it->second.path == path || it->second.path.starts_with(below)) {
      inotify_.RemoveWatch(it->first);
      it = folders_.erase(it);
    } else {
      ++it;
    }
  }
}

void TChangeWatch::Changed(const std::string& path, TWatchTime now) {
  if (gone_) return;
  if (running_) {
    if (path.empty() || during_run_.size() >= kMaxPathsDuringRun)
      overflow_during_run_ = true;
    else
      during_run_.insert(path);
    return;
  }
  if (!pending_) first_ = now;
  pending_ = true;
  last_ = now;
}

bool TChangeWatch::Due(TWatchTime now) {
  if (fell_back_) return false;
  if (gone_ && now >= next_look_) LookForSides(now);
  if (gone_ || !pending_ || running_) return false;
  if (now < last_ + times_.quiet && now < first_ + times_.longest) return false;
  for (const TRoot& root : roots_)
    if (DeviceOf(root.path) == 0) {
      SideGone(root.path + " is missing", now);
      return false;
    }
  pending_ = false;
  return true;
}

std::optional<TWatchTime> TChangeWatch::NextDeadline() const {
  if (fell_back_) return std::nullopt;
  if (gone_) return next_look_;
  if (!pending_ || running_) return std::nullopt;
  return std::min(last_ + times_.quiet, first_ + times_.longest);
}

void TChangeWatch::RunStarted() {
  running_ = true;
  pending_ = false;  // the run's scan sees whatever changed before it
  during_run_.clear();
  overflow_during_run_ = false;
}

void TChangeWatch::RunFinished(const std::set<std::string>& written, TWatchTime now) {
  Read(now);  // the run's own events are all queued by now
  running_ = false;
  if (overflow_during_run_) Changed({}, now);
  for (const std::string& path : during_run_)
    if (!written.contains(path)) Changed(path, now);
  during_run_.clear();
  overflow_during_run_ = false;
}

void TChangeWatch::FallBack(platform::TError error) {
  fell_back_ = true;
  pending_ = false;
  folders_.clear();
  inotify_.Close();
  Say("cannot watch (" + platform::ErrorText(error) + "): the job runs on its schedule only");
}

void TChangeWatch::SideGone(const std::string& why, TWatchTime now) {
  if (!gone_) Say(why + ": no run until it is back");
  gone_ = true;
  pending_ = false;
  during_run_.clear();
  for (const auto& [wd, folder] : folders_) inotify_.RemoveWatch(wd);
  folders_.clear();
  next_look_ = now + times_.recheck;
}

void TChangeWatch::LookForSides(TWatchTime now) {
  next_look_ = now + times_.recheck;
  // An unmounted side leaves its mount point behind: it is back when it is the same device.
  for (const TRoot& root : roots_) {
    const dev_t device = DeviceOf(root.path);
    if (device == 0 || (root.device != 0 && device != root.device)) return;
  }
  gone_ = false;
  if (!WatchAll(now)) return;
  Say("every side is back: watching " + std::to_string(FolderCount()) + " folders");
  pending_ = true;  // one run for whatever changed while it was gone
  first_ = now;
  last_ = now - times_.quiet;
}

std::vector<std::string> TChangeWatch::TakeLines() {
  return std::exchange(lines_, {});
}

std::set<std::string> PathsWrittenByPlan(const TScanInfo& scan) {
  std::set<std::string> paths;
  const TItemList plan = scan.Plan();
  for (int32_t i = 0; i < plan.Count(); ++i) {
    const int action = plan.Action(i);
    for (int side : {kLeft, kRight}) {
      if (!WritesOnto(action, side) && !DeletesOn(action, side) && !RemovesOn(action, side))
        continue;
      const TFolderPath path = plan.IsFile(i) ? plan.FilePath(i, side) : plan.FolderPath(i, side);
      const std::string written = TidyPath(path.path);
      paths.insert(written);
      // Its folder changes too, and may then be given its partner's time.
      paths.insert(written.substr(0, written.rfind(platform::kSep)));
      // A copy creates the folders missing above it (its folder and those up to the root).
      const TFolderPath folder = plan.FolderPath(i, side);
      if (!folder.missing) continue;
      const size_t root = TidyPath(folder.path.substr(0, folder.root_length)).size();
      for (std::string up = TidyPath(folder.path); up.size() > root;
           up.resize(up.rfind(platform::kSep)))
        paths.insert(up);
    }
  }
  return paths;
}

}  // namespace twn
