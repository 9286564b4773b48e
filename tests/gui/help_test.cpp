// Context help: which page F1 and a what's-this click open, the one reused viewer, a missing
// help folder that shows nothing, and the shipped pages with their links.
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTextBrowser>

#include "gui/help/help_center.h"
#include "help/help_topics.h"
#include "support/fake_message_boxes.h"

namespace twn::gui {

// A main window (context 15) with a dialog on it that has no context of its own: a group of
// the options page (17), an edit outside it, and a label for an edit of the pair page (23).
struct Scene {
  QWidget main;
  QLineEdit* mainEdit = new QLineEdit(&main);
  QDialog* dialog = new QDialog(&main);
  QGroupBox* group = new QGroupBox(dialog);
  QLineEdit* groupEdit = new QLineEdit(group);
  QLineEdit* dialogEdit = new QLineEdit(dialog);
  QLabel* pairLabel = new QLabel("&Pair", dialog);
  QLineEdit* pairEdit = new QLineEdit(dialog);
  QPushButton* button = new QPushButton("Go", dialog);

  Scene() {
    main.setObjectName("main");
    mainEdit->setObjectName("mainEdit");
    dialog->setObjectName("dialog");
    group->setObjectName("group");
    groupEdit->setObjectName("groupEdit");
    dialogEdit->setObjectName("dialogEdit");
    pairLabel->setObjectName("pairLabel");
    pairEdit->setObjectName("pairEdit");
    button->setObjectName("button");
    SetHelpContext(&main, 15);
    SetHelpContext(group, 17);
    SetHelpContext(pairEdit, 23);
    pairLabel->setBuddy(pairEdit);
    pairLabel->setFocusPolicy(Qt::StrongFocus);
    group->setGeometry(0, 0, 100, 40);
    groupEdit->setGeometry(5, 5, 90, 30);
    dialogEdit->move(0, 50);
    pairLabel->move(0, 90);
    pairEdit->move(50, 90);
    button->move(0, 130);
  }
};

class HelpTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  static bool Activate(QWidget* window) {
    window->show();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
  }
  static QString Page(const HelpCenter& help) {
    return help.Viewer() ? help.Viewer()->source().fileName() : QString();
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QVERIFY(QDir(dir_.path()).mkdir("TWN-help"));
    for (const char* page :
         {"what_is_twn", "main_window", "options_window", "add_a_pair", "tutorial_1"}) {
      QFile file(dir_.filePath(QString("TWN-help/%1.html").arg(page)));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(QString("<html><head><title>Page %1</title></head><body>%1</body></html>")
                     .arg(page)
                     .toUtf8());
    }
  }

