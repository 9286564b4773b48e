// Termination signals become one QuitRequested each on the GUI thread instead of ending the
// process, and the handlers in place before return afterwards.
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <csignal>

#include "gui/main/quit_signals.h"

namespace twn::gui {
namespace {

volatile sig_atomic_t g_seen = 0;
void Count(int) {
  g_seen = g_seen + 1;
}

}  // namespace

class QuitSignalsTest : public QObject {
  Q_OBJECT

 private slots:
  void eachSignalIsOneRequestAndTheOldHandlersReturn() {
    for (const int signo : {SIGTERM, SIGINT, SIGHUP}) {
      const auto old = std::signal(signo, Count);
      g_seen = 0;
      {
        QuitSignals quit;
        QSignalSpy spy(&quit, &QuitSignals::QuitRequested);
        QCOMPARE(::raise(signo), 0);
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(spy[0][0].toInt(), signo);
        QCOMPARE(int(g_seen), 0);
      }
      QCOMPARE(::raise(signo), 0);
      QCOMPARE(int(g_seen), 1);
      std::signal(signo, old);
    }
  }

  void aSecondObjectLeavesTheFirstInCharge() {
    QuitSignals first;
    QSignalSpy spy(&first, &QuitSignals::QuitRequested);
    { QuitSignals second; }
    QCOMPARE(::raise(SIGTERM), 0);
    QTRY_COMPARE(spy.size(), 1);
  }
};

}  // namespace twn::gui

QTEST_MAIN(twn::gui::QuitSignalsTest)
#include "quit_signals_test.moc"
