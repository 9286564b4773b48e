#pragma once
// The quick-info window: read-only, everything a job is set to do, from a private copy of the
// job's data, so that nothing done here reaches the job.
#include <QtWidgets/QDialog>
#include <functional>

#include "app/settings.h"

class QTreeWidget;

namespace twn::gui {

class HelpCenter;
class PairsView;

/// How another window opens the quick info window on a job, modally, over the given window.
using TQuickInfoFn = std::function<void(QWidget*, const TJob&)>;

class QuickInfoWindow : public QDialog {
  Q_OBJECT

 public:
  /// `help` may be null (no Help page then).
  QuickInfoWindow(const TJobData& data, HelpCenter* help, QWidget* parent = nullptr);

  QTreeWidget* Properties() const { return tree_; }
  PairsView* Pairs() const { return pairs_; }

 private:
  void FillTree(const TJobData& data);

  HelpCenter* help_;
  PairsView* pairs_;
  QTreeWidget* tree_;
};

/// Shows `job` modally over `parent`, at the place stored in settings.QuickInfo, and stores
/// the place when it closes.
void ShowQuickInfo(QWidget* parent, const TJob& job, TSettings& settings, HelpCenter* help);

}  // namespace twn::gui
