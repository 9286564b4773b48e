// The Options window: what Save stores (trimmed, a browsed folder with its separator), that
// Close stores nothing, and the warning that keeps the window open on a missing folder.
#include <QtCore/QFile>
#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <memory>

#include "gui/options/options_window.h"
#include "support/fake_folder_chooser.h"
#include "support/fake_message_boxes.h"
#include "support/test_support.h"

namespace twn::gui {

namespace {

struct Scene {
  test::TempDir dir;
  TSettings settings{dir.path()};
  QString logs = QFile::decodeName((dir / "logs").c_str());
  std::unique_ptr<OptionsWindow> window;

  Scene() {
    test::MakeDirs(dir / "logs");
    settings.MainLogFolder = dir.path();
    settings.bAutosizeColumns = true;
    settings.bShowTutorials = false;
    window = std::make_unique<OptionsWindow>(settings, nullptr);
    window->show();
  }
  template <typename T>
  T* Child(const char* name) {
    return window->findChild<T*>(name);
  }
  void Click(const char* name) { Child<QPushButton>(name)->click(); }
};

}  // namespace

class OptionsTest : public QObject {
  Q_OBJECT

 private slots:
  void SaveStoresTheTrimmedFolderAndTheChecks() {
    Scene scene;
    QLineEdit* folder = scene.Child<QLineEdit>("logFolder");
    QCOMPARE(folder->text(), QFile::decodeName(scene.dir.path().c_str()));
    QTRY_VERIFY(!folder->hasSelectedText());
    QCOMPARE(folder->cursorPosition(), folder->text().size());
    scene.Child<QLineEdit>("logFolder")->setText("  " + scene.logs + "  ");
    scene.Child<QCheckBox>("autosize")->setChecked(false);
    scene.Child<QCheckBox>("tutorials")->setChecked(true);
    scene.Click("save");
    QCOMPARE(scene.window->result(), int(QDialog::Accepted));
    QVERIFY(scene.window->Changed());
    QCOMPARE(QString::fromStdString(scene.settings.MainLogFolder), scene.logs);
    QVERIFY(!scene.settings.bAutosizeColumns);
    QVERIFY(scene.settings.bShowTutorials);
  }

  void BrowsedFolderGetsASeparator() {
    Scene scene;
    FakeFolderChooser chooser;
    scene.Child<QLineEdit>("logFolder")->setText(" " + scene.logs + "/x ");
    scene.Click("browse");  // cancelled: the text stays
    QCOMPARE(scene.Child<QLineEdit>("logFolder")->text(), " " + scene.logs + "/x ");
    chooser.answers = {scene.logs.toStdString()};
    scene.Click("browse");
    const std::string start = (scene.logs + "/x").toStdString();
    QCOMPARE(chooser.starts, std::vector<std::string>({start, start}));
    QCOMPARE(chooser.titles.value(0), QString("Locate log folder:"));
    scene.Click("save");
    QCOMPARE(QString::fromStdString(scene.settings.MainLogFolder), scene.logs + "/");
  }

  void CloseStoresNothing() {
    Scene scene;
    scene.Child<QLineEdit>("logFolder")->setText(scene.logs);
    scene.Child<QCheckBox>("autosize")->setChecked(false);
    scene.Child<QCheckBox>("tutorials")->setChecked(true);
    scene.Click("close");
    QCOMPARE(scene.window->result(), int(QDialog::Rejected));
    QCOMPARE(scene.settings.MainLogFolder, scene.dir.path());
    QVERIFY(scene.settings.bAutosizeColumns);
    QVERIFY(!scene.settings.bShowTutorials);
  }

  void MissingFolderWarnsAndStaysOpen() {
    Scene scene;
    FakeMessageBoxes boxes;
    scene.Child<QLineEdit>("logFolder")->setText(scene.logs + "/missing");
    scene.Click("save");
    QCOMPARE(boxes.titles, QStringList("Warning: incorrect folder name"));
    QCOMPARE(boxes.texts,
             QStringList("The folder you entered is not exist.\n\nClick 'Browse' button to "
                         "select one."));
    QVERIFY(scene.window->isVisible());
    QCOMPARE(scene.Child<QLineEdit>("logFolder")->text(), scene.logs + "/missing");
    QCOMPARE(scene.settings.MainLogFolder, scene.dir.path());
  }

  void ShowOptionsSaysWhetherSaveChangedAnything() {
    test::TempDir dir;
    TSettings settings(dir.path());
    settings.MainLogFolder = dir.path();
    for (const bool change : {false, true}) {
      QTimer::singleShot(0, [change] {
        QWidget* shown = QApplication::activeModalWidget();
        QVERIFY(shown && shown->objectName() == "options");
        if (change) shown->findChild<QCheckBox*>("tutorials")->toggle();
        shown->findChild<QPushButton*>("save")->click();
      });
      QCOMPARE(ShowOptions(nullptr, settings, nullptr), change);
    }
  }
};

}  // namespace twn::gui

QTEST_MAIN(twn::gui::OptionsTest)
#include "options_test.moc"
