#include "gui/main/run_driver.h"

#include <QtCore/QEventLoop>
#include <algorithm>

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
  if (result.changed || !result.redraw.empty()) emit Ticked(result);
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
  if (result.job) emit RunFinished(result);
}

}  // namespace twn::gui
