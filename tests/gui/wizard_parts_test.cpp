// The job wizard's helper windows: the folder pair window's refusals and warnings, the
// filter-name dialog's overwrite question, and the excluded-folder picker on a temporary tree
// (left and right clicks, inheritance on opening, patterns on OK, Cancel).
#include <unistd.h>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtTest/QAbstractItemModelTester>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>

#include "gui/picker/folder_picker.h"
#include "gui/picker/folder_tree_model.h"
#include "gui/wizard/filter_name_dialog.h"
#include "gui/wizard/pair_window.h"
#include "support/fake_folder_chooser.h"
#include "support/fake_message_boxes.h"

namespace twn::gui {

namespace {

std::string Bytes(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

void MakeDir(const QString& path) {
  QVERIFY(QDir().mkpath(path));
}

QPushButton* Button(QWidget& dialog, QDialogButtonBox::StandardButton which) {
  return dialog.findChild<QDialogButtonBox*>("buttons")->button(which);
}

}  // namespace

class WizardPartsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    root_ = dir_.path();
    for (const char* sub : {"A/x", "A/y", "b/deep", ".hidden", "odd;name"})
      MakeDir(root_ + "/" + sub);
    QCOMPARE(symlink("A", QFile::encodeName(root_ + "/link").constData()), 0);
  }

  void pairWindowRefusesAndWarns() {
    FakeMessageBoxes boxes;
    FakeFolderChooser chooser;
    struct Case {
      QString left, right;
      bool answer;
      QString title;  // of the box shown; empty: none
      bool accepted;
    };
    const QList<Case> cases = {
        {"", root_ + "/b", true, "Warning: incorrect field", false},
        {root_ + "/A", "  ", true, "Warning: incorrect field", false},
        {root_ + "/A", root_ + "/b\nx", true, "Warning: incorrect field", false},
        {root_ + "/A", root_ + "/A/x", false, "Confirm folder pair", false},
        {root_ + "/A/", root_ + "/A", true, "Confirm folder pair", true},
        {root_ + "/A", root_ + "/b", true, "", true},
    };
    for (const Case& c : cases) {
      boxes.titles.clear();
      boxes.answer = c.answer;
      TPairItem pair;
      pair.L_Path = "/old";
      PairWindow window(nullptr, pair, false);
      window.show();
      window.LeftEdit()->setText(c.left);
      window.RightEdit()->setText(c.right);
      QTest::mouseClick(Button(window, QDialogButtonBox::Ok), Qt::LeftButton);
      QCOMPARE(boxes.titles.value(0), c.title);
      QCOMPARE(window.result() == QDialog::Accepted, c.accepted);
      QCOMPARE(pair.L_Path, c.accepted ? Bytes(c.left) : std::string("/old"));
    }
    // Browse fills the box; the subfolder tick goes into the pair.
    TPairItem pair;
    pair.bSubFLD = true;
    PairWindow window(nullptr, pair, true);
    chooser.answers = {Bytes(root_ + "/b")};
    QTest::mouseClick(window.findChild<QPushButton*>("rightBrowse"), Qt::LeftButton);
    QCOMPARE(window.RightEdit()->text(), root_ + "/b");
    window.findChild<QCheckBox*>("subfolders")->setChecked(false);
    window.LeftEdit()->setText(root_ + "/A");
    window.accept();
    QCOMPARE(pair.R_Path, Bytes(root_ + "/b"));
    QVERIFY(!pair.bSubFLD);
    QVERIFY(!pair.R_UpName.empty());
  }

