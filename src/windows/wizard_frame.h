#pragma once
// The job wizard's frame and its pairs basket: the caption, when the job may be saved, the
// basket's status line and command states, the folder check of its Refresh, and what Save
// does to the listed job and the filter histories.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings.h"
#include "model/job_data.h"
#include "run/job.h"

namespace twn {

/// A job without pairs is being created; one with pairs is being edited.
inline bool WizardCreatesJob(const TJobData& data) {
  return data.Pairs.empty();
}
/// "Job wizard: creating new job" or "Job wizard: edit the job 'name'".
std::string WizardCaption(const TJobData& data);
inline constexpr std::string_view kWizardSave = "&Save job";
inline constexpr std::string_view kWizardCancel = "&Cancel";
inline constexpr std::string_view kWizardHelp = "&Help";
inline constexpr std::string_view kWizardVisualRun = "Visual execution";
inline constexpr std::string_view kJobNameHeading = "Job name: ";

/// Save and Visual execution: there is a pair and something to do for it.
inline bool CanSaveJob(const TJobData& data) {
  return data.HasWork();
}

// --- The pairs basket -----------------------------------------------------------------------
/// The grid's heading of a column (a blank before the path columns).
std::string BasketHeaderText(int column);
/// "Basket contains n pairs" or "The basket is empty.".
std::string BasketStatusText(size_t count);

struct TBasketCommands {
  bool Edit = false, Delete = false, Switch = false, Refresh = false, RemoveInvalid = false,
       Clear = false;
};
/// Add and the pane fonts are always enabled; `selected` is a row or -1.
TBasketCommands BasketCommands(const std::vector<TPairItem>& pairs, int selected);

/// Re-tests whether both folders of every pair exist. `pump` runs between the tests so that
/// the window stays responsive on slow or absent drives; it must not change the pairs.
void RefreshPairValidity(std::vector<TPairItem>& pairs, const std::function<void()>& pump);
/// Valid := 1 when both folders exist, else 0.
void CheckPairValidity(TPairItem& pair);
/// Removes every pair not known to be valid; returns how many went.
size_t RemoveInvalidPairs(std::vector<TPairItem>& pairs);

// --- Saving ---------------------------------------------------------------------------------
/// Copies the edited definition into the listed job but keeps the job's log history, which
/// runs that ended while the wizard was open (its own Visual run among them) have added to.
/// The job is marked changed and finished, so that its next run is computed afresh, and its
/// include and exclude texts go to the top of their histories.
void SaveWizardJob(TJob& job, const TJobData& edited, TSettings& settings);

}  // namespace twn
