#pragma once
// The texts of the quick-info window: its captions and the tree of plain sentences that says
// everything a job is set to do. The window and `twn-cli show` print the same sentences.
#include <string>
#include <vector>

#include "model/job_data.h"

namespace twn {

/// Image-list indices of the tree's icons.
inline constexpr int kInfoIconJobName = 7;
inline constexpr int kInfoIconFileFilters = 1;
inline constexpr int kInfoIconFolderFilters = 2;
inline constexpr int kInfoIconMethod = 3;
inline constexpr int kInfoIconRules = 4;
inline constexpr int kInfoIconScheduling = 5;
inline constexpr int kInfoIconLogs = 6;
inline constexpr int kInfoIconLevel1 = 15;
inline constexpr int kInfoIconLevel2 = 14;

/// One sentence of the properties tree with the sentences below it.
struct TInfoNode {
  std::string text;
  int icon = kInfoIconLevel2;
  std::vector<TInfoNode> children;
};

/// "Quick info for the Job '<name>'".
/// The quick-info lines of the two link and folder-time options.
std::string LinksSettingText(bool copy_links);
std::string FolderTimesSettingText(bool folder_times);

std::string QuickInfoCaption(const TJobData& data);
/// "Job contains <n> folder pairs".
std::string QuickInfoPairsCaption(const TJobData& data);

/// The properties tree, top-level nodes in order: job name, file filters, folder filters (only
/// when there are patterns), synchronize method, comparison rules, scheduling, log settings.
/// Dates and times are written in the locale's short date and long time formats.
std::vector<TInfoNode> BuildQuickInfo(const TJobData& data);

/// The tree as lines, each indented two spaces per level and ended by '\n'.
std::string RenderQuickInfo(const std::vector<TInfoNode>& nodes);

}  // namespace twn
