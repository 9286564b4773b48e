#pragma once
// The wizard's "Job settings" page: the job name, and one line per other page saying what it
// is set to, with a link that opens that page.
#include <array>
#include <span>
#include <string>

#include "gui/wizard/wizard_page.h"

class QComboBox;
class QLabel;

namespace twn::gui {

class SummaryPage : public WizardPage {
  Q_OBJECT

 public:
  /// `names`: every job's name, for the drop-down.
  SummaryPage(TWizardContext& context, std::span<const std::string> names, QWidget* parent);

  void Load(TJobData& data) override;
  /// Writes the name, trimmed.
  void Store() override;
  /// Rebuilds the value texts from the bound data.
  void Shown() override;

  QComboBox* NameBox() const { return name_; }
  QLabel* Value(int line) const { return values_[size_t(line)]; }
  void FocusName();

 signals:
  /// A caption link was clicked: the page (1-7) to open.
  void PageRequested(int page);

 private:
  TJobData* data_ = nullptr;
  QStringList names_;
  QComboBox* name_;
  QLabel* heading_;
  std::array<QLabel*, 7> values_{};
};

}  // namespace twn::gui
