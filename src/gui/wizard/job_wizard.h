#pragma once
// The job wizard: the one window in which a job is created or edited. Its pages edit a working
// copy of the job's definition; only "Save job", once the copy passes the checks, writes it
// into the job.
#include <QtWidgets/QDialog>
#include <array>
#include <span>
#include <string>
#include <vector>

#include "app/settings.h"
#include "gui/wizard/wizard_page.h"
#include "run/job.h"

class QLabel;
class QListWidget;
class QPushButton;
class QStackedWidget;

namespace twn::gui {

class BasketPage;
class SummaryPage;
class TQtRunHost;

class JobWizard : public QDialog {
  Q_OBJECT

 public:
  /// `names`: every job's name (the job's own among them when it is listed).
  JobWizard(TJob& job, std::span<const std::string> names, TSettings& settings, TQtRunHost& host,
            HelpCenter* help, QWidget* parent = nullptr);
  ~JobWizard() override;

  /// The definition being edited.
  TJobData& Working() { return working_; }
  /// Fills every page from the working copy again.
  void LoadPages();
  void SelectPage(int page);
  int CurrentPage() const;
  SummaryPage* Summary() const { return summary_; }
  BasketPage* Basket() const { return basket_; }
  WizardPage* Page(int page) const { return pages_[size_t(page)]; }
  QPushButton* SaveButton() const { return save_; }
  QPushButton* VisualButton() const { return visual_; }

  /// "Save job": checks the working copy and, when it passes, writes it into the job and
  /// closes with OK; otherwise warns and shows the page concerned.
  void Save();
  /// "Visual execution": a Visual run of the working copy, whose logs go to the job.
  void VisualExecution();

 private:
  void BuildPages(std::span<const std::string> names);
  QWidget* BuildButtons();
  void PageShown(int page);
  void StorePages();
  void RefreshButtons();

  TJob& job_;
  TJobData working_;
  std::vector<std::string> names_;
  std::string opening_key_;
  TSettings& settings_;
  TQtRunHost& host_;
  HelpCenter* help_;
  TWizardContext context_;

  QListWidget* list_ = nullptr;
  QLabel* heading_ = nullptr;
  QStackedWidget* stack_ = nullptr;
  std::array<WizardPage*, 8> pages_{};
  SummaryPage* summary_ = nullptr;
  BasketPage* basket_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* visual_ = nullptr;
  QMetaObject::Connection focus_;
};

/// Opens the wizard modally on `job`; true when the job was saved.
bool ShowJobWizard(QWidget* parent, TJob& job, std::span<const std::string> names,
                   TSettings& settings, TQtRunHost& host, HelpCenter* help);

}  // namespace twn::gui
