// The log viewer on logs on disk: captions and panels, the find sequence with both answers,
// removing logs, a FIFO in the history, and a run ending while the window is open.
#include <sys/stat.h>

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtGui/QTextBlock>
#include <QtGui/QTextDocument>
#include <QtGui/QWheelEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>

#include "gui/logviewer/log_viewer.h"
#include "support/fake_message_boxes.h"

namespace twn::gui {

class LogViewerTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::unique_ptr<TSettings> settings_;
  std::unique_ptr<LogViewer> viewer_;

  std::string Path(const char* name) const { return (dir_.path() + "/" + name).toStdString(); }
  void Write(const char* name, const QByteArray& bytes) {
    QFile f(QString::fromStdString(Path(name)));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  template <class W>
  W* Get(const char* name) const {
    return viewer_->findChild<W*>(name);
  }
  QString Panel(int i) const { return Get<QLabel>(qPrintable(QString("Panel%1").arg(i)))->text(); }
  void ShowRow(int row) { Get<QListWidget>("lbxLogList")->setCurrentRow(row); }
  void Click(const char* button) { QTest::mouseClick(Get<QPushButton>(button), Qt::LeftButton); }
  void Open(int32_t job_id) {
    viewer_ = std::make_unique<LogViewer>(nullptr, *settings_, nullptr);
    viewer_->Prepare(job_id);
  }
  TJob& Job(int32_t id) {
    for (auto& job : settings_->Jobs)
      if (job->JobID == id) return *job;
    qFatal("no job %d", id);
  }

 private slots:
  // Backup (id 1) has an error log, a full log, a missing file and a FIFO in its history;
  // Empty (id 2) has none.
  void init() {
    QVERIFY(dir_.isValid());
    Write("Backup_error (March 6, 2004 at 04-44).log", "E1\r\nE2\r\n");
    Write("Backup_full.log", "alpha beta\r\nx ALPHA gamma\r\n");
    QCOMPARE(::mkfifo(Path("Backup_summary.log").c_str(), 0600), 0);
    ResetJobIDs();
    settings_ = std::make_unique<TSettings>(dir_.path().toStdString());
    for (const char* name : {"Backup", "Empty"}) settings_->AddJob(0).Data.JobName = name;
    Job(1).Data.LogHistory = {Path("Backup_error (March 6, 2004 at 04-44).log"),
                              Path("Backup_full.log"), Path("gone_full.log"),
                              Path("Backup_summary.log")};
  }
  void cleanup() {
    viewer_.reset();
    for (const char* name : {"Backup_error (March 6, 2004 at 04-44).log", "Backup_full.log",
                             "Backup_summary.log", "new_full.log"})
      QFile::remove(QString::fromStdString(Path(name)));
  }

  void captionsAndPanels_data() {
    QTest::addColumn<int>("job");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("listCaption");
    QTest::addColumn<QString>("textCaption");
    QTest::addColumn<QString>("pane");  // its first line
    QTest::addColumn<QStringList>("panels");
    const QString noLines = " *** there are no lines ***";
    const auto path = [this](const char* name) { return QString::fromStdString(Path(name)); };
    const auto unreadable = [&](const char* name) {
      return " *** error reading file '" + path(name) + "' ***";
    };
    const char* error = "Backup_error (March 6, 2004 at 04-44).log";
    const QString contains = "The job contains 4 log files";
    QTest::newRow("no job") << -1 << -1 << "Job is not selected"
                            << "" << noLines << QStringList{""};
    QTest::newRow("no logs") << 2 << -1 << "The job doesn't have log files"
                             << "There is no selected log" << noLines << QStringList{""};
    QTest::newRow("listed") << 1 << -1 << contains << "There is no selected log" << noLines
                            << QStringList{""};
    QTest::newRow("error log") << 1 << 0 << contains << "Error log file for the job 'Backup'"
                               << "E1"
                               << QStringList{"1: 1", "3 lines", "8 bytes", "modified ",
                                              path(error)};
    QTest::newRow("missing") << 1 << 2 << contains << "Full log file for the job 'Backup'"
                             << unreadable("gone_full.log") << QStringList{""};
    QTest::newRow("fifo") << 1 << 3 << contains << "Summary log file for the job 'Backup'"
                          << unreadable("Backup_summary.log") << QStringList{""};
  }
  void captionsAndPanels() {
    QFETCH(int, job);
    QFETCH(int, row);
    QFETCH(QStringList, panels);
    Open(job);
    if (row >= 0) ShowRow(row);
    QCOMPARE(Get<QGroupBox>("gbxJobList")->title(), "Job list has 2 jobs");
    QTEST(Get<QGroupBox>("gbxLogList")->title(), "listCaption");
    QTEST(Get<QGroupBox>("gbxText")->title(), "textCaption");
    QTEST(Get<QPlainTextEdit>("RichEdit")->document()->firstBlock().text(), "pane");
    QCOMPARE(Get<QPlainTextEdit>("RichEdit")->isEnabled(), panels.size() > 1);
    QCOMPARE(Get<QPushButton>("btnJobInfo")->isEnabled(), job > 0);
    QCOMPARE(Get<QListWidget>("lbxLogList")->isEnabled(), job == 1);
    if (job == 2)
      QCOMPARE(Get<QListWidget>("lbxLogList")->item(0)->text(),
               " *** there are no stored logs ***");
    for (int i = 0; i < 5; ++i) {
      QCOMPARE(Get<QLabel>(qPrintable(QString("Panel%1").arg(i)))->isVisibleTo(viewer_.get()),
               i < panels.size());
      if (i < panels.size()) QVERIFY2(Panel(i).startsWith(panels[i]), qPrintable(Panel(i)));
    }
  }

  // Find from the top, the next match, then past the last one: Yes starts again at the top,
  // No leaves the last match selected; a search that began at the top just says so.
  void findSequence_data() {
    QTest::addColumn<bool>("again");
    QTest::addColumn<int>("last");  // where the selection ends up
    QTest::newRow("yes") << true << 0;
    QTest::newRow("no") << false << 13;
  }
  void findSequence() {
    QFETCH(bool, again);
    FakeMessageBoxes boxes;
    boxes.answer = again;
    Open(1);
    ShowRow(1);
    auto* text = Get<QPlainTextEdit>("RichEdit");
    Get<QComboBox>("cmbFind")->setEditText(" alpha");
    Click("btnFind");  // searched with its blank: only the second line's
    QCOMPARE(text->textCursor().selectionStart(), 12);
    Get<QComboBox>("cmbFind")->setEditText("alpha");
    text->moveCursor(QTextCursor::Start);
    Click("btnFind");
    QCOMPARE(text->textCursor().selectionStart(), 0);
    Click("btnFind");
    QCOMPARE(text->textCursor().selectionStart(), 13);
    QCOMPARE(Panel(0), "2: 8");
    QVERIFY(boxes.titles.isEmpty());
    Click("btnFind");
    QCOMPARE(boxes.titles.value(0), "Confirm start search");
    QCOMPARE(boxes.texts.value(0), "The text 'alpha' was not found. Search from beginning again?");
    QTEST(text->textCursor().selectionStart(), "last");
    Get<QComboBox>("cmbFind")->setEditText("delta");
    text->moveCursor(QTextCursor::Start);
    Click("btnFind");
    QCOMPARE(boxes.titles.last(), "Search result");
    QCOMPARE(boxes.texts.last(), "The text 'delta' is not found.");
    QCOMPARE(boxes.titles.size(), 2);
    QCOMPARE(settings_->SearchHistory, (std::vector<std::string>{"delta", "alpha"}));
  }

  // The shown file is deleted from the disk and its entry dropped; then the entry whose file is
  // gone goes too.
  void removeAndRemoveDead() {
    Open(1);
    ShowRow(0);
    Click("btnRemove");
    QVERIFY(
        !QFile::exists(QString::fromStdString(Path("Backup_error (March 6, 2004 at 04-44).log"))));
    QCOMPARE(Job(1).Data.LogHistory.size(), size_t(3));
    QCOMPARE(Get<QListWidget>("lbxLogList")->count(), 3);
    QVERIFY(!Get<QPushButton>("btnRemove")->isEnabled());
    Click("btnRemoveDead");
    QCOMPARE(Job(1).Data.LogHistory,
             (std::vector<std::string>{Path("Backup_full.log"), Path("Backup_summary.log")}));
    QCOMPARE(Get<QGroupBox>("gbxLogList")->title(), "The job contains 2 log files");
  }

  // A run ends while the full log is shown: a new log goes on top of the history and the job
  // list is re-sorted. The viewer keeps the job and the log, and Remove deletes the shown file.
  void runEndingWhileOpen() {
    Open(1);
    ShowRow(1);
    Write("new_full.log", "new\r\n");
    Job(1).Data.AddLogFile(Path("new_full.log"), false);
    std::swap(settings_->Jobs[0], settings_->Jobs[1]);
    viewer_->Refresh();
    QCOMPARE(viewer_->ListedJob(), 1);
    QCOMPARE(Get<QListWidget>("lbxJobList")->currentRow(), 1);
    QCOMPARE(Get<QListWidget>("lbxLogList")->currentRow(), 2);
    Click("btnRemove");
    QVERIFY(!QFile::exists(QString::fromStdString(Path("Backup_full.log"))));
    QVERIFY(QFile::exists(QString::fromStdString(Path("new_full.log"))));
    QVERIFY(
        QFile::exists(QString::fromStdString(Path("Backup_error (March 6, 2004 at 04-44).log"))));
  }

  // The wheel over the job list steps to the next or previous job and lists its logs.
  void wheelStepsThroughJobs() {
    Open(1);
    QWidget* viewport = Get<QListWidget>("lbxJobList")->viewport();
    for (auto [dy, row] : {std::pair{-120, 1}, {-120, 1}, {120, 0}}) {
      QWheelEvent wheel(QPointF(5, 5), viewport->mapToGlobal(QPointF(5, 5)), {}, {0, dy},
                        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(viewport, &wheel);
      QCOMPARE(Get<QListWidget>("lbxJobList")->currentRow(), row);
      QCOMPARE(viewer_->ListedJob(), row + 1);
    }
  }
};

}  // namespace twn::gui

QTEST_MAIN(twn::gui::LogViewerTest)
#include "log_viewer_test.moc"
