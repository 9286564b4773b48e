#pragma once
// One page of the job wizard. A page is bound to the wizard's working copy of the job: it
// fills its controls from it and writes them back, at once for ticks and lists, and for typed
// text (and the number boxes, which clamp) when Store is called.
#include <QtWidgets/QWidget>

#include "app/settings.h"
#include "model/job_data.h"

namespace twn::gui {

class HelpCenter;

/// What every page may use besides the working copy: the settings file (histories, predefined
/// filters, fonts, the basket's sort mode) and the help.
struct TWizardContext {
  TSettings& settings;
  HelpCenter* help = nullptr;
};

class WizardPage : public QWidget {
  Q_OBJECT

 public:
  WizardPage(TWizardContext& context, QWidget* parent) : QWidget(parent), context_(context) {}

  /// Binds the page to `data` and fills its controls from it; no Changed() meanwhile.
  virtual void Load(TJobData& data) = 0;
  /// Writes what the controls hold into the bound data.
  virtual void Store() = 0;
  /// The page has just been selected (e.g. refresh example texts, command states).
  virtual void Shown() {}

 signals:
  /// The bound data changed in a way the summary or the Save button may depend on.
  void Changed();

 protected:
  TWizardContext& context_;
};

// The pages after the pairs basket, in the order of the page list.
WizardPage* MakeFileFiltersPage(TWizardContext& context, QWidget* parent);
WizardPage* MakeFolderFiltersPage(TWizardContext& context, QWidget* parent);
WizardPage* MakeMethodPage(TWizardContext& context, QWidget* parent);
WizardPage* MakeRulesPage(TWizardContext& context, QWidget* parent);
WizardPage* MakeSchedulingPage(TWizardContext& context, QWidget* parent);
WizardPage* MakeLogSettingsPage(TWizardContext& context, QWidget* parent);

}  // namespace twn::gui
