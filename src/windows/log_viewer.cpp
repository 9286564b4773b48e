#include "windows/log_viewer.h"

#include <array>
#include <utility>

#include "app/settings.h"
#include "model/job_data.h"
#include "platform/locale.h"
#include "run/report.h"

namespace twn {

using platform::TrimBlanks;

std::string_view LogKindOf(std::string_view path) {
  // The names a log is written under: "<job>_full.log" or "<job>_full (<stamp>).log".
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kinds = {{
      {"_full", "Full"},
      {"_summary", "Summary"},
      {"_error", "Error"},
  }};
  for (const auto& [tag, kind] : kinds) {
    const std::string plain = std::string(tag) + ".log";
    const std::string stamped = std::string(tag) + " (";
    if (path.find(plain) != path.npos || path.find(stamped) != path.npos) return kind;
  }
  return {};
}

std::string JobListCaption(size_t job_count) {
  return "Job list has " + std::to_string(job_count) + " jobs";
}

std::string ListItem(std::string_view text) {
  return " " + std::string(text);
}

namespace {

void ComputeLogList(const TLogViewerInput& in, TLogViewerView& v) {
  const bool has_logs = in.job_selected && in.log_count > 0;
  v.log_list_enabled = has_logs;
  v.remove_dead_enabled = has_logs;
  if (!in.job_selected)
    v.log_list_caption = "Job is not selected";
  else if (has_logs)
    v.log_list_caption = "The job contains " + std::to_string(in.log_count) + " log files";
  else
    v.log_list_caption = "The job doesn't have log files";
  v.no_stored_logs = in.job_selected && !has_logs;
}

std::vector<std::string> Panels(const TLogViewerInput& in) {
  return {
      CaretText(1, 1),
      GroupedNumber(in.line_breaks + 1) + " lines",
      GroupedNumber(in.byte_count) + " bytes",
      "modified " + (in.time_known ? platform::FormatShortDate(in.modified) + " " +
                                         platform::FormatLongTime(in.modified)
                                   : std::string("unknown")),
      in.path,
  };
}

}  // namespace

TLogViewerView ComputeLogViewer(const TLogViewerInput& in) {
  TLogViewerView v;
  v.job_info_enabled = in.job_selected;
  ComputeLogList(in, v);
  const bool shown = in.job_selected && in.log_selected;
  if (in.job_selected) v.text_caption = "There is no selected log";
  if (shown)
    v.text_caption =
        std::string(LogKindOf(in.path)) + " log file for the job '" + in.job_name + "'";
  v.text_enabled = shown && in.read_ok;
  if (v.text_enabled)
    v.panels = Panels(in);
  else
    v.panels = {""};
  if (!v.text_enabled)
    v.placeholder =
        (v.log_list_enabled && !in.read_ok) ? ReadErrorText(in.path) : std::string(kNoLines);
  v.find_enabled = v.text_enabled;
  v.remove_enabled = shown;
  return v;
}

std::string ReadErrorText(std::string_view path) {
  return " *** error reading file '" + std::string(path) + "' ***";
}

std::string CutNotice(size_t cap) {
  return " *** only the first " + GroupedNumber(static_cast<int64_t>(cap)) +
         " bytes of this file are shown ***";
}

std::string CaretText(int64_t line, int64_t column) {
  return std::to_string(line) + ": " + std::to_string(column);
}

std::string CaretWidthSample(int64_t line_count) {
  return CaretText(line_count, line_count);
}

void AddSearchText(std::vector<std::string>& history, std::string_view text) {
  const std::string_view trimmed = TrimBlanks(text);
  if (trimmed.empty()) return;
  history.insert(history.begin(), std::string(trimmed));
  CleanHistory(history, kSearchHistorySeparator, kSearchHistoryLimit);
}

std::string NotFoundText(std::string_view search) {
  return "The text '" + std::string(search) + "' is not found.";
}

std::string SearchAgainText(std::string_view search) {
  return "The text '" + std::string(search) + "' was not found. Search from beginning again?";
}

std::string RemoveFailedText(std::string_view path, platform::TError error) {
  return "The log file '" + std::string(path) +
         "' could not be deleted: " + platform::ErrorText(error);
}

int FindLogEntry(const std::vector<std::string>& history, std::string_view path) {
  const std::string_view wanted = TrimBlanks(path);
  for (size_t i = 0; i < history.size(); ++i)
    if (TrimBlanks(history[i]) == wanted) return static_cast<int>(i);
  return -1;
}

}  // namespace twn