  void f1OpensThePageOfTheFocusedWidgetsWindowOnly_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("page");
    QTest::newRow("window's own context") << "mainEdit"
                                          << "main_window.html";
    QTest::newRow("parent's context") << "groupEdit"
                                      << "options_window.html";
    QTest::newRow("not the parent window's") << "dialogEdit"
                                             << "what_is_twn.html";
    QTest::newRow("label's buddy") << "pairLabel"
                                   << "add_a_pair.html";
  }
  void f1OpensThePageOfTheFocusedWidgetsWindowOnly() {
    QFETCH(QString, focus);
    QFETCH(QString, page);
    FakeMessageBoxes boxes;
    Scene scene;
    HelpCenter help(dir_.path());
    help.Install();
    QVERIFY(Activate(&scene.main));
    auto* item = scene.main.findChild<QWidget*>(focus);
    QVERIFY(item);
    QVERIFY(Activate(item->window()));
    item->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), item);

    QTest::keyClick(item, Qt::Key_F1);
    QCOMPARE(Page(help), page);
    QWidget* viewerWindow = help.Viewer()->window();
    QCOMPARE(viewerWindow->objectName(), "helpViewer");
    QVERIFY(viewerWindow->isVisible());
    QCOMPARE(viewerWindow->parentWidget(), item->window());  // in front of it, never blocked
    QCOMPARE(viewerWindow->windowTitle(), "Page " + page.chopped(5));

    // A second F1 from the other window reuses the viewer.
    QTextBrowser* first = help.Viewer();
    QWidget* other = item->window() == &scene.main ? scene.dialog : &scene.main;
    QVERIFY(Activate(other));
    QTest::keyClick(other, Qt::Key_F1);
    QCOMPARE(help.Viewer(), first);
    QCOMPARE(viewerWindow->parentWidget(), other);
    QVERIFY(boxes.texts.isEmpty());
  }

  void viewerDiesWithItsOwnerAndComesBack() {
    Scene scene;
    HelpCenter help(dir_.path());
    QVERIFY(help.ShowContext(scene.groupEdit, 17));
    QVERIFY(help.Viewer());
    scene.dialog->deleteLater();  // takes the viewer parented to it along
    QTRY_COMPARE(help.Viewer(), nullptr);
    QVERIFY(help.ShowContext(&scene.main, 15));
    QCOMPARE(Page(help), "main_window.html");
  }

  void missingFolderOrPageShowsNothing() {
    FakeMessageBoxes boxes;
    QTemporaryDir empty;
    Scene scene;
    HelpCenter help(empty.path());
    help.Install();
    QVERIFY(Activate(&scene.main));
    QTest::keyClick(&scene.main, Qt::Key_F1);
    QVERIFY(!help.ShowTopic(&scene.main, "main_window.html"));
    HelpCenter missingPage(dir_.path());
    QVERIFY(!missingPage.ShowContext(&scene.main, 16));  // no quick_info_window.html
    QCOMPARE(help.Viewer(), nullptr);
    QCOMPARE(missingPage.Viewer(), nullptr);
    for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY(!w->isVisible() || w == &scene.main);
    QVERIFY(boxes.texts.isEmpty());
  }

  // Every page of the topic table ships and opens, and no page links to a missing one.
  void shippedPagesOpenAndLinkOnlyToShippedPages() {
    const QString folder = QFINDTESTDATA("../../help/TWN-help");
    QVERIFY(!folder.isEmpty());
    HelpCenter help(QFileInfo(folder).absolutePath());
    QWidget owner;
    QVERIFY(help.ShowContext(&owner, 0));
    for (std::string_view page : HelpTopicPages()) {
      const QString name = QString::fromUtf8(page.data(), qsizetype(page.size()));
      QVERIFY2(help.ShowTopic(&owner, name), qPrintable(name));
      QCOMPARE(Page(help), name);
    }
    const QRegularExpression href("href=\"([^\"#]*)");
    for (const QString& page : QDir(folder).entryList({"*.html"})) {
      QFile file(folder + "/" + page);
      QVERIFY(file.open(QIODevice::ReadOnly));
      for (const QRegularExpressionMatch& link : href.globalMatch(file.readAll())) {
        const QString target = link.captured(1);
        if (target.contains(':')) continue;  // http and mailto
        QVERIFY2(QFile::exists(folder + "/" + target), qPrintable(page + " -> " + target));
      }
    }
  }

  void whatsThisModeEndsWithAKeyOrPicksTheClickedWidget() {
    Scene scene;
    HelpCenter help(dir_.path());
    help.Install();
    QVERIFY(Activate(scene.dialog));
    scene.dialogEdit->setFocus();
    QSignalSpy clicked(scene.button, &QPushButton::clicked);

    QTest::keyClick(scene.dialogEdit, Qt::Key_F1, Qt::ShiftModifier);
    QVERIFY(help.WhatsThisMode());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WhatsThisCursor);
    QCOMPARE(help.Viewer(), nullptr);
    QTest::keyClick(scene.dialogEdit, Qt::Key_A);
    QVERIFY(!help.WhatsThisMode());
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(scene.dialogEdit->text(), "a");  // the key still does its work

    QTest::keyClick(scene.dialogEdit, Qt::Key_F1, Qt::ShiftModifier);
    QTest::mouseClick(scene.pairLabel, Qt::LeftButton);
    QVERIFY(!help.WhatsThisMode());
    QCOMPARE(Page(help), "add_a_pair.html");
    QVERIFY(Activate(scene.dialog));
    QTest::keyClick(scene.dialogEdit, Qt::Key_F1, Qt::ShiftModifier);
    QTest::mouseClick(scene.button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 0);  // the pick is not the button's click
    QCOMPARE(Page(help), "what_is_twn.html");
    QVERIFY(Activate(scene.dialog));
    QTest::mouseClick(scene.button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
  }
};

}  // namespace twn::gui

QTEST_MAIN(twn::gui::HelpTest)
#include "help_test.moc"
