// The job wizard's frame and basket: the checks before saving, the proposed name, when Save and
// Visual execution are enabled, the basket's sort menu and subfolder tick, and the log history
// of a run that ended while the wizard was open.
#include <QtTest/QtTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTableView>

#include "gui/host/qt_run_host.h"
#include "gui/support/fake_message_boxes.h"
#include "gui/visualrun/visual_run_window.h"
#include "gui/wizard/job_wizard.h"
#include "gui/wizard/pairs_basket.h"
#include "gui/wizard/summary_page.h"
#include "model/method_presets.h"
#include "support/run_fixture.h"
#include "support/test_support.h"

namespace twn::gui {

class JobWizardTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::TempDir> dir_;
  std::unique_ptr<TSettings> settings_;
  std::unique_ptr<TQtRunHost> host_;
  FakeMessageBoxes boxes_;

  std::unique_ptr<JobWizard> Open(TJob& job, std::vector<std::string> names = {}) {
    return std::make_unique<JobWizard>(job, names, *settings_, *host_, nullptr);
  }
  static TPairItem Pair(const std::string& left, const std::string& right) {
    TPairItem pair;
    pair.L_Path = left;
    pair.R_Path = right;
    return pair;
  }

 private slots:
  void init() {
    dir_ = std::make_unique<test::TempDir>();
    settings_ = std::make_unique<TSettings>(dir_->path());
    host_ = std::make_unique<TQtRunHost>();
    boxes_.titles.clear();
  }
  void cleanup() {
    settings_.reset();
    host_.reset();
    dir_.reset();
  }

  void saveWarnsShowsThePageAndFocusesTheName() {
    struct Case {
      const char* name;
      int32_t frequency, exclude_days;
      QString title;  // empty: saved
      int page;
    } const cases[] = {
        {"Bad/name", kFreqManual, 0, "Warning: incorrect field", 0},
        {"other JOB", kFreqManual, 0, "Warning: incorrect field", 0},
        {"Photos", kFreqHours, 127, "Warning: incorrect scheduling settings", 6},
        {"  photos ", kFreqManual, 127, "", 0},
    };
    for (const Case& c : cases) {
      auto job = test::MakeJob("Photos", "/l", "/r", kMethodMirrorL);
      auto wizard = Open(*job, {"Other job", "Photos"});
      wizard->Working().Frequency = c.frequency;
      wizard->Working().ExcludeDays = c.exclude_days;
      wizard->LoadPages();
      wizard->SelectPage(3);
      wizard->Summary()->NameBox()->setEditText(c.name);
      boxes_.titles.clear();
      wizard->Save();
      QCOMPARE(boxes_.titles.value(0), c.title);
      QCOMPARE(wizard->result(), c.title.isEmpty() ? int(QDialog::Accepted) : 0);
      if (c.title.isEmpty()) {
        QCOMPARE(job->Data.JobName, std::string("photos"));
        continue;
      }
      QCOMPARE(wizard->CurrentPage(), c.page);
      QCOMPARE(job->Data.JobName, std::string("Photos"));
      QWidget* focus = wizard->focusWidget();
      const QComboBox* box = wizard->Summary()->NameBox();
      QCOMPARE(focus == box || focus == box->lineEdit(), c.page == 0);
    }
  }

  void aNewJobIsOfferedTheFirstFreeNumber() {
    struct Case {
      const char* name;
      std::vector<std::string> names;
      const char* proposed;
      const char* caption;
    } const cases[] = {
        {"New Job", {"New Job 1", " new job 3"}, "New Job 2", "Job wizard: creating new job"},
        {"New Job", {}, "New Job 1", "Job wizard: creating new job"},
        {"New Jobs", {"New Jobs"}, "New Jobs", "Job wizard: creating new job"},
    };
    for (const Case& c : cases) {
      TJob job(NewJobID());
      job.Data.JobName = c.name;
      auto wizard = Open(job, c.names);
      QCOMPARE(wizard->Summary()->NameBox()->currentText(), QString(c.proposed));
      QCOMPARE(wizard->windowTitle(), QString(c.caption));
    }
    auto listed = test::MakeJob("Photos", "/l", "/r", kMethodMirrorL);
    QCOMPARE(Open(*listed)->windowTitle(), QString("Job wizard: edit the job 'Photos'"));
  }

  // Enabled while there is a pair and something to do; every page change counts.
  void saveAndVisualExecutionFollowTheBasket() {
    TJob job(NewJobID());
    job.Data.idxNewerL = 1;
    auto wizard = Open(job);
    BasketPage* basket = wizard->Basket();
    const auto enabled = [&] {
      const bool save = wizard->SaveButton()->isEnabled();
      return save == wizard->VisualButton()->isEnabled() ? int(save) : -1;
    };
    QCOMPARE(enabled(), 0);
    basket->Append(Pair(dir_->path(), dir_->path() + "/x"));
    QCOMPARE(enabled(), 1);
    basket->Action(BasketPage::kClear)->trigger();
    QCOMPARE(enabled(), 0);
    basket->Append(Pair(dir_->path(), dir_->path() + "/x"));
    wizard->Working().idxNewerL = 0;
    wizard->LoadPages();
    QCOMPARE(enabled(), 0);
    // Enter in the basket edits a pair; elsewhere it saves.
    wizard->show();
    QVERIFY(QTest::qWaitForWindowActive(wizard.get()));
    wizard->SelectPage(1);
    basket->Grid()->setFocus();
    QTRY_VERIFY(!wizard->SaveButton()->isDefault());
    wizard->SelectPage(0);
    wizard->Summary()->FocusName();
    QTRY_VERIFY(wizard->SaveButton()->isDefault());
  }

