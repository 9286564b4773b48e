#pragma once
// The log files a finished run leaves: the full, summary and error lines of the job's report,
// each kind in a file of its own, newest run first.
#include <cstdint>
#include <string>
#include <string_view>

#include "model/job_data.h"
#include "platform/time.h"
#include "run/line_list.h"

namespace twn {

/// "March 6, 2004 at 04-44": the locale's month name, day, year, hour and minute, with every
/// character that a file name may not hold replaced by '-'.
std::string RunStamp(platform::TDateTime when);
/// "<job>_full.log", or "<job>_full (<stamp>).log" for a new file per run.
std::string LogFileName(std::string_view job_name, TLogKind kind, bool new_per_run,
                        std::string_view stamp);
/// The folder, a separator unless it ends with one, and the file name.
std::string LogFilePath(std::string_view folder, std::string_view file_name);
/// "~$tempfile<job id>": where the new text is assembled before it replaces a log.
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
/// old log and a failure leaves it as it was.
TLogWriteResult WriteLogFile(const TLineList& lines, const std::string& path,
                             const TLogSetting& setting, int32_t job_id);

/// The full, summary and error lists of a finished run.
struct TRunLogLists {
  const TLineList& FullLog;
  const TLineList& SummaryLog;
  const TLineList& ErrorLog;
};

/// Writes every kind that `source` uses into `folder` (created when missing) and records each
/// path written or attempted in `target`'s log history, newest first.
void WriteRunLogs(const TRunLogLists& lists, const TJobData& source, int32_t job_id,
                  const std::string& folder, TJobData& target);

}  // namespace twn
