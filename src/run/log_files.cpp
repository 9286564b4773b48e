#include "run/log_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

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
  std::string name(job_name);
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

/// Prepending goes on while the old file is within the limit; reading it fails like size 0.
bool PrependTo(const std::string& path, const TLogSetting& setting) {
  if (setting.bCreateNew || setting.bOverwrite) return false;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  TUniqueFd old(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  const int64_t size = old.Valid() ? st.st_size : 0;
  return size <= int64_t{setting.MaxSize} * 1024;
}

TError CopyOldLog(const std::string& path, TBlockWriter& out) {
  TUniqueFd old(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!old.Valid()) return 0;  // nothing readable to keep
  char block[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(old.Get(), block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return 0;
    out.Add(std::string_view(block, static_cast<size_t>(n)));
  }
}

TError WriteText(const std::vector<std::string>& lines, const std::string& path, bool prepend,
                 const std::string& temp_path) {
  TUniqueFd fd(::open(temp_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!fd.Valid()) return errno;
  TBlockWriter out(fd.Get());
  for (const std::string& line : lines) {
    out.Add(line);
    out.Add("\r\n");
  }
  TError error = prepend ? CopyOldLog(path, out) : 0;
  if (const TError e = out.Flush(); error == 0) error = e;
  if (const TError e = fd.Close(); error == 0) error = e;
  if (error == 0 && ::rename(temp_path.c_str(), path.c_str()) != 0) error = errno;
  return error;
}

}  // namespace

TLogWriteResult WriteLogFile(const TLineList& list, const std::string& path,
                             const TLogSetting& setting, int32_t job_id) {
  return list.WithLines([&](const std::vector<std::string>& lines) {
    if (lines.empty()) return TLogWriteResult::kNoLines;
    const size_t slash = path.rfind(platform::kSep);
    const std::string temp_path = (slash == std::string::npos ? "" : path.substr(0, slash + 1)) +
                                  std::string(kLogTempPrefix) + std::to_string(job_id);
    if (WriteText(lines, path, PrependTo(path, setting), temp_path) == 0)
      return TLogWriteResult::kWritten;
    ::unlink(temp_path.c_str());
    return TLogWriteResult::kFailed;
  });
}

void WriteRunLogs(const TRunLogLists& lists, const TJobData& source, int32_t job_id,
                  const std::string& folder, TJobData& target) {
  const TLineList* kinds[kLogKindCount] = {&lists.FullLog, &lists.SummaryLog, &lists.ErrorLog};
  bool folder_checked = false;
  for (size_t k = 0; k < kLogKindCount; ++k) {
    const TLogKind kind = static_cast<TLogKind>(k);
    const TLogSetting setting = source.LogSetting(kind);
    if (!setting.bUse || kinds[k]->Count() == 0) continue;
    if (!folder_checked && !folder.empty()) ForceFolders(folder);
    folder_checked = true;
    const std::string path = LogFilePath(
        folder, LogFileName(source.JobName, kind, setting.bCreateNew, RunStamp(platform::Now())));
    if (WriteLogFile(*kinds[k], path, setting, job_id) != TLogWriteResult::kNoLines)
      target.AddLogFile(path, false);
  }
}

}  // namespace twn
