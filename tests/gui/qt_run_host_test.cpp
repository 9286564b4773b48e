// The GUI thread's run host: where synchronized calls run, who waits for them, and which
// notify window gets a posted message.
#include <QtCore/QThread>
#include <QtTest/QtTest>
#include <atomic>
#include <thread>
#include <tuple>
#include <vector>

#include "gui/host/qt_run_host.h"
#include "model/job_data.h"
#include "support/run_fixture.h"
#include "support/test_support.h"

namespace twn::gui {
namespace {

using TDelivered = std::tuple<TNotifyWindow, uint32_t, int32_t>;

}  // namespace

class QtRunHostTest : public QObject {
  Q_OBJECT

 private:
  TQtRunHost host_;
  std::vector<TDelivered> delivered_;

  void Listen(TNotifyWindow window) {
    host_.Register(window, [this, window](uint32_t message, int32_t job_id) {
      delivered_.emplace_back(window, message, job_id);
    });
  }

 private slots:
  void init() { delivered_.clear(); }

  void cleanup() {
    for (TNotifyWindow w : {1, 2, 3, 42}) host_.Unregister(w);
  }

  // Each call runs on the GUI thread, and the worker goes on only after it has run.
  void synchronizedCallsFromAWorkerRunOnTheGuiThreadWhileItWaits() {
    std::atomic<int> calls = 0;
    std::vector<int> seen_after;  // written by the worker only, read after join
    std::vector<QThread*> ran_on;
    std::atomic<bool> done = false;
    std::thread worker([&] {
      for (int i = 0; i < 3; ++i) {
        host_.Synchronize([&] {
          ran_on.push_back(QThread::currentThread());
          ++calls;
        });
        seen_after.push_back(calls);
      }
      done = true;
    });
    QTRY_VERIFY(done);
    worker.join();
    QCOMPARE(seen_after, (std::vector<int>{1, 2, 3}));
    QCOMPARE(ran_on, std::vector<QThread*>(3, QThread::currentThread()));
  }

  void aSynchronizedCallFromTheGuiThreadRunsAtOnce() {
    bool ran = false;
    host_.Synchronize([&] { ran = true; });
    QVERIFY(ran);
  }

  // Messages come from worker threads; each reaches its own window, in the order posted, and
  // only once the GUI thread serves its queue. A window gone by then gets nothing.
  void postedMessagesReachTheirRegisteredWindowInOrder() {
    Listen(1);
    Listen(2);
    std::thread worker([&] {
      host_.PostMessage(1, WM_JOBPROGRESS, 5);
      host_.PostMessage(2, WM_JOBPROGRESS, 6);
      host_.PostMessage(3, WM_JOBFINISHED, 7);  // never registered
      host_.PostMessage(kNoNotifyWindow, WM_JOBFINISHED, 8);
      host_.PostMessage(1, WM_JOBFINISHED, 5);
      host_.PostMessage(2, WM_JOBFINISHED, 6);
    });
    worker.join();
    QVERIFY(delivered_.empty());
    host_.Unregister(2);  // before its queued messages are served
    host_.PostMessage(1, WM_USER, 99);
    QTRY_COMPARE(delivered_.size(), size_t(3));
    const std::vector<TDelivered> expected = {
        {1, WM_JOBPROGRESS, 5}, {1, WM_JOBFINISHED, 5}, {1, WM_USER, 99}};
    QCOMPARE(delivered_, expected);
  }

  void aReceiverMayUnregisterItsOwnWindow() {
    int got = 0;
    host_.Register(3, [&](uint32_t, int32_t) {
      ++got;
      host_.Unregister(3);
    });
    Listen(1);
    host_.PostMessage(3, WM_JOBPROGRESS, 1);
    host_.PostMessage(3, WM_JOBFINISHED, 1);
    host_.PostMessage(1, WM_JOBFINISHED, 2);
    QTRY_COMPARE(delivered_.size(), size_t(1));
    QCOMPARE(got, 1);
  }

  // A whole run through this host: the worker's refreshes are served by the event loop, and
  // the end of the run reaches the window that started it, after which the job can be reset.
  void aJobRunPostsItsEndToItsWindow() {
    test::TempDir dir;
    const std::string left = dir / "L", right = dir / "R";
    test::WriteFile(left + "/a.txt", "alpha");
    test::WriteFile(left + "/sub/b.txt", "beta");
    test::MakeDirs(right);
    auto job = test::MakeJob("Window run", left, right, kMethodMirrorL);
    Listen(42);
    QVERIFY(job->Start(host_, 42, rmCompareAndSync));
    const auto finished = [&] {
      return !delivered_.empty() && std::get<1>(delivered_.back()) == WM_JOBFINISHED;
    };
    QTRY_VERIFY_WITH_TIMEOUT(finished(), 60000);
    job->ResetAfterRun();
    QVERIFY(!job->Running());
    QCOMPARE(job->Progress.Stage, rsCompleted);  // the refreshes ran on this thread
    QVERIFY(delivered_.size() > 1);              // progress came before the end
    for (const auto& [window, message, job_id] : delivered_) {
      QCOMPARE(window, TNotifyWindow(42));
      QCOMPARE(job_id, job->JobID);
    }
    QCOMPARE(test::TreeOf(right), test::TreeOf(left));
    QVERIFY(!job->HadErrors());
  }
};

}  // namespace twn::gui

QTEST_MAIN(twn::gui::QtRunHostTest)
#include "qt_run_host_test.moc"
