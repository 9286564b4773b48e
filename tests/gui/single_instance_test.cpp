// One windowed program per settings folder: the second start on a folder activates the first,
// a folder held by twn-cli is reported, and a folder that cannot be locked fails with its error.
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtNetwork/QLocalServer>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <cerrno>

#include "gui/main/single_instance.h"

namespace twn::gui {

using Outcome = SingleInstance::Outcome;

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private:
  std::string Folder(const char* name) const { return dir_.filePath(name).toStdString(); }

  QTemporaryDir dir_;

 private slots:
  void aSecondStartActivatesTheFirst() {
    SingleInstance first, other_folder;
    QSignalSpy activate(&first, &SingleInstance::ActivateRequested);
    QCOMPARE(first.Start(Folder("settings")), Outcome::First);
    QCOMPARE(other_folder.Start(Folder("other")), Outcome::First);
    {
      SingleInstance second;
      QCOMPARE(second.Start(Folder("settings")), Outcome::ActivatedOther);
    }
    QTRY_COMPARE(activate.size(), 1);
    // A symbolic link to the folder names the same instance.
    QVERIFY(QFile::link(dir_.filePath("settings"), dir_.filePath("link")));
    SingleInstance third;
    QCOMPARE(third.Start(Folder("link")), Outcome::ActivatedOther);
    QTRY_COMPARE(activate.size(), 2);
  }

  void aSocketLeftBehindIsReplacedOnceTheFolderIsFree() {
    auto first = std::make_unique<SingleInstance>();
    QCOMPARE(first->Start(Folder("settings")), Outcome::First);
    first.reset();
    QLocalServer left_behind;
    QVERIFY(left_behind.listen(SingleInstance::ServerName(Folder("settings"))));
    SingleInstance next;
    QSignalSpy activate(&next, &SingleInstance::ActivateRequested);
    QCOMPARE(next.Start(Folder("settings")), Outcome::First);
    SingleInstance second;
    QCOMPARE(second.Start(Folder("settings")), Outcome::ActivatedOther);
    QTRY_COMPARE(activate.size(), 1);
  }

  void aFolderHeldByTheCommandLineProgramIsHeldElsewhere() {
    platform::TInstanceLock cli;
    QCOMPARE(cli.Acquire(Folder("settings")), 0);
    SingleInstance instance;
    QCOMPARE(instance.Start(Folder("settings")), Outcome::HeldElsewhere);
    QCOMPARE(instance.Error(), 0);
  }

  void aFolderThatCannotBeMadeFailsWithItsError() {
    QFile file(dir_.filePath("file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    SingleInstance instance;
    QCOMPARE(instance.Start(Folder("file/settings")), Outcome::Failed);
    QCOMPARE(instance.Error(), ENOTDIR);
  }
};

}  // namespace twn::gui

QTEST_MAIN(twn::gui::SingleInstanceTest)
#include "single_instance_test.moc"
