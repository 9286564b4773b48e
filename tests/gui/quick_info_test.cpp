// The quick-info window: the tree shows the core's sentences, the grid its pairs (an invalid
// one dimmed), an empty basket says so, and closing stores the placement.
#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QTreeWidget>

#include "gui/quickinfo/pairs_grid.h"
#include "gui/quickinfo/quick_info_window.h"
#include "model/method_presets.h"
#include "support/test_support.h"
#include "windows/quick_info.h"

namespace twn::gui {

namespace {

TPairItem Pair(const char* left, const char* right, bool valid) {
  TPairItem pair;
  pair.L_Path = left;
  pair.R_Path = right;
  pair.bSubFLD = valid;
  pair.Valid = valid ? 1 : 0;
  return pair;
}

TJobData SampleJob() {
  TJobData data(platform::EncodeDateTime(2026, 6, 1, 21, 7, 53));
  data.JobName = "Photos";
  ApplyMethod(data, kMethodMirrorL);
  data.FolderFilter.AddPattern("Temp*");
  data.Pairs = {Pair("/home/me/Photos", "/mnt/nas/Photos", true),
                Pair("/home/me/Missing", "/mnt/nas/Missing", false),
                Pair("/home/me/Music", "/mnt/nas/Music", true)};
  return data;
}

// The tree as the core renders it: two blanks per level; and whether every node is expanded
// and carries an icon.
void Render(const QTreeWidgetItem* item, int level, std::string& text, bool& complete) {
  text += std::string(size_t(2 * level), ' ') + item->text(0).toStdString() + "\n";
  complete = complete && (item->childCount() == 0 || item->isExpanded()) && !item->icon(0).isNull();
  for (int i = 0; i < item->childCount(); ++i) Render(item->child(i), level + 1, text, complete);
}

// Whether anything but the background is painted on the grid's viewport.
bool PaintsSomething(PairsView* view) {
  const QImage image = view->viewport()->grab().toImage();
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != image.pixel(0, 0)) return true;
  return false;
}

}  // namespace

class QuickInfoTest : public QObject {
  Q_OBJECT

 private slots:
  void TreeShowsTheCoreSentences() {
    const TJobData data = SampleJob();
    QuickInfoWindow window(data, nullptr);
    QTreeWidget* tree = window.Properties();
    std::string shown;
    bool complete = true;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
      Render(tree->topLevelItem(i), 0, shown, complete);
    QCOMPARE(shown, RenderQuickInfo(BuildQuickInfo(data)));
    QVERIFY(complete);
    QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
    QCOMPARE(window.windowTitle(), QString("Quick info for the Job 'Photos'"));
    QCOMPARE(window.findChild<QGroupBox*>("pairsGroup")->title(),
             QString("Job contains 3 folder pairs"));
  }

  void GridDimsInvalidPairs() {
    QuickInfoWindow window(SampleJob(), nullptr);
    PairsView* grid = window.Pairs();
    QAbstractItemModel* model = grid->model();
    QVERIFY(grid->isEnabled());
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->index(0, 2).data().toString(), QString("/mnt/nas/Photos"));
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QString("S"));
    for (int row = 0; row < 3; ++row)
      QCOMPARE(model->index(row, 0).data(Qt::ForegroundRole).isValid(), row == 1);
  }

  void EmptyBasket() {
    TJobData data = SampleJob();
    data.Pairs.clear();
    QuickInfoWindow window(data, nullptr);
    window.show();
    PairsView* grid = window.Pairs();
    QVERIFY(!grid->isEnabled());
    QVERIFY(grid->horizontalHeader()->isHidden());
    QCOMPARE(window.findChild<QGroupBox*>("pairsGroup")->title(),
             QString("Job contains 0 folder pairs"));
    QVERIFY(PaintsSomething(grid));  // the empty-basket text over an otherwise blank grid
  }

  void ClosingStoresThePlacement() {
    test::TempDir dir;
    TSettings settings(dir.path());
    TJob job(1);
    job.Data = SampleJob();
    QTimer::singleShot(0, [] {
      QWidget* shown = QApplication::activeModalWidget();
      QVERIFY(shown && shown->objectName() == "quickInfo");
      shown->resize(500, 400);
      shown->close();
    });
    ShowQuickInfo(nullptr, job, settings, nullptr);
    QCOMPARE(settings.QuickInfo.Width, 500);
    QCOMPARE(settings.QuickInfo.Height, 400);
  }
};

}  // namespace twn::gui

QTEST_MAIN(twn::gui::QuickInfoTest)
#include "quick_info_test.moc"
