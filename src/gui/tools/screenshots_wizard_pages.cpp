// The job wizard's pages after the pairs basket, each alone at the size the wizard gives it,
// filled from a realistic job.
#include <QtWidgets/QListWidget>
#include <QtWidgets/QVBoxLayout>

#include "gui/tools/screenshot_kit.h"
#include "gui/wizard/wizard_page.h"
#include "model/method_presets.h"

namespace twn::shots {

namespace {

using TMaker = gui::WizardPage* (*)(gui::TWizardContext&, QWidget*);

TJobData ShotJob() {
  TJobData data(platform::EncodeDateTime(2026, 3, 14, 9, 30));
  data.JobName = "Photos backup";
  data.Pairs.push_back({});
  data.FileFilter.FLT_Include = "*.jpg; *.png; *.raw";
  data.FileFilter.FLT_bUseExclude = true;
  data.FileFilter.FLT_Exclude = "*.tmp; thumbs.db";
  data.FileFilter.FLT_bUseSize = true;
  data.FileFilter.FLT_SizeA = 10;
  data.FileFilter.FLT_SizeDegreeA = sdKilobytes;
  data.FileFilter.FLT_bUseAttr = true;
  data.FileFilter.FLT_Attr_ExcMask = 0x02;
  for (const char* p : {".cache", "Trash", "build", "node_modules"})
    data.FolderFilter.AddPattern(p);
  ApplyMethod(data, kMethodBackupL);
  data.Frequency = kFreqDays;
  data.freDays = 3;
  data.ExcludeDays = kSaturday | kSunday;
  data.LogSummary_bCreateNew = true;
  data.LogError_bUse = false;
  return data;
}

bool RenderPage(const QString& dir, const char* name, TMaker make) {
  TFixture fixture;
  TSettings& settings = fixture.Settings();
  TFileFilter docs;
  docs.FilterName = "Documents";
  docs.FLT_Include = "*.doc; *.odt; *.pdf";
  TFileFilter pictures = docs;
  pictures.FilterName = "Pictures";
  settings.DefFileFilters = {docs, pictures};
  TFolderFilter build;
  build.FilterName = "Build folders";
  settings.DefFolderFilters = {build};
  settings.FileFilterIncHistory = {"*.jpg; *.png; *.raw", "*.*"};
  gui::TWizardContext context{settings};
  QWidget frame;
  frame.resize(560, 430);
  auto* layout = new QVBoxLayout(&frame);
  layout->setContentsMargins(0, 0, 0, 0);
  gui::WizardPage* page = make(context, &frame);
  layout->addWidget(page);
  TJobData data = ShotJob();
  page->Load(data);
  page->Shown();
  if (auto* list = page->findChild<QListWidget*>("predefinedList")) list->setCurrentRow(1);
  return Save(frame, dir, name);
}

const bool registered =
    RegisterShot("wizard_page_file_filters",
                 [](const QString& d) {
                   return RenderPage(d, "wizard_page_file_filters", &gui::MakeFileFiltersPage);
                 }) &&
    RegisterShot("wizard_page_folder_filters",
                 [](const QString& d) {
                   return RenderPage(d, "wizard_page_folder_filters", &gui::MakeFolderFiltersPage);
                 }) &&
    RegisterShot("wizard_page_methods",
                 [](const QString& d) {
                   return RenderPage(d, "wizard_page_methods", &gui::MakeMethodPage);
                 }) &&
    RegisterShot(
        "wizard_page_rules",
        [](const QString& d) { return RenderPage(d, "wizard_page_rules", &gui::MakeRulesPage); }) &&
    RegisterShot("wizard_page_scheduling",
                 [](const QString& d) {
                   return RenderPage(d, "wizard_page_scheduling", &gui::MakeSchedulingPage);
                 }) &&
    RegisterShot("wizard_page_log_settings", [](const QString& d) {
      return RenderPage(d, "wizard_page_log_settings", &gui::MakeLogSettingsPage);
    });

}  // namespace

}  // namespace twn::shots
