// The Create shortcut window: its example follows every control, it writes launchers into the
// folders the desktop uses, keeps its choices for the next opening, and a name or folder that
// cannot be used is reported with the window left open.
#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>
#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

#include "gui/shortcut/create_shortcut_window.h"
#include "platform/desktop_entry.h"
#include "run/job.h"
#include "support/fake_message_boxes.h"

namespace twn::gui {

class CreateShortcutTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  TJob job_{1};

  template <typename T = QWidget>
  static T* Child(QWidget& w, const char* name) {
    T* child = w.findChild<T*>(name);
    if (!child) qFatal("no widget %s", name);
    return child;
  }
  QString Home(const QString& rel) const { return home_.filePath(rel); }

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    qputenv("HOME", home_.path().toUtf8());
    qunsetenv("XDG_CONFIG_HOME");
    qputenv("XDG_DATA_HOME", Home("data").toUtf8());
    QVERIFY(QDir(home_.path()).mkdir("Desktop"));
    job_.Data.JobName = "50% $HOME \"x\"";
  }

  void writesWhereAskedAndKeepsItsChoices() {
    FakeMessageBoxes boxes;
    const std::string exe = "/opt/tw n/twn";
    std::vector<const TJob*> infoAsked;
    {
      CreateShortcutWindow window(nullptr, job_, exe, "/set", nullptr,
                                  [&](QWidget*, const TJob& job) { infoAsked.push_back(&job); });
      QVERIFY(!Child(window, "quickLaunch")->isEnabled());
      QVERIFY(!Child(window, "create")->isEnabled());  // nothing ticked yet
      QCOMPARE(Child<QLineEdit>(window, "example")->text(),
               "\"/opt/tw n/twn\" --settings \"/set\" \"50% \\$HOME \\\"x\\\"\" -fc");
      Child<QRadioButton>(window, "log1")->click();
      Child<QRadioButton>(window, "after1")->click();
      Child<QCheckBox>(window, "startMinimized")->click();
      QCOMPARE(Child<QLineEdit>(window, "example")->text(),
               "\"/opt/tw n/twn\" --settings \"/set\" \"50% \\$HOME \\\"x\\\"\" -sm -le -fm");
      Child<QCheckBox>(window, "desktop")->click();
      Child<QCheckBox>(window, "startMenu")->click();
      Child<QPushButton>(window, "quickInfo")->click();
      Child<QPushButton>(window, "create")->click();
      QCOMPARE(window.result(), int(QDialog::Accepted));
    }
    QVERIFY(boxes.texts.isEmpty());
    QCOMPARE(infoAsked, std::vector<const TJob*>{&job_});
    const std::vector<std::string> argv = {exe,   "--settings", "/set", job_.Data.JobName,
                                           "-sm", "-le",        "-fm"};
    for (const QString file : {"Desktop/", "data/applications/"}) {
      const auto entry = platform::ReadDesktopEntry(
          QFile::encodeName(Home(file) + "50% $HOME \"x\".desktop").toStdString());
      QVERIFY2(entry, qPrintable(file));
      QCOMPARE(entry->argv, argv);
    }

    CreateShortcutWindow again(nullptr, job_, exe, "", nullptr, nullptr);
    QVERIFY(Child<QCheckBox>(again, "desktop")->isChecked());
    QVERIFY(!Child<QCheckBox>(again, "programs")->isChecked());
    QVERIFY(Child<QPushButton>(again, "create")->isEnabled());
    QVERIFY(!Child<QPushButton>(again, "quickInfo")->isEnabled());
    QCOMPARE(Child<QLineEdit>(again, "example")->text(),
             "\"/opt/tw n/twn\" \"50% \\$HOME \\\"x\\\"\" -sm -le -fm");
  }

  void refusedNameAndUnwritableFolderKeepTheWindowOpen() {
    FakeMessageBoxes boxes;
    const TShortcutFolders folders = {Home("no/such").toStdString(), "",
                                      Home("Desktop").toStdString(), ""};
    CreateShortcutWindow window(nullptr, job_, "/bin/twn", "", nullptr, nullptr, &folders);
    window.show();
    Child<QCheckBox>(window, "desktop")->setChecked(true);
    auto* name = Child<QLineEdit>(window, "name");
    for (const char* bad : {"a/b", ".."}) {
      name->setText(bad);
      Child<QPushButton>(window, "create")->click();
    }
    name->setText("ok");
    Child<QPushButton>(window, "create")->click();
    QVERIFY(window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Rejected));
    QCOMPARE(boxes.titles.size(), 3);
    for (const QString& title : boxes.titles) QVERIFY(title.startsWith("Warning"));
    QVERIFY2(boxes.texts[2].contains("no/such/ok.desktop"), qPrintable(boxes.texts[2]));
    QVERIFY(!QFile::exists(Home("Desktop/ok.desktop")));
    QVERIFY(!QFile::exists(Home("a/b.desktop")));
  }
};

}  // namespace twn::gui

QTEST_MAIN(twn::gui::CreateShortcutTest)
#include "create_shortcut_test.moc"