  void filterNameDialogAsksBeforeOverwriting() {
    FakeMessageBoxes boxes;
    FilterNameDialog dialog(nullptr, true, false, {"Alpha", "Beta"}, {});
    QCOMPARE(dialog.windowTitle(), QString("Save folders as predefined filter"));
    dialog.show();
    QTest::keyClicks(dialog.NameEdit(), "beta");
    QCOMPARE(dialog.Selected(), 1);
    boxes.answer = false;
    dialog.accept();
    QCOMPARE(boxes.titles, QStringList{"Confirm replacing existing filter"});
    QVERIFY(dialog.isVisible());
    QTest::keyClicks(dialog.NameEdit(), "2");
    QCOMPARE(dialog.Selected(), -1);
    dialog.accept();
    QCOMPARE(boxes.titles.size(), 1);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Name(), std::string("beta2"));
  }

  void pickerClicksAndInheritance() {
    FakeMessageBoxes boxes;
    TDiskFolderSource disk;
    FolderPickerDialog dialog(nullptr, disk, {{"tree", Bytes(root_)}});
    QAbstractItemModelTester tester(dialog.Model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    CheckTreeView* view = dialog.Tree();
    FolderTreeModel* model = dialog.Model();
    const QModelIndex top = model->index(0, 0);
    QVERIFY(view->isExpanded(top));
    QStringList names;
    for (int r = 0; r < model->rowCount(top); ++r)
      names << model->index(r, 0, top).data().toString();
    QCOMPARE(names, (QStringList{".hidden", "A", "b", "link", "odd;name"}));
    const QModelIndex a = model->index(1, 0, top), b = model->index(2, 0, top);
    QVERIFY(!model->hasChildren(model->index(3, 0, top)));  // a link is never opened
    view->expand(a);
    QCOMPARE(model->rowCount(a), 2);

    const auto click = [&](const QModelIndex& index, Qt::MouseButton button) {
      view->scrollTo(index);
      QTest::mouseClick(view->viewport(), button, {}, view->CheckRect(index).center());
    };
    const auto state = [](const QModelIndex& index) {
      return index.data(Qt::CheckStateRole).value<Qt::CheckState>();
    };
    click(a, Qt::LeftButton);
    QCOMPARE(state(model->index(0, 0, a)), Qt::Checked);
    QCOMPARE(state(model->index(1, 0, a)), Qt::Checked);
    click(a, Qt::RightButton);  // A alone
    QCOMPARE(state(model->index(0, 0, a)), Qt::Checked);
    QCOMPARE(state(a), Qt::Unchecked);
    click(model->index(0, 0, a), Qt::RightButton);
    QCOMPARE(state(model->index(0, 0, a)), Qt::Unchecked);
    QCOMPARE(state(model->index(1, 0, a)), Qt::Checked);
    QCOMPARE(state(a), Qt::PartiallyChecked);
    QCOMPARE(state(top), Qt::PartiallyChecked);
    click(b, Qt::LeftButton);
    view->expand(b);
    QCOMPARE(state(model->index(0, 0, b)), Qt::Checked);  // opened after ticking: inherits
    click(model->index(4, 0, top), Qt::RightButton);

    QTest::mouseClick(dialog.findChild<QPushButton*>("okButton"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Picked().Patterns, (std::vector<std::string>{"y", "b", "deep"}));
    QCOMPARE(dialog.Picked().Skipped, std::vector<std::string>{"odd;name"});
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(boxes.texts[0].contains("\nodd;name"));
  }

  // The real entry point on the home folder: OK adds patterns, Cancel leaves the filter alone.
  void pickExcludedFoldersOkAndCancel() {
    qputenv("HOME", QFile::encodeName(root_));
    TSettings settings(Bytes(root_));
    for (const bool ok : {false, true}) {
      TFolderFilter filter;
      filter.AddPattern("Zeta");
      QTimer::singleShot(0, [ok] {
        auto* dialog = qobject_cast<FolderPickerDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        const QModelIndex home = dialog->Model()->index(0, 0);
        QCOMPARE(home.data().toString(), QDir::homePath());
        dialog->Model()->Click(dialog->Model()->index(1, 0, home), true);  // "A"
        ok ? dialog->accept() : dialog->reject();
      });
      QCOMPARE(PickExcludedFolders(nullptr, filter, settings), ok);
      QCOMPARE(filter.Patterns(),
               ok ? (std::vector<std::string>{"A", "Zeta"}) : std::vector<std::string>{"Zeta"});
    }
  }

 private:
  QTemporaryDir dir_;
  QString root_;
};

}  // namespace twn::gui

QTEST_MAIN(twn::gui::WizardPartsTest)
#include "wizard_parts_test.moc"
