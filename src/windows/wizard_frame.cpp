#include "windows/wizard_frame.h"

#include <algorithm>

#include "platform/fs.h"
#include "windows/quick_info_pairs.h"
#include "windows/wizard_rules.h"

namespace twn {

std::string WizardCaption(const TJobData& data) {
  if (WizardCreatesJob(data)) return "Job wizard: creating new job";
  return "Job wizard: edit the job '" + data.JobName + "'";
}

std::string BasketHeaderText(int column) {
  const std::string text = PairHeaderText(column);
  return column == pcSubfolders ? text : " " + text;
}

std::string BasketStatusText(size_t count) {
  if (count == 0) return std::string(kBasketEmptyText);
  return "Basket contains " + std::to_string(count) + " pairs";
}

TBasketCommands BasketCommands(const std::vector<TPairItem>& pairs, int selected) {
  TBasketCommands c;
  c.Edit = c.Delete = c.Switch = selected >= 0 && size_t(selected) < pairs.size();
  c.Refresh = c.Clear = !pairs.empty();
  c.RemoveInvalid =
      std::any_of(pairs.begin(), pairs.end(), [](const TPairItem& p) { return p.Valid != 1; });
  return c;
}

void CheckPairValidity(TPairItem& pair) {
  pair.Valid = platform::DirectoryExists(pair.L_Path) && platform::DirectoryExists(pair.R_Path);
}

void RefreshPairValidity(std::vector<TPairItem>& pairs, const std::function<void()>& pump) {
  for (TPairItem& pair : pairs) {
    pair.Valid = 0;
    if (!platform::DirectoryExists(pair.L_Path)) continue;
    if (pump) pump();
    pair.Valid = platform::DirectoryExists(pair.R_Path);
  }
}

size_t RemoveInvalidPairs(std::vector<TPairItem>& pairs) {
  return std::erase_if(pairs, [](const TPairItem& p) { return p.Valid != 1; });
}

void SaveWizardJob(TJob& job, const TJobData& edited, TSettings& settings) {
  std::vector<std::string> logs = std::move(job.Data.LogHistory);
  job.Data.Assign(edited);
  job.Data.LogHistory = std::move(logs);
  job.bChanged = true;
  job.bFinished = true;
  job.UpdateState();
  const auto limit = size_t(std::max(settings.MaxHistoryItems, 0));
  PushHistory(settings.FileFilterIncHistory, edited.FileFilter.FLT_Include, limit);
  PushHistory(settings.FileFilterExcHistory, edited.FileFilter.FLT_Exclude, limit);
}

}  // namespace twn
