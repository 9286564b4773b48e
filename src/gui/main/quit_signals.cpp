#include "gui/main/quit_signals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QtCore/QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <cstring>

namespace twn::gui {
namespace {

constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};

std::atomic<int> g_write_fd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

// Async-signal-safe: one write of one byte, errno kept for the interrupted code.
void OnSignal(int signo) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signo);
  [[maybe_unused]] const ssize_t n = ::write(g_write_fd.load(), &byte, 1);
  errno = saved;
}

}  // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0) {
    qWarning("twn: no socket pair for quit signals: %s", strerror(errno));
    return;
  }
  read_end_ = platform::TUniqueFd(fds[0]);
  write_end_ = platform::TUniqueFd(fds[1]);
  int expected = -1;
  if (!g_write_fd.compare_exchange_strong(expected, write_end_.Get())) {
    qWarning("twn: quit signals are already handled");
    return;
  }
  notifier_ = new QSocketNotifier(read_end_.Get(), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::Drain);
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (size_t i = 0; i < kSignals.size(); ++i) ::sigaction(kSignals[i], &action, &old_[i]);
  installed_ = true;
}

QuitSignals::~QuitSignals() {
  if (!installed_) return;
  notifier_->setEnabled(false);  // before its descriptor closes
  for (size_t i = 0; i < kSignals.size(); ++i) ::sigaction(kSignals[i], &old_[i], nullptr);
  g_write_fd.store(-1);
}

void QuitSignals::Drain() {
  unsigned char bytes[16];
  ssize_t n;
  while ((n = ::read(read_end_.Get(), bytes, sizeof bytes)) > 0) {
    for (ssize_t i = 0; i < n; ++i) emit QuitRequested(bytes[i]);
  }
}

}  // namespace twn::gui
