// The job wizard on a realistic job with three folder pairs, one of them no longer found: one
// shot per page.
#include <QtWidgets/QTableView>

#include "gui/host/qt_run_host.h"
#include "gui/tools/screenshot_kit.h"
#include "gui/wizard/job_wizard.h"
#include "gui/wizard/pairs_basket.h"
#include "model/method_presets.h"

namespace twn::shots {

namespace {

bool RenderPage(const QString& dir, int page, const char* name) {
  TFixture fixture;
  TSettings& settings = fixture.Settings();
  TJob job(NewJobID());
  job.Data.JobName = "Photos to backup";
  job.Data.Pairs = {
      ShotPair("/home/ann/Pictures/Camera", "/media/ann/Backup/Pictures/Camera", true, true),
      ShotPair("/home/ann/Documents/Letters and invoices from the last ten years",
               "/media/ann/Backup/Documents/Letters and invoices from the last ten years", true,
               true),
      ShotPair("/home/ann/Music", "/media/ann/Old stick/Music", false, false)};
  ApplyMethod(job.Data, kMethodMirrorL);
  job.Data.FileFilter.FLT_Include = "*.jpg; *.png; *.pdf";
  job.Data.FileFilter.FLT_bUseExclude = true;
  job.Data.FileFilter.FLT_Exclude = "*.tmp";
  job.Data.FolderFilter.AddPattern("Thumbnails");
  job.Data.FolderFilter.AddPattern(".cache");
  job.Data.Frequency = kFreqDaily;
  job.Data.StartTime = platform::EncodeDateTime(2026, 3, 2, 8, 30);
  job.Data.ExcludeDays = 32 | 64;
  std::vector<std::string> names;
  for (const auto& listed : settings.Jobs) names.push_back(listed->Data.JobName);
  gui::TQtRunHost host;
  gui::JobWizard wizard(job, names, settings, host, nullptr);
  wizard.SelectPage(page);
  if (page == 1) wizard.Basket()->Select(1);
  wizard.show();
  return Save(wizard, dir, name);
}

constexpr const char* kShotNames[] = {"wizard_job_settings",        "wizard_comparing_folders",
                                      "wizard_file_filters",        "wizard_folder_filters",
                                      "wizard_synchronize_methods", "wizard_comparison_rules",
                                      "wizard_scheduling",          "wizard_log_settings"};

bool RegisterPages() {
  bool ok = true;
  for (int page = 0; page < int(std::size(kShotNames)); ++page)
    ok &= RegisterShot(kShotNames[page], [page](const QString& dir) {
      return RenderPage(dir, page, kShotNames[page]);
    });
  return ok;
}

const bool registered = RegisterPages();

}  // namespace

}  // namespace twn::shots
