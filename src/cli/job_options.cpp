#include "cli/job_options.h"

#include <array>
#include <charconv>
#include <filesystem>
#include <utility>

#include "app/settings.h"
#include "model/method_presets.h"
#include "model/versions.h"
#include "platform/locale.h"

namespace twn::cli {
namespace {

using Error = std::optional<std::string>;

constexpr std::array<std::string_view, 7> kDayNames = {
    "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY", "SUNDAY"};

std::string Quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

std::optional<int64_t> ParseWhole(std::string_view text) {
  int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Two digits or one for the hour, two for the minute: "7:05", "23:59".
std::optional<platform::TDateTime> ParseTimeOfDay(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() != colon + 3)
    return std::nullopt;
  const auto hour = ParseWhole(text.substr(0, colon));
  const auto minute = ParseWhole(text.substr(colon + 1));
  if (!hour || !minute || *hour < 0 || *hour > 23 || *minute < 0 || *minute > 59)
    return std::nullopt;
  return (double(*hour) * 60 + double(*minute)) / 1440.0;
}

std::optional<platform::TDateTime> ParseDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  const int year = int(*ParseWhole(text.substr(0, 4)));
  const int month = int(*ParseWhole(text.substr(5, 2)));
  const int day = int(*ParseWhole(text.substr(8, 2)));
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (year < 1900 || month < 1 || month > 12 || day < 1 ||
      day > kDays[month - 1] + (month == 2 && leap))
    return std::nullopt;
  return platform::EncodeDateTime(year, month, day);
}

// "Mon,sat" or "monday,Saturday": the ExcludeDays bits.
Error ParseDays(std::string_view list, int32_t& bits) {
  while (!list.empty()) {
    const size_t comma = list.find(',');
    const std::string_view given = platform::TrimBlanks(list.substr(0, comma));
    const std::string day = platform::UpperCase(given);
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    if (day.empty()) continue;
    size_t i = 0;
    while (i < kDayNames.size() && !(day.size() >= 3 && kDayNames[i].starts_with(day))) ++i;
    if (i == kDayNames.size())
      return "unknown day " + Quoted(given) + " in --skip-days (use Mon,Tue,Wed,Thu,Fri,Sat,Sun)";
    bits |= 1 << i;
  }
  return std::nullopt;
}

Error ParseInterval(std::string_view option, std::string_view value, int32_t low, int32_t high,
                    int32_t& out) {
  const auto n = ParseWhole(value);
  if (!n || *n < low || *n > high)
    return std::string(option) + " must be a whole number from " + std::to_string(low) + " to " +
           std::to_string(high) + ", not " + Quoted(value);
  out = int32_t(*n);
  return std::nullopt;
}

Error AbsolutePath(std::string_view option, std::string_view value, std::vector<std::string>& to) {
  if (value.empty()) return std::string(option) + " needs a folder";
  // Checked as typed: a blank at either end is far more likely a slip than a folder's name.
  if (std::string problem = FolderPathProblem(value); !problem.empty())
    return std::string(option) + ": " + problem;
  std::error_code ec;
  const std::filesystem::path path = std::filesystem::absolute(std::string(value), ec);
  to.push_back(ec ? std::string(value) : path.string());
  return std::nullopt;
}

Error FolderPattern(std::string_view value, std::vector<std::string>& to) {
  const std::string_view pattern = platform::TrimBlanks(value);
  if (pattern.empty()) return "--exclude-folder needs a folder name pattern";
  if (HasLineBreak(value)) return "the --exclude-folder pattern holds a line break";
  if (pattern.find_first_of("/\\:") != std::string_view::npos)
    return "the --exclude-folder pattern " + Quoted(pattern) +
           " is a folder name and cannot hold / \\ or :";
  to.emplace_back(pattern);
  return std::nullopt;
}

Error Specs(std::string_view option, std::string_view value, std::optional<std::string>& to) {
  if (HasLineBreak(value)) return "the value of " + std::string(option) + " holds a line break";
  to = std::string(value);
  return std::nullopt;
}

Error Schedule(std::string_view option, std::string_view value, TAddRequest& out) {
  if (out.frequency != kFreqManual)
    return "give only one of --every-minutes, --every-hours, --daily and --every-days";
  if (option == "--every-minutes") {
    out.frequency = kFreqMinutes;
    return ParseInterval(option, value, kMinMinutes, kMaxMinutes, out.interval);
  }
  if (option == "--every-hours") {
    out.frequency = kFreqHours;
    return ParseInterval(option, value, kMinHours, kMaxHours, out.interval);
  }
  if (option == "--every-days") {
    out.frequency = kFreqDays;
    return ParseInterval(option, value, kMinDays, kMaxDays, out.interval);
  }
  out.frequency = kFreqDaily;
  out.at = ParseTimeOfDay(value);
  if (!out.at) return "--daily needs a time HH:MM, not " + Quoted(value);
  return std::nullopt;
}

Error VersionsFolder(std::string_view value, TAddRequest& out) {
  std::vector<std::string> folder;
  if (Error error = AbsolutePath("--versions-folder", value, folder)) return error;
  out.keep_versions = true;
  out.versions_folder = folder.front();
  return std::nullopt;
}

Error Option(std::string_view option, std::string_view value, TAddRequest& out) {
  if (option == "--left") return AbsolutePath(option, value, out.lefts);
  if (option == "--right") return AbsolutePath(option, value, out.rights);
  if (option == "--include") return Specs(option, value, out.include);
  if (option == "--exclude") return Specs(option, value, out.exclude);
  if (option == "--exclude-folder") return FolderPattern(value, out.folder_patterns);
  if (option == "--skip-days") return ParseDays(value, out.exclude_days);
  if (option == "--method") {
    if (const auto method = MethodByShortName(value)) return out.method = *method, std::nullopt;
    return "unknown method " + Quoted(value) + " (use " + std::string(kMethodShortNameList) + ")";
  }
  if (option == "--max-delete-percent")
    return ParseInterval(option, value, 0, 100, out.max_delete_percent);
  if (option == "--versions-folder") return VersionsFolder(value, out);
  if (option == "--keep-versions")
    return ParseInterval(option, value, 1, kMaxKeepVersions, out.keep_count.emplace());
  if (option == "--keep-days")
    return ParseInterval(option, value, 0, kMaxKeepDays, out.keep_days.emplace());
  if (option == "--at") {
    out.at = ParseTimeOfDay(value);
    return out.at ? Error() : "--at needs a time HH:MM, not " + Quoted(value);
  }
  if (option == "--not-before") {
    out.not_before = ParseDate(value);
    return out.not_before ? Error() : "--not-before needs a date YYYY-MM-DD, not " + Quoted(value);
  }
  return Schedule(option, value, out);
}

bool TakesValue(std::string_view option) {
  static constexpr std::string_view kOptions[] = {"--left",
                                                  "--right",
                                                  "--method",
                                                  "--include",
                                                  "--exclude",
                                                  "--exclude-folder",
                                                  "--every-minutes",
                                                  "--every-hours",
                                                  "--daily",
                                                  "--every-days",
                                                  "--at",
                                                  "--skip-days",
                                                  "--not-before",
                                                  "--max-delete-percent",
                                                  "--versions-folder",
                                                  "--keep-versions",
                                                  "--keep-days"};
  for (std::string_view o : kOptions)
    if (o == option) return true;
  return false;
}

Error CheckRequest(const TAddRequest& out, bool at_given) {
  if (!out.name) return "add needs a job name";
  if (platform::TrimBlanks(*out.name).empty()) return "a job name cannot be empty";
  if (std::string problem = JobNameProblem(*out.name, {}); !problem.empty()) return problem;
  if (out.lefts.empty()) return "missing --left";
  if (out.rights.empty()) return "missing --right";
  if (out.lefts.size() != out.rights.size())
    return "each --left needs its --right (" + std::to_string(out.lefts.size()) + " --left, " +
           std::to_string(out.rights.size()) + " --right)";
  if (out.frequency == kFreqDays && !at_given) return "--every-days needs --at HH:MM";
  if (at_given && out.frequency != kFreqDays) return "--at goes with --every-days";
  if (out.frequency != kFreqManual && out.exclude_days == kAllDays)
    return "You can't exclude all days of week";
  if ((out.keep_count || out.keep_days) && !out.keep_versions)
    return "--keep-versions and --keep-days go with --versions or --versions-folder";
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ParseAddArgs(Args args, TAddRequest& out) {
  bool at_given = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view word = args[i];
    if (!word.starts_with("--")) {
      if (out.name) return "unexpected argument " + Quoted(word) + " (quote a name with blanks)";
      out.name = std::string(word);
    } else if (word == "--no-subfolders") {
      out.subfolders = false;
    } else if (word == "--watch") {
      out.watch = true;
    } else if (word == "--versions") {
      out.keep_versions = true;
    } else if (word == "--links" || word == "--no-links") {
      out.links = word == "--links";
    } else if (word == "--folder-times" || word == "--no-folder-times") {
      out.folder_times = word == "--folder-times";
    } else if (!TakesValue(word)) {
      return "unknown option " + Quoted(word);
    } else if (i + 1 >= args.size()) {
      return std::string(word) + " needs a value";
    } else {
      at_given |= word == "--at";
      if (Error error = Option(word, args[++i], out)) return error;
    }
  }
  return CheckRequest(out, at_given);
}

void ApplyAddRequest(const TAddRequest& request, TJobData& data, platform::TDateTime now) {
  data.JobName = std::string(platform::TrimBlanks(request.name.value_or("")));
  for (size_t i = 0; i < request.lefts.size() && i < request.rights.size(); ++i) {
    TPairItem& pair = data.Pairs.emplace_back();
    pair.L_Path = request.lefts[i];
    pair.R_Path = request.rights[i];
    pair.bSubFLD = request.subfolders;
  }
  data.RefreshPairKeys();
  ApplyMethod(data, request.method);
  if (request.include) data.FileFilter.FLT_Include = *request.include;
  if (request.exclude) {
    data.FileFilter.FLT_Exclude = *request.exclude;
    data.FileFilter.FLT_bUseExclude = true;
  }
  for (const std::string& pattern : request.folder_patterns) data.FolderFilter.AddPattern(pattern);
  data.FolderFilter.Normalize();
  data.Frequency = request.frequency;
  if (request.frequency == kFreqMinutes) data.freMinutes = request.interval;
  if (request.frequency == kFreqHours) data.freHours = request.interval;
  if (request.frequency == kFreqDays) data.freDays = request.interval;
  if (request.at) data.StartTime = platform::DatePart(now) + *request.at;
  data.ExcludeDays = request.exclude_days;
  data.MaxDeletePercent = request.max_delete_percent;
  data.bRunOnChange = request.watch;
  data.bKeepVersions = request.keep_versions;
  data.VersionsFolder = request.versions_folder;
  data.KeepVersions = request.keep_count.value_or(kDefaultKeepVersions);
  data.KeepDays = request.keep_days.value_or(kDefaultKeepDays);
  data.bCopyLinks = request.links;
  data.bFolderTimes = request.folder_times;
  if (request.not_before) {
    data.bRunBefore = true;
    data.RunBefore = *request.not_before;
  }
}

}  // namespace twn::cli
