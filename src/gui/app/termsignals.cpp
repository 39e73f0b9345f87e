#include "app/termsignals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <csignal>

namespace quintar::gui {

namespace {
int fds[2] = {-1, -1};
volatile std::sig_atomic_t requested = 0;

void OnSignal(int) {
  requested = 1;
  if (fds[0] >= 0) {
    const char c = 1;
    ssize_t n = ::write(fds[0], &c, 1);
    (void)n;
  }
}
}  // namespace

void TTermSignals::Install() {
  if (fds[0] >= 0) return;
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
    fds[0] = fds[1] = -1;
  } else {
    ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
    ::fcntl(fds[1], F_SETFL, O_NONBLOCK);
  }
  struct sigaction sa = {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &sa, nullptr);
  ::sigaction(SIGINT, &sa, nullptr);
}

bool TTermSignals::Requested() { return requested != 0; }

TTermSignals::TTermSignals(QObject* parent) : QObject(parent) {
  if (fds[1] < 0) return;
  notifier_ = new QSocketNotifier(fds[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char buf[16];
    while (::read(fds[1], buf, sizeof buf) > 0) {
    }
    emit TerminateRequested();
  });
}

}  // namespace quintar::gui
