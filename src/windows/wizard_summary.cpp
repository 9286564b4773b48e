#include "windows/wizard_summary.h"

#include "platform/locale.h"

namespace twn {
namespace {

// Lists are built as "a, b, " and lose their last separator at the end.
std::string DropLast(std::string text, size_t count) {
  text.resize(text.size() >= count ? text.size() - count : 0);
  return text;
}

}  // namespace

std::string SummaryPairs(const TJobData& data) {
  const size_t n = data.Pairs.size();
  if (n == 0) return "The job doesn't contain a pair";
  return "Contains " + std::to_string(n) + (n == 1 ? " pair" : " pairs");
}

std::string SummaryFileFilters(const TJobData& data) {
  const TFileFilter& f = data.FileFilter;
  std::string text = f.FLT_Include;
  if (f.FLT_bUseExclude) text += " (" + f.FLT_Exclude + ")";
  if (f.FLT_bUseDate || f.FLT_bUseSize || f.FLT_bUseAttr) {
    std::string words;
    if (f.FLT_bUseDate) words += "Datetime, ";
    if (f.FLT_bUseSize) words += "Size, ";
    if (f.FLT_bUseAttr) words += "Attr, ";
    text += "   [" + DropLast(words, 2) + "]";
  }
  return text;
}

std::string SummaryFolderFilters(const TJobData& data) {
  std::string text;
  for (const std::string& pattern : data.FolderFilter.Patterns()) text += pattern + ", ";
  return text.empty() ? "none" : DropLast(text, 2);
}

std::string SummaryMethod(const TJobData& data) {
  const int32_t m = data.idxMethod;
  if (m >= kMethodMirrorL && m <= kMethodUpdate) return std::string(MethodText(m));
  std::string text = "Custom";
  if (data.Empty_RemoveL || data.Empty_RemoveR || data.Empty_CopyL || data.Empty_CopyR)
    text += "; empty folders operations";
  return text;
}

std::string SummaryRules(const TJobData& data) {
  std::string text;
  if (data.bRulesSize || data.bRulesTime || data.bRulesAttr) {
    std::string by;
    if (data.bRulesSize) by += "Size,";
    if (data.bRulesTime) by += "Time,";
    if (data.bRulesAttr) by += "Attr,";
    text = "Equal by [" + DropLast(by, 1) + "],";
  }
  if (data.bRulesNTFS) text += " Ignore 2 sec,";
  if (data.bRulesDaylight) text += " Ignore daylight,";
  if (data.bRulesTimezone) {
    const int32_t h = data.RulesTimezone;
    text += " Adjust " + std::to_string(h) + (h == 1 ? " hour," : " hours,");
  }
  text = DropLast(text, 1);
  return text.empty() ? "none" : text;
}

std::string SummaryScheduling(const TJobData& data) {
  std::string text;
  switch (data.Frequency) {
    case kFreqMinutes:
      text = "Run every " + std::to_string(data.freMinutes) + " minutes";
      break;
    case kFreqHours:
      text = "Run every " + std::to_string(data.freHours) + " hours";
      break;
    case kFreqDaily:
      text = "Run once a day at " + platform::FormatLongTime(data.StartTime);
      break;
    case kFreqDays:
      text = "Run every " + std::to_string(data.freDays) + " days";
      break;
    default:
      return " manual run";
  }
  if (data.ExcludeDays != 0) {
    static constexpr std::array<std::string_view, 7> kDays = {"Mon, ", "Tue, ", "Wed, ", "Thu, ",
                                                              "Fri, ", "Sat, ", "Sun, "};
    std::string days;
    for (size_t d = 0; d < kDays.size(); ++d)
      if (data.ExcludeDays & (1 << d)) days += kDays[d];
    text += " except  " + DropLast(days, 2);
  }
  return text;
}

std::string SummaryLogs(const TJobData& data) {
  std::string kinds;
  if (data.LogFull_bUse) kinds += "Full, ";
  if (data.LogSummary_bUse) kinds += "Summary, ";
  if (data.LogError_bUse) kinds += "Error, ";
  if (kinds.empty()) return "No log file would be stored";
  return "Storing log-files: " + DropLast(kinds, 2);
}

std::array<std::string, 7> SummaryTexts(const TJobData& data) {
  return {SummaryPairs(data),  SummaryFileFilters(data), SummaryFolderFilters(data),
          SummaryMethod(data), SummaryRules(data),       SummaryScheduling(data),
          SummaryLogs(data)};
}

}  // namespace twn
