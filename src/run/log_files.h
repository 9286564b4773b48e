#pragma once
// The log files a finished run leaves: the full, summary and error lines of the job's report,
// each kind in a file of its own, newest run first.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/job_data.h"
#include "platform/time.h"
#include "run/line_list.h"

namespace twn {

/// "March 6, 2004 at 04-44": the locale's month name, day, year, hour and minute, with every
/// character that a file name may not hold replaced by '-'.
std::string RunStamp(platform::TDateTime when);
/// "<job>_full.log", or "<job>_full (<stamp>).log" for a new file per run; a '/' or NUL in the
/// job's name becomes '-'.
std::string LogFileName(std::string_view job_name, TLogKind kind, bool new_per_run,
                        std::string_view stamp);
/// The folder, a separator unless it ends with one, and the file name.
std::string LogFilePath(std::string_view folder, std::string_view file_name);
/// "~$tempfile<job id>.<six random characters>": where the new text is assembled before it
/// replaces a log. The name is created afresh each time and never opened if it exists.
inline constexpr std::string_view kLogTempPrefix = "~$tempfile";

enum class TLogWriteResult {
  kNoLines,  // the list is empty: nothing touched, nothing to record
  kWritten,
  kFailed,  // the old file, if any, is unchanged
};

/// Writes one kind's lines to `path` while holding the list's lock. A new file per run and an
/// overwritten file get just these lines; otherwise they go on top of the old runs unless the
/// old file is larger than the size limit (KiB), when it starts afresh. The text is assembled in
/// a temporary file beside the log and renamed over it, so there is never a moment without the
/// old log and a failure leaves it as it was. Only a regular file is taken for the old log:
/// anything else at the path (a FIFO, a device, a folder) fails with EINVAL or EISDIR, and a
/// symbolic link is replaced by the new log without its target being read or written. On
/// kFailed, `error` (when given) receives the reason.
TLogWriteResult WriteLogFile(const TLineList& lines, const std::string& path,
                             const TLogSetting& setting, int32_t job_id,
                             platform::TError* error = nullptr);

/// The full, summary and error lists of a finished run.
struct TRunLogLists {
  const TLineList& FullLog;
  const TLineList& SummaryLog;
  const TLineList& ErrorLog;
};

/// Writes every kind that `source` uses into `folder` (created when missing) and records each
/// path written in `target`'s log history, newest first. Returns the files that could not be
/// written; they are not recorded, as there is nothing to show for them.
std::vector<TLogFailure> WriteRunLogs(const TRunLogLists& lists, const TJobData& source,
                                      int32_t job_id, const std::string& folder, TJobData& target);

}  // namespace twn
