#include "windows/quick_info.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

#include "engine/delete_guard.h"
#include "model/versions.h"
#include "platform/fs.h"
#include "platform/locale.h"
#include "run/log_files.h"

namespace twn {
namespace {

using platform::TDateTime;

TInfoNode Node(std::string text, int icon, std::vector<TInfoNode> children = {}) {
  return TInfoNode{std::move(text), icon, std::move(children)};
}

// A level-1 node holding level-2 lines.
TInfoNode Group(std::string text, std::vector<std::string> lines) {
  TInfoNode group = Node(std::move(text), kInfoIconLevel1);
  for (std::string& line : lines) group.children.push_back(Node(std::move(line), kInfoIconLevel2));
  return group;
}

std::string DateAndTime(TDateTime dt) {
  return platform::FormatShortDate(dt) + " " + platform::FormatLongTime(dt);
}

std::string DateLine(const TFileFilter& f) {
  const std::string a = DateAndTime(f.FLT_DateTimeA);
  const std::string b = DateAndTime(f.FLT_DateTimeB);
  switch (f.FLT_DatePos) {
    case fdNewerThanA:
      return "File date/time is equal or newer than " + a;
    case fdBetween:
      return "File date/time is between " + a + " and " + b;
    case fdBeyond:
      return "File date/time is beyond " + a + " and " + b;
    default:
      return "File date/time is equal or older than " + a;
  }
}

std::string SizeText(int64_t size, int32_t degree) {
  const std::string_view unit = degree == sdMegabytes   ? "Mb"
                                : degree == sdKilobytes ? "Kb"
                                                        : "bytes";
  return std::to_string(size) + " " + std::string(unit);
}

std::string SizeLine(const TFileFilter& f) {
  std::string a = SizeText(f.FLT_SizeA, f.FLT_SizeDegreeA);
  std::string b = SizeText(f.FLT_SizeB, f.FLT_SizeDegreeB);
  // Between and beyond name the smaller bound first, as the run will use them.
  TFilterExtProcessor prepared;
  prepared.Load(f);
  if (prepared.SizesSwapped()) std::swap(a, b);
  switch (f.FLT_SizePos) {
    case fsLessThanA:
      return "File size is equal or less than " + a;
    case fsBetween:
      return "File size is between " + a + " and " + b;
    case fsBeyond:
      return "File size is beyond " + a + " and " + b;
    default:
      return "File size is equal or more than " + a;
  }
}

std::string AttributeList(uint32_t mask) {
  static constexpr std::array<std::pair<uint32_t, std::string_view>, 4> kNames = {{
      {platform::kAttrArchive, "Archive"},
      {platform::kAttrReadOnly, "Read only"},
      {platform::kAttrHidden, "Hidden"},
      {platform::kAttrSystem, "System"},
  }};
  std::string list;
  for (const auto& [bit, name] : kNames) {
    if (!(mask & bit)) continue;
    if (!list.empty()) list += ", ";
    list += name;
  }
  return list;
}

TInfoNode FileFilters(const TFileFilter& f) {
  TInfoNode node = Node("File filters", kInfoIconFileFilters);
  std::vector<std::string> spec = {"Include: " + f.FLT_Include};
  if (f.FLT_bUseExclude) spec.push_back("Exclude: " + f.FLT_Exclude);
  node.children.push_back(Group("File spec", std::move(spec)));
  if (f.FLT_bUseDate) node.children.push_back(Group("Date filter", {DateLine(f)}));
  if (f.FLT_bUseSize) node.children.push_back(Group("Size filter", {SizeLine(f)}));
  if (f.FLT_bUseAttr) {
    std::vector<std::string> lines;
    if (f.FLT_Attr_IncMask)
      lines.push_back("File must have following attributes: " + AttributeList(f.FLT_Attr_IncMask));
    if (f.FLT_Attr_ExcMask)
      lines.push_back("File should not have following attributes: " +
                      AttributeList(f.FLT_Attr_ExcMask));
    node.children.push_back(Group("Attributes filter", std::move(lines)));
  }
  return node;
}

// Five patterns to a line; every line but the last ends with ",".
std::vector<std::string> PatternLines(const std::vector<TStrItem>& patterns) {
  constexpr size_t kPerLine = 5;
  std::vector<std::string> lines;
  for (size_t i = 0; i < patterns.size(); ++i) {
    if (i % kPerLine == 0)
      lines.emplace_back();
    else
      lines.back() += " ";
    lines.back() += patterns[i];
    if (i + 1 < patterns.size()) lines.back() += ",";
  }
  return lines;
}

TInfoNode Method(const TJobData& d) {
  std::vector<std::string> lines;
  const auto actions = d.Actions();
  for (size_t field = 0; field < kActionFieldCount; ++field) {
    if (actions[field] == 0) continue;
    const std::string_view text = ActionText(static_cast<TActionField>(field), actions[field]);
    if (!text.empty()) lines.emplace_back(text);  // a value the field does not have does nothing
  }
  const auto flags = d.EmptyFlags();
  for (size_t i = 0; i < kEmptyFlagCount; ++i)
    if (flags[i]) lines.emplace_back(kEmptyFolderTexts[i]);
  return Node("Synchronize method", kInfoIconMethod,
              {Group(std::string(MethodText(d.idxMethod)), lines)});
}

TInfoNode Rules(const TJobData& d) {
  std::string equal = "Duplicate files are equal if they have an equal: Filename";
  if (d.bRulesSize) equal += ", Size";
  if (d.bRulesTime) equal += ", Datetime";
  if (d.bRulesAttr) equal += ", Attributes";
  TInfoNode node = Node("Comparison rules", kInfoIconRules, {Node(equal, kInfoIconLevel2)});
  if (d.bRulesNTFS)
    node.children.push_back(Node("Ignore NTFS/FAT differences (up to 2 seconds)", kInfoIconLevel2));
  if (d.bRulesDaylight)
    node.children.push_back(Node(
        "Ignore daylight saving (in most time zones the difference is 1 hour)", kInfoIconLevel2));
  if (d.bRulesTimezone)
    node.children.push_back(
        Node("Ignore filetime differences: " + std::to_string(d.RulesTimezone) + " hours",
             kInfoIconLevel2));
  return node;
}

std::string FrequencyLine(const TJobData& d) {
  const std::string at = platform::FormatLongTime(d.StartTime);
  switch (d.Frequency) {
    case kFreqMinutes:
      return "Job runs every " + std::to_string(d.freMinutes) + " minutes";
    case kFreqHours:
      return "Job runs every " + std::to_string(d.freHours) + " hours";
    case kFreqDaily:
      return "Job runs once a day at " + at;
    case kFreqDays:
      return "Job runs every " + std::to_string(d.freDays) + " days at " + at;
    default:
      return "Manual run";
  }
}

std::string ExcludedDaysLine(int32_t days) {
  static constexpr std::array<std::string_view, 7> kDays = {"Mon", "Tue", "Wed", "Thu",
                                                            "Fri", "Sat", "Sun"};
  std::string line = "except these days: ";
  for (size_t i = 0; i < kDays.size(); ++i)
    if (days & (1 << i)) line += std::string(kDays[i]) + ", ";
  if (line.ends_with(", ")) line.resize(line.size() - 2);
  return line;
}

TInfoNode Scheduling(const TJobData& d) {
  std::vector<std::string> lines;
  if (d.Frequency != kFreqManual) {
    if (d.ExcludeDays & kAllDays) lines.push_back(ExcludedDaysLine(d.ExcludeDays));
    if (d.bRunBefore)
      lines.push_back("Job does not run before " + platform::FormatShortDate(d.RunBefore));
  }
  TInfoNode node =
      Node("Scheduling", kInfoIconScheduling, {Group(FrequencyLine(d), std::move(lines))});
  if (d.bRunOnChange)
    node.children.push_back(
        Node("Job runs when files change (2 seconds after the last change)", kInfoIconLevel1));
  return node;
}

TInfoNode LogSettings(const TJobData& d) {
  static constexpr std::array<std::string_view, kLogKindCount> kTitles = {"Full log", "Summary log",
                                                                          "Error log"};
  TInfoNode node = Node("Log settings", kInfoIconLogs);
  for (size_t kind = 0; kind < kLogKindCount; ++kind) {
    const TLogSetting log = d.LogSetting(static_cast<TLogKind>(kind));
    if (!log.bUse) continue;
    const std::string file =
        "'" + LogFileName(d.JobName, static_cast<TLogKind>(kind), false, {}) + "'";
    std::string line;
    if (log.bCreateNew)
      line = "Stored into new file for each job executing";
    else if (log.bOverwrite)
      line = "Overwrites existing file: " + file;
    else
      line = "Appends to the file: " + file + " until filesize reaches " +
             std::to_string(log.MaxSize) + " Kb";
    node.children.push_back(Group(std::string(kTitles[kind]), {line}));
  }
  if (node.children.empty())
    node.children.push_back(Node("No log files are stored", kInfoIconLevel2));
  return node;
}

void RenderInto(const std::vector<TInfoNode>& nodes, size_t level, std::string& out) {
  for (const TInfoNode& node : nodes) {
    out.append(level * 2, ' ');
    out += node.text;
    out += '\n';
    RenderInto(node.children, level + 1, out);
  }
}

}  // namespace

std::string LinksSettingText(bool copy_links) {
  return copy_links ? "Symbolic links are copied as links, never followed"
                    : "Symbolic links are passed over";
}

std::string FolderTimesSettingText(bool folder_times) {
  return folder_times
             ? "Folders the run changes take their partners' times, new ones their permissions"
             : "Folders keep the times the run leaves them";
}

std::string QuickInfoCaption(const TJobData& data) {
  return "Quick info for the Job '" + data.JobName + "'";
}

std::string QuickInfoPairsCaption(const TJobData& data) {
  return "Job contains " + std::to_string(data.Pairs.size()) + " folder pairs";
}

std::vector<TInfoNode> BuildQuickInfo(const TJobData& data) {
  std::vector<TInfoNode> tree;
  tree.push_back(
      Node("Job name", kInfoIconJobName, {Node("'" + data.JobName + "'", kInfoIconLevel2)}));
  tree.push_back(FileFilters(data.FileFilter));
  if (data.FolderFilter.Count() > 0)
    tree.push_back(Node("Folder filters", kInfoIconFolderFilters,
                        {Group("Excluded folders", PatternLines(data.FolderFilter.Patterns()))}));
  tree.push_back(Method(data));
  tree.push_back(Node("Deletion guard", kInfoIconMethod,
                      {Node(GuardSettingText(data.MaxDeletePercent), kInfoIconLevel2)}));
  tree.push_back(Node("Versions", kInfoIconMethod,
                      {Node(data.bKeepVersions ? VersionsSettingText(data)
                                               : "Deleted and overwritten files are not kept",
                            kInfoIconLevel2)}));
  tree.push_back(Rules(data));
  tree.push_back(Node("Links and folder times", kInfoIconRules,
                      {Node(LinksSettingText(data.bCopyLinks), kInfoIconLevel2),
                       Node(FolderTimesSettingText(data.bFolderTimes), kInfoIconLevel2)}));
  tree.push_back(Scheduling(data));
  tree.push_back(LogSettings(data));
  return tree;
}

std::string RenderQuickInfo(const std::vector<TInfoNode>& nodes) {
  std::string out;
  RenderInto(nodes, 0, out);
  return out;
}

}  // namespace twn