  void basketSortMenuTickAndInvalidPairs() {
    TJob job(NewJobID());
    job.Data.Pairs = {Pair("/b/Zeta", "/y/2"), Pair("/c/Alpha", "/x/3"), Pair("/a/Mid", "/z/1")};
    job.Data.Pairs[2].Valid = 1;
    auto wizard = Open(job);
    BasketPage* basket = wizard->Basket();
    std::vector<TPairItem>& pairs = wizard->Working().Pairs;
    const auto lefts = [&] {
      QStringList out;
      for (const TPairItem& p : pairs) out << QString::fromStdString(p.L_Path);
      return out.join(' ');
    };
    const auto checked = [](QMenu* menu) {
      std::unique_ptr<QMenu> owned(menu);
      const QList<QAction*> actions = menu->actions();
      for (int i = 0; i < actions.size(); ++i)
        if (actions[i]->isChecked()) return i;
      return -1;
    };
    QCOMPARE(checked(basket->SortMenu(false)), 0);  // stored 5: right column, full path, up
    QCOMPARE(checked(basket->SortMenu(true)), -1);
    struct Step {
      bool left;
      int entry;
      const char* order;
    } const steps[] = {
        {true, 3, "/b/Zeta /a/Mid /c/Alpha"},  // last folder, descending
        {true, 0, "/a/Mid /b/Zeta /c/Alpha"},
        {false, 1, "/a/Mid /b/Zeta /c/Alpha"},
    };
    basket->Select(1);  // "/c/Alpha" stays selected through every sort
    for (const Step& s : steps) {
      std::unique_ptr<QMenu> menu(basket->SortMenu(s.left));
      menu->actions()[s.entry]->trigger();
      QCOMPARE(lefts(), QString(s.order));
      QCOMPARE(checked(basket->SortMenu(s.left)), s.entry);
      QCOMPARE(basket->Selected(), QString(s.order).split(" ").indexOf("/c/Alpha"));
    }
    QTableView* grid = basket->Grid();
    grid->resize(600, 200);
    const QRect tick = grid->visualRect(grid->model()->index(2, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, tick.center());
    QVERIFY(pairs[2].bSubFLD);
    QCOMPARE(basket->Selected(), 2);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, tick.center());
    QVERIFY(!pairs[2].bSubFLD);
    auto* status = basket->findChild<QLabel*>("basketStatus");
    QCOMPARE(status->text(), QString("Basket contains 3 pairs"));
    basket->Action(BasketPage::kRemoveInvalid)->trigger();
    QCOMPARE(lefts(), QString("/a/Mid"));
    QVERIFY(!basket->Action(BasketPage::kRemoveInvalid)->isEnabled());
    QCOMPARE(status->text(), QString("Basket contains 1 pairs"));
  }

  // Visual execution runs the definition as edited, typed name included, not the listed one.
  void visualExecutionRunsTheWorkingCopy() {
    auto job = test::MakeJob("Photos", dir_->path(), dir_->path(), kMethodMirrorL);
    auto wizard = Open(*job);
    wizard->Summary()->NameBox()->setEditText("Edited");
    wizard->Working().Pairs[0].R_Path = "/elsewhere";
    std::string name, right;
    QTimer::singleShot(0, [&] {
      auto* window = qobject_cast<VisualRunWindow*>(QApplication::activeModalWidget());
      if (!window) return;
      name = window->Working().Data.JobName;
      right = window->Working().Data.Pairs[0].R_Path;
      window->close();
    });
    wizard->VisualButton()->click();
    QCOMPARE(name, std::string("Edited"));
    QCOMPARE(right, std::string("/elsewhere"));
    QCOMPARE(job->Data.JobName, std::string("Photos"));
  }

  // A run of the listed job that ends while the wizard is open records its logs in the job;
  // saving the wizard's older copy must not lose them.
  void saveKeepsTheLogsOfARunThatEndedMeanwhile() {
    const std::string left = *dir_ / "L", right = *dir_ / "R";
    test::WriteFile(left + "/a.txt", "a");
    test::MakeDirs(right);
    auto job = test::MakeJob("Photos", left, right, kMethodMirrorL);
    job->Data.LogHistory = {"/old.log"};
    auto wizard = Open(*job);
    test::TRunFixture run;
    run.Run(*job, rmCompareAndSync);
    QVERIFY(job->WriteLogs(*job, *dir_ / "Logs").empty());
    const std::vector<std::string> logs = job->Data.LogHistory;
    QVERIFY(logs.size() > 1);
    wizard->Save();
    QCOMPARE(wizard->result(), int(QDialog::Accepted));
    QVERIFY(job->Data.LogHistory == logs);
  }
};

}  // namespace twn::gui

QTEST_MAIN(twn::gui::JobWizardTest)
#include "job_wizard_test.moc"
