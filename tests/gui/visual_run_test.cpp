// The Visual run window on real folders: a whole compare, preview, synchronize sequence, stops
// and a close during a run, an empty comparison, header sorting and the two-second font rule.
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTableView>

#include "gui/visualrun/visual_run_models.h"
#include "gui/visualrun/visual_run_window.h"
#include "model/method_presets.h"
#include "support/fake_message_boxes.h"
#include "support/run_fixture.h"
#include "support/test_support.h"

namespace twn::gui {

namespace {

QString Label(const QWidget& w, const QString& name) {
  const auto* label = w.findChild<QLabel*>(name);
  return label ? label->text() : QStringLiteral("<no %1>").arg(name);
}

void Click(QWidget& w, const char* button) {
  auto* b = w.findChild<QPushButton*>(button);
  QVERIFY(b && b->isVisible());
  QTest::mouseClick(b, Qt::LeftButton);
}

// Many small files, so that a run is still going when the test stops it.
void ManyFiles(const std::string& root, int count) {
  for (int i = 0; i < count; ++i)
    test::Put(root + "/d" + std::to_string(i % 40) + "/f" + std::to_string(i), "data");
}

}  // namespace

class VisualRunTest : public QObject {
  Q_OBJECT

 private:
  // A fresh job over dir/L and dir/R, its settings and its window.
  struct Setup {
    explicit Setup(const test::TempDir& dir, int32_t method = kMethodMirrorL)
        : settings(dir / "settings"), job(test::MakeJob("Photos", dir / "L", dir / "R", method)) {
      test::MakeDirs(dir / "L");
      test::MakeDirs(dir / "R");
      settings.MainLogFolder = dir / "logs";
    }
    TSettings settings;
    std::unique_ptr<TJob> job;
    TQtRunHost host;
    FakeMessageBoxes boxes;
  };

  static std::unique_ptr<VisualRunWindow> Open(Setup& s) {
    auto window = std::make_unique<VisualRunWindow>(*s.job, s.settings, s.host, nullptr);
    window->show();
    return window;
  }

 private slots:
  void initTestCase() { QApplication::setStyle("Fusion"); }

  void WholeSequenceCompareToComplete() {
    test::TempDir dir;
    test::Put(dir / "L/a.txt", "12345");
    test::Put(dir / "L/sub/b.txt", "1234");
    test::Put(dir / "R/old.txt", "1");
    Setup s(dir);
    auto w = Open(s);
    QCOMPARE(w->windowTitle(), QString("Visual executing for the job 'Photos'"));
    QCOMPARE(w->Phase(), int(vpReady));
    QCOMPARE(Label(*w, "statusLeft"), QString("Push the button <Do compare> to start comparison"));
    QVERIFY(w->findChild<QGroupBox*>("groupTips")->isVisible());
    QVERIFY(!w->findChild<QPushButton*>("btnSecond")->isVisible());

    Click(*w, "btnFirst");
    QTRY_COMPARE(w->Phase(), int(vpCompared));
    QCOMPARE(w->findChild<QPushButton*>("btnFirst")->text(), QString("Preview synchronization"));
    QCOMPARE(w->findChild<QPushButton*>("btnSecond")->text(), QString("Recompare"));
    QCOMPARE(Label(*w, "statistics_4_1"), QString("2 [9 bytes]"));  // singles on the left
    QCOMPARE(Label(*w, "statistics_4_2"), QString("1 [1 bytes]"));
    QCOMPARE(Label(*w, "statusLeft"), QString("0 Kb in 2 files"));
    QCOMPARE(w->findChild<QGroupBox*>("groupGrid")->title(), QString("Comparison table"));
    QCOMPARE(w->Grid()->model()->rowCount(), w->Working().ScanInfo.Items().Count());

    Click(*w, "btnFirst");
    QCOMPARE(w->Phase(), int(vpPreview));
    QCOMPARE(w->findChild<QGroupBox*>("groupGrid")->title(), QString("Synchronization preview"));
    QCOMPARE(Label(*w, "changes_0_1"), QString("2 [9 bytes]"));
    QCOMPARE(Label(*w, "changes_1_2"), QString("1 [1 bytes]"));
    QCOMPARE(Label(*w, "statusRight"), QString("0 Kb in 1 files"));

    Click(*w, "btnFirst");
    QTRY_COMPARE(w->Phase(), int(vpDone));
    QVERIFY(!w->findChild<QPushButton*>("btnFirst")->isVisible());
    QVERIFY(w->findChild<QPushButton*>("btnCloseWindow")->isDefault());
    QCOMPARE(Label(*w, "complete_0_2"), QString("2 [9 bytes]"));  // copied onto the right
    QCOMPARE(Label(*w, "complete_1_2"), QString("1 [1 bytes]"));
    const int operations = w->Working().OperationCount();
    QVERIFY(operations >= 4);
    QCOMPARE(Label(*w, "statusLeft"),
             QString("Synchronization is completed: %1 operation were performed with 0 errors ")
                 .arg(operations));
    QCOMPARE(w->Grid()->model()->rowCount(), operations);
    QCOMPARE(w->Grid()->currentIndex().row(), operations - 1);  // follows the last line
    QCOMPARE(test::TreeOf(dir / "R"), test::TreeOf(dir / "L"));
    // The logs went to the listed job; the listed job never ran.
    QVERIFY(!s.job->Data.LogHistory.empty());
    QVERIFY(!s.job->Running());
    Click(*w, "btnCloseWindow");
    QVERIFY(!w->isVisible());
  }

