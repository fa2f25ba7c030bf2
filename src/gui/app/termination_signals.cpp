#include "gui/app/termination_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orlix::gui {

namespace {
// The handler may only write to a descriptor; the Qt loop reads the other end.
int g_pipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void onSignal(int) {
  int saved = errno;
  char c = 1;
  [[maybe_unused]] ssize_t n = ::write(g_pipe[0], &c, 1);
  errno = saved;
}
}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> callback, QObject* parent)
    : QObject(parent), onSignal_(std::move(callback)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) return;
  auto* notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, [this] {
    char buf[16];
    while (::read(g_pipe[1], buf, sizeof buf) > 0) {
    }
    if (onSignal_) onSignal_();
  });
  struct sigaction sa {};
  sa.sa_handler = onSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int s : kSignals) ::sigaction(s, &sa, nullptr);
}

TerminationSignals::~TerminationSignals() {
  struct sigaction sa {};
  sa.sa_handler = SIG_DFL;
  sigemptyset(&sa.sa_mask);
  for (int s : kSignals) ::sigaction(s, &sa, nullptr);
  for (int& fd : g_pipe) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

}  // namespace orlix::gui
