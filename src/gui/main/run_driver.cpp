#include "gui/main/run_driver.h"

#include <QtCore/QEventLoop>
#include <QtCore/QtDebug>
#include <algorithm>
#include <set>

namespace twn::gui {

RunDriver::RunDriver(TJobList& jobs, TQtRunHost& host, QObject* parent)
    : QObject(parent),
      jobs_(jobs),
      host_(host),
      starter_(host, kMainNotifyWindow),
      scheduler_(jobs, starter_) {
  timer_.setInterval(kTickMilliseconds);
  connect(&timer_, &QTimer::timeout, this, &RunDriver::Tick);
  host_.Register(kMainNotifyWindow,
                 [this](uint32_t message, int32_t job_id) { Message(message, job_id); });
}

RunDriver::~RunDriver() {
  host_.Unregister(kMainNotifyWindow);
}

void RunDriver::Tick() {
  const TTickResult result = scheduler_.Tick();
  FollowWatches();
  if (result.changed || !result.redraw.empty()) emit Ticked(result);
}

void RunDriver::FollowWatches() {
  const std::vector<int> fds = scheduler_.Watches.Fds();
  const std::set<int> open(fds.begin(), fds.end());
  std::erase_if(notifiers_, [&](const auto& n) {
    if (open.contains(n.first)) return false;
    // It may be the one whose signal is being served: deleted once that is over.
    n.second->setEnabled(false);
    n.second->deleteLater();
    return true;
  });
  for (int fd : open) {
    if (notifiers_.contains(fd)) continue;
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
      scheduler_.ReadWatches();
      FollowWatches();
    });
    notifiers_[fd] = notifier;
  }
  for (const std::string& line : scheduler_.Watches.TakeLines()) qInfo("%s", line.c_str());
}

bool RunDriver::AnyRunThread() const {
  return std::any_of(jobs_.begin(), jobs_.end(), [](const auto& job) { return job->Running(); });
}

void RunDriver::WaitUntil(const std::function<bool()>& done) {
  Q_ASSERT(!waiting_);
  if (done()) return;
  waiting_ = true;
  QEventLoop loop;
  const auto check = [&] {
    if (done()) loop.quit();
  };
  const QMetaObject::Connection connection = connect(this, &RunDriver::RunFinished, &loop, check);
  loop.exec();
  disconnect(connection);
  waiting_ = false;
}

void RunDriver::Message(uint32_t message, int32_t job_id) {
  if (message != WM_JOBFINISHED) return;  // progress is redrawn by the tick
  const TFinishResult result = scheduler_.JobFinished(job_id);
  FollowWatches();
  if (result.job) emit RunFinished(result);
}

}  // namespace twn::gui
