#pragma once
// The texts and enable rules of the log viewer: which controls are usable, the captions of its
// groups, the status-bar panels, the find messages and the search history.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fs.h"
#include "platform/time.h"

namespace twn {

/// No more than this much of a log is read and shown.
inline constexpr size_t kLogViewerReadCap = size_t{64} << 20;

inline constexpr std::string_view kLogViewerCaption = "Log Viewer";
inline constexpr std::string_view kNoStoredLogs = " *** there are no stored logs ***";
inline constexpr std::string_view kNoLines = " *** there are no lines ***";
inline constexpr std::string_view kSearchResultTitle = "Search result";
inline constexpr std::string_view kSearchAgainTitle = "Confirm start search";
inline constexpr std::string_view kRemoveFailedTitle = "Remove logfile";

/// "Full", "Summary", "Error" by the name a log of that kind is given, or empty.
std::string_view LogKindOf(std::string_view path);
/// "Job list has <n> jobs".
std::string JobListCaption(size_t job_count);
/// A job's or a log's line in its list: the text after one blank.
std::string ListItem(std::string_view text);

/// What the window knows about the job and the log it shows.
struct TLogViewerInput {
  bool job_selected = false;
  std::string job_name;
  size_t log_count = 0;
  bool log_selected = false;
  std::string path;
  /// The shown log could be read (true before any log is shown).
  bool read_ok = true;
  /// Of the shown log: its bytes, the number of line breaks in them, its last-write time.
  int64_t byte_count = 0;
  int64_t line_breaks = 0;
  bool time_known = false;
  platform::TDateTime modified = 0;
};

/// What the window shows for that input.
struct TLogViewerView {
  bool job_info_enabled = false;
  bool log_list_enabled = false;
  std::string log_list_caption;
  /// The log list holds just kNoStoredLogs.
  bool no_stored_logs = false;
  std::string text_caption;
  bool text_enabled = false;
  /// What the disabled text pane shows instead of a log.
  std::string placeholder;
  /// One empty panel, or five: caret, lines, bytes, modified, path.
  std::vector<std::string> panels;
  bool find_enabled = false;
  bool remove_enabled = false;
  bool remove_dead_enabled = false;
};

TLogViewerView ComputeLogViewer(const TLogViewerInput& in);

/// The error text shown in place of a log that could not be read.
std::string ReadErrorText(std::string_view path);
/// The line put above a log that was cut at the read cap.
std::string CutNotice(size_t cap);
/// Status-bar panel 0: "<line>: <column>", both from 1.
std::string CaretText(int64_t line, int64_t column);
/// What panel 0 is sized for: the line count twice.
std::string CaretWidthSample(int64_t line_count);

/// Puts the search text, trimmed, at the top of the history, which is then cleaned (duplicates
/// and entries past the limit dropped). A blank text leaves it as it is.
void AddSearchText(std::vector<std::string>& history, std::string_view text);
/// "The text '<s>' is not found."
std::string NotFoundText(std::string_view search);
/// "The text '<s>' was not found. Search from beginning again?"
std::string SearchAgainText(std::string_view search);
/// Why a log file could not be deleted.
std::string RemoveFailedText(std::string_view path, platform::TError error);

/// The index of `path` in a log history (entries compared trimmed), or -1.
int FindLogEntry(const std::vector<std::string>& history, std::string_view path);

}  // namespace twn
