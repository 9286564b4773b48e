// Placeholder pages until the real ones land: they show their name and edit nothing.
#include <QtWidgets/QLabel>
#include <QtWidgets/QVBoxLayout>

#include "gui/wizard/wizard_page.h"

namespace twn::gui {

namespace {

class StubPage : public WizardPage {
 public:
  StubPage(TWizardContext& context, QWidget* parent, const char* name)
      : WizardPage(context, parent) {
    (new QVBoxLayout(this))->addWidget(new QLabel(name, this));
  }
  void Load(TJobData&) override {}
  void Store() override {}
};

}  // namespace

WizardPage* MakeFileFiltersPage(TWizardContext& c, QWidget* p) {
  return new StubPage(c, p, "File filters");
}
WizardPage* MakeFolderFiltersPage(TWizardContext& c, QWidget* p) {
  return new StubPage(c, p, "Folder filters");
}
WizardPage* MakeMethodPage(TWizardContext& c, QWidget* p) {
  return new StubPage(c, p, "Synchronize methods");
}
WizardPage* MakeRulesPage(TWizardContext& c, QWidget* p) {
  return new StubPage(c, p, "Comparison rules");
}
WizardPage* MakeSchedulingPage(TWizardContext& c, QWidget* p) {
  return new StubPage(c, p, "Scheduling");
}
WizardPage* MakeLogSettingsPage(TWizardContext& c, QWidget* p) {
  return new StubPage(c, p, "Log settings");
}

}  // namespace twn::gui
