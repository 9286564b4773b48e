// twn as a process on a settings folder: a due job of TWN.ini runs and logs, a second start
// brings the first to the front and exits 0, a folder held by twn-cli is refused with exit 4,
// and SIGTERM closes with exit 0 and TWN.ini saved.
#include <QtCore/QProcess>
#include <QtTest/QtTest>
#include <csignal>
#include <filesystem>

#include "app/settings.h"
#include "platform/instance_lock.h"
#include "support/run_fixture.h"
#include "support/test_support.h"

namespace twn::gui {

class ProgramTest : public QObject {
  Q_OBJECT

 private:
  test::TempDir dir_;

  std::string Folder() const { return dir_ / "settings"; }
  QStringList Args() const { return {"--settings", QString::fromStdString(Folder())}; }
  static QProcessEnvironment Env() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TWN_TEST_HOOKS", "1");
    return env;
  }
  static bool HasFiles(const std::string& folder) {
    std::error_code error;
    return std::filesystem::directory_iterator(folder, error) !=
           std::filesystem::directory_iterator();
  }

 private slots:
  void aDueJobRunsASecondStartActivatesAndSigtermSaves() {
    {
      // A job every minute whose last run was a day ago: due at the first ticks.
      TSettings settings(Folder());
      test::WriteFile(dir_ / "L/a.txt", "a");
      test::MakeDirs(dir_ / "R");
      auto job = test::MakeJob("Due", dir_ / "L", dir_ / "R", kMethodMirrorL);
      job->Data.Frequency = kFreqMinutes;
      job->Data.freMinutes = 1;
      job->bHasLastRun = true;
      job->LastRun = platform::Now() - 1;
      settings.Jobs.push_back(std::move(job));
      QCOMPARE(settings.SaveSettings(), 0);
    }
    QProcess first;
    first.setProcessEnvironment(Env());
    first.start(TWN_EXE, Args());
    QVERIFY(first.waitForStarted());
    const std::string logs = Folder() + "/Logs";
    QTRY_VERIFY_WITH_TIMEOUT(HasFiles(logs), 20000);
    QCOMPARE(test::ReadFile(dir_ / "R/a.txt"), std::string("a"));

    QProcess second;
    second.setProcessEnvironment(Env());
    second.start(TWN_EXE, Args() << "Due"
                                 << "-fc");
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitCode(), 0);
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += first.readAllStandardOutput()).contains("activated"), 10000);

    const std::string ini_before = test::ReadFile(Folder() + "/TWN.ini");
    ::kill(pid_t(first.processId()), SIGTERM);
    QVERIFY(first.waitForFinished(20000));
    QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.exitCode(), 0);
    // Saved at the close: the run's log is now in the job's history.
    const std::string ini = test::ReadFile(Folder() + "/TWN.ini");
    QVERIFY(ini != ini_before);
    QVERIFY(ini.find(logs) != std::string::npos);
  }

  void aFolderHeldByTwnCliIsRefusedWithExit4() {
    platform::TInstanceLock held;
    QCOMPARE(held.Acquire(Folder()), 0);
    QProcess program;
    program.setProcessEnvironment(Env());
    program.start(TWN_EXE, Args());
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitCode(), 4);
    QVERIFY(program.readAllStandardError().contains("twn-cli"));
  }
};

}  // namespace twn::gui

QTEST_MAIN(twn::gui::ProgramTest)
#include "program_test.moc"