  void StopsReturnToPhaseOneAndHeaderClicksWaitForTheRun() {
    test::TempDir dir;
    ManyFiles(dir / "L", 4000);
    Setup s(dir);
    auto w = Open(s);
    Click(*w, "btnFirst");
    QTRY_COMPARE_WITH_TIMEOUT(w->Phase(), int(vpCompared), 60000);
    QVERIFY(w->Grid()->model()->rowCount() > 4000);
    Click(*w, "btnSecond");  // Recompare
    QCOMPARE(w->Phase(), int(vpComparing));
    QCOMPARE(w->findChild<QPushButton*>("btnFirst")->text(), QString("&Terminate comparison"));
    QCOMPARE(w->Grid()->model()->rowCount(), 1);  // no scan data while the worker rebuilds it
    w->Grid()->horizontalHeader()->sectionClicked(gcLeftSize);
    Click(*w, "btnFirst");
    QTRY_COMPARE(w->Phase(), int(vpReady));
    QVERIFY(w->findChild<QGroupBox*>("groupTips")->isVisible());
    QCOMPARE(w->findChild<QPushButton*>("btnFirst")->text(), QString("Do compare"));
    QCOMPARE(w->Working().ScanInfo.SortSettings().key, int(skName));
    QCOMPARE(w->Grid()->horizontalHeader()->sortIndicatorSection(), int(gcLeftName));
  }

  void CloseDuringSynchronizationStopsThenCloses() {
    test::TempDir dir;
    ManyFiles(dir / "L", 4000);
    Setup s(dir);
    auto w = Open(s);
    Click(*w, "btnFirst");
    QTRY_COMPARE_WITH_TIMEOUT(w->Phase(), int(vpCompared), 60000);
    Click(*w, "btnFirst");
    Click(*w, "btnFirst");
    QCOMPARE(w->Phase(), int(vpSynchronizing));
    QVERIFY(!w->close());  // refused while the run goes on
    QVERIFY(w->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 60000);
    QVERIFY(!w->Working().Running());
    QCOMPARE(w->Phase(), int(vpReady));  // stopped: no completion panel
    QVERIFY(test::TreeOf(dir / "R").size() < test::TreeOf(dir / "L").size());
  }

  // An empty left side would wipe the mirror: the user is asked, and No leaves it untouched.
  void GuardAsksBeforeSynchronizing_data() {
    QTest::addColumn<bool>("answer");
    QTest::newRow("no") << false;
    QTest::newRow("yes") << true;
  }
  void GuardAsksBeforeSynchronizing() {
    QFETCH(bool, answer);
    test::TempDir dir;
    ManyFiles(dir / "R", 12);
    Setup s(dir);
    s.boxes.answer = answer;
    auto w = Open(s);
    Click(*w, "btnFirst");
    QTRY_COMPARE(w->Phase(), int(vpCompared));
    Click(*w, "btnFirst");
    Click(*w, "btnFirst");
    QCOMPARE(s.boxes.texts,
             QStringList{"The Job 'Photos' asks before synchronizing: the run would delete all 12 "
                         "files on the right side (100%), more than the job's limit of 50%. Do "
                         "you really want to synchronize?"});
    if (!answer) {
      QCOMPARE(w->Phase(), int(vpPreview));
      QCOMPARE(test::TreeOf(dir / "R").size(), size_t(12 + 12));  // folders and files
      return;
    }
    QTRY_COMPARE(w->Phase(), int(vpDone));
    QVERIFY(test::TreeOf(dir / "R").empty());
  }

