#include "run/log_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "platform/atomic_file.h"
#include "platform/locale.h"
#include "platform/unique_fd.h"
#include "run/file_ops.h"

namespace twn {

using platform::TError;
using platform::TUniqueFd;

std::string RunStamp(platform::TDateTime when) {
  const platform::TCalendar c = platform::DecodeDateTime(when);
  char tail[64];
  std::snprintf(tail, sizeof tail, " %d, %04d at %02d:%02d", c.day, c.year, c.hour, c.minute);
  std::string stamp = platform::LongMonthName(c.month) + tail;
  for (char& ch : stamp) {
    if (std::string_view("\\/:*?\"<>|").find(ch) != std::string_view::npos) ch = '-';
  }
  return stamp;
}

std::string LogFileName(std::string_view job_name, TLogKind kind, bool new_per_run,
                        std::string_view stamp) {
  static constexpr std::string_view kKinds[] = {"_full", "_summary", "_error"};
  // A hand-edited name may hold a separator ("../x"): the log still stays in the log folder.
  std::string name(job_name);
  std::replace_if(
      name.begin(), name.end(), [](char c) { return c == '/' || c == '\0'; }, '-');
  name += kKinds[kind];
  if (new_per_run) name += " (" + std::string(stamp) + ")";
  return name + ".log";
}

std::string LogFilePath(std::string_view folder, std::string_view file_name) {
  std::string path(folder);
  if (path.empty() || path.back() != platform::kSep) path += platform::kSep;
  return path + std::string(file_name);
}

namespace {

// Collects the text in blocks so a long report costs few system calls.
class TBlockWriter {
 public:
  explicit TBlockWriter(int fd) : fd_(fd) { buffer_.reserve(kBlock); }
  void Add(std::string_view text) {
    if (buffer_.size() + text.size() > kBlock) Flush();
    if (text.size() > kBlock) {
      Write(text);
    } else {
      buffer_ += text;
    }
  }
  TError Flush() {
    Write(buffer_);
    buffer_.clear();
    return error_;
  }

 private:
  static constexpr size_t kBlock = 64 * 1024;
  void Write(std::string_view text) {
    while (error_ == 0 && !text.empty()) {
      const ssize_t n = ::write(fd_, text.data(), text.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        error_ = n < 0 ? errno : ENOSPC;
        break;
      }
      text.remove_prefix(static_cast<size_t>(n));
    }
  }
  int fd_;
  std::string buffer_;
  TError error_ = 0;
};

// What is at the log's own path decides what happens to it. A regular file is read for
// prepending and replaced by the rename. A symbolic link is replaced as a link: its target is
// neither read nor written, so a link planted in the log folder cannot make a run copy or
// overwrite another file, while the user's log still lands where the history says. Anything
// else is refused without being opened: opening a FIFO for reading waits for a writer.
TError CheckOldLog(const struct stat& st) {
  if (S_ISREG(st.st_mode)) return 0;
  return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
}

/// Opens the old log when its text goes below the new run's: adding, and within the limit.
TError OpenOldLog(const std::string& path, const TLogSetting& setting, TUniqueFd& old) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? 0 : errno;
  if (S_ISLNK(st.st_mode)) return 0;
  if (const TError e = CheckOldLog(st)) return e;
  const int64_t limit = int64_t{setting.MaxSize} * 1024;
  if (setting.bCreateNew || setting.bOverwrite || st.st_size > limit) return 0;
  // An old log that cannot be read is kept rather than replaced by the new run alone.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return errno;
  old = TUniqueFd(fd);
  if (::fstat(old.Get(), &st) != 0) return errno;
  if (const TError e = CheckOldLog(st)) return e;
  if (st.st_size > limit) old = TUniqueFd();  // grew meanwhile: start afresh
  return 0;
}

TError CopyOldLog(int old, TBlockWriter& out) {
  char block[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(old, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return 0;
    out.Add(std::string_view(block, static_cast<size_t>(n)));
  }
}

TError WriteText(const std::vector<std::string>& lines, const std::string& path,
                 const TLogSetting& setting, int32_t job_id) {
  TUniqueFd old;
  if (const TError e = OpenOldLog(path, setting, old)) return e;
  // "~$tempfile<id>." and six random characters beside the log.
  platform::TAtomicFile file;
  if (const TError e =
          file.Create(path, std::string(kLogTempPrefix) + std::to_string(job_id) + "."))
    return e;
  TBlockWriter out(file.Fd());
  for (const std::string& line : lines) {
    out.Add(line);
    out.Add("\r\n");
  }
  TError error = old.Valid() ? CopyOldLog(old.Get(), out) : 0;
  if (const TError e = out.Flush(); error == 0) error = e;
  return error != 0 ? error : file.Commit(false);
}

}  // namespace

TLogWriteResult WriteLogFile(const TLineList& list, const std::string& path,
                             const TLogSetting& setting, int32_t job_id, TError* error) {
  return list.WithLines([&](const std::vector<std::string>& lines) {
    if (lines.empty()) return TLogWriteResult::kNoLines;
    const TError e = WriteText(lines, path, setting, job_id);
    if (error) *error = e;
    return e == 0 ? TLogWriteResult::kWritten : TLogWriteResult::kFailed;
  });
}

std::vector<TLogFailure> WriteRunLogs(const TRunLogLists& lists, const TJobData& source,
                                      int32_t job_id, const std::string& folder, TJobData& target) {
  const TLineList* kinds[kLogKindCount] = {&lists.FullLog, &lists.SummaryLog, &lists.ErrorLog};
  std::vector<TLogFailure> failures;
  bool folder_checked = false;
  for (size_t k = 0; k < kLogKindCount; ++k) {
    const TLogKind kind = static_cast<TLogKind>(k);
    const TLogSetting setting = source.LogSetting(kind);
    if (!setting.bUse || kinds[k]->Count() == 0) continue;
    if (!folder_checked && !folder.empty()) ForceFolders(folder);
    folder_checked = true;
    const std::string path = LogFilePath(
        folder, LogFileName(source.JobName, kind, setting.bCreateNew, RunStamp(platform::Now())));
    TError error = 0;
    const TLogWriteResult result = WriteLogFile(*kinds[k], path, setting, job_id, &error);
    if (result == TLogWriteResult::kWritten) target.AddLogFile(path, false);
    if (result == TLogWriteResult::kFailed) failures.push_back({path, error});
  }
  return failures;
}

}  // namespace twn
