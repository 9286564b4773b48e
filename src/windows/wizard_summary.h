#pragma once
// The value texts of the job wizard's "Job settings" page: one short line per page of the
// wizard, in page order, saying what the job is set to do.
#include <array>
#include <string>
#include <string_view>

#include "model/job_data.h"

namespace twn {

/// The page list of the wizard, in order, and the help context each page gives the window.
inline constexpr std::array<std::string_view, 8> kWizardPageNames = {
    "Job settings",        "Comparing folders", "File filters", "Folder filters",
    "Synchronize methods", "Comparison rules",  "Scheduling",   "Log settings"};
inline constexpr int kWizardPageJob = 0;
inline constexpr int kWizardPageMethods = 4;
inline constexpr int kWizardPageScheduling = 6;
/// Pages 0-7 have help contexts 1-8.
inline constexpr int WizardPageHelpContext(int page) {
  return page + 1;
}

/// The caption links of the summary, for pages 1-7 in order.
inline constexpr std::array<std::string_view, 7> kSummaryCaptions = {
    "Comparing folders:", "File filters:", "Folder filters:", "Synchronize method:",
    "Comparison rules:",  "Scheduling:",   "Log settings:"};

std::string SummaryPairs(const TJobData& data);
std::string SummaryFileFilters(const TJobData& data);
std::string SummaryFolderFilters(const TJobData& data);
std::string SummaryMethod(const TJobData& data);
std::string SummaryRules(const TJobData& data);
/// The time of day of a daily run is written in the locale's long time format.
std::string SummaryScheduling(const TJobData& data);
std::string SummaryLogs(const TJobData& data);

/// The seven value texts in caption order.
std::array<std::string, 7> SummaryTexts(const TJobData& data);

}  // namespace twn