  void EmptyComparison() {
    test::TempDir dir;
    Setup s(dir);
    auto w = Open(s);
    Click(*w, "btnFirst");
    QTRY_COMPARE(w->Phase(), int(vpCompared));
    for (int row = 0; row < 6; ++row)
      for (int side = 1; side <= 2; ++side)
        QCOMPARE(Label(*w, QString("statistics_%1_%2").arg(row).arg(side)), QString("none"));
    QCOMPARE(Label(*w, "statusLeft"), QString("0 Kb in 0 files"));
    QCOMPARE(Label(*w, "statusRight"), QString("0 Kb in 0 files"));
    QCOMPARE(w->Grid()->model()->rowCount(), 1);
    Click(*w, "btnFirst");
    QCOMPARE(w->Grid()->model()->rowCount(), 1);
    Click(*w, "btnFirst");
    QTRY_COMPARE(w->Phase(), int(vpDone));
    QCOMPARE(Label(*w, "statusLeft"),
             QString("Synchronization is completed: 0 operation were performed with 0 errors "));
  }

  void HeaderClicksSortTheComparison() {
    test::TempDir dir;
    test::Put(dir / "L/b.txt", "22", 1'000'000'300);
    test::Put(dir / "L/a.txt", "333", 1'000'000'100);
    test::Put(dir / "L/c.txt", "1", 1'000'000'200);
    Setup s(dir);
    auto w = Open(s);
    Click(*w, "btnFirst");
    QTRY_COMPARE(w->Phase(), int(vpCompared));
    QHeaderView* header = w->Grid()->horizontalHeader();
    const auto names = [&] {
      QString order;
      for (int row = 0; row < w->Grid()->model()->rowCount(); ++row)
        order += w->Grid()->model()->index(row, gcLeftName).data().toString();
      return order;
    };
    struct Step {
      int column;
      const char* order;
      Qt::SortOrder direction;
    };
    const Step steps[] = {{gcLeftSize, "cba", Qt::AscendingOrder},
                          {gcLeftSize, "abc", Qt::DescendingOrder},
                          {gcLeftDate, "acb", Qt::AscendingOrder}};
    for (const Step& step : steps) {
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                        QPoint(header->sectionViewportPosition(step.column) + 5, 5));
      QCOMPARE(names(), QString(step.order));
      QCOMPARE(header->sortIndicatorSection(), step.column);
      QCOMPARE(header->sortIndicatorOrder(), step.direction);
      QCOMPARE(w->Grid()->model()->headerData(step.column, Qt::Horizontal).toString(),
               QString(" ") + (step.column == gcLeftSize ? "Size" : "Date"));
    }
  }

  void OneSecondApartShowsInTheDefaultFont() {
    test::TempDir dir;
    test::Put(dir / "L/photo.jpg", "same", 1'000'000'000);
    test::Put(dir / "R/photo.jpg", "same", 1'000'000'001);
    for (bool two_seconds : {true, false}) {
      Setup s(dir);
      s.job->Data.bRulesNTFS = two_seconds;
      auto w = Open(s);
      Click(*w, "btnFirst");
      QTRY_COMPARE(w->Phase(), int(vpCompared));
      const QAbstractItemModel* m = w->Grid()->model();
      int row = 0;
      while (row < m->rowCount() && m->index(row, gcLeftName).data().toString() != "photo") ++row;
      QVERIFY(row < m->rowCount());
      for (int column : {gcLeftDate, gcRightDate})
        QCOMPARE(m->index(row, column).data(GridModel::SideFontRole).toBool(), !two_seconds);
      QVERIFY(!m->index(row, gcRightName).data(GridModel::SideFontRole).toBool());
    }
  }
};

}  // namespace twn::gui

QTEST_MAIN(twn::gui::VisualRunTest)
#include "visual_run_test.moc"
