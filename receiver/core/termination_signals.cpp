#include "termination_signals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The self-pipe: the handler writes the signal number, the watcher reads it.
// One process-wide pipe, as signal dispositions are process-wide.
int g_pipe[2] = {-1, -1};
constexpr char kStopByte = 0;

void OnSignal(int sig) {
  const int saved = errno;
  const char byte = static_cast<char>(sig);
  if (write(g_pipe[1], &byte, 1) < 0) {
    // A full pipe already holds a wake-up; nothing is lost.
  }
  errno = saved;
}

}  // namespace

int TerminationSignals::Start(std::function<void()> on_signal) {
  if (watcher_.joinable()) return 0;
  if (pipe2(g_pipe, O_CLOEXEC) != 0) return -1;
  on_signal_ = std::move(on_signal);
  struct sigaction action{};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  watcher_ = std::thread([this] { WatchLoop(); });
  return 0;
}

void TerminationSignals::WatchLoop() {
  for (;;) {
    char byte = 0;
    ssize_t n = read(g_pipe[0], &byte, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || byte == kStopByte) return;
    if (on_signal_) on_signal_();
  }
}

void TerminationSignals::Stop() {
  if (!watcher_.joinable()) return;
  signal(SIGINT, SIG_DFL);
  signal(SIGTERM, SIG_DFL);
  if (write(g_pipe[1], &kStopByte, 1) < 0) {
    // Cannot fail with an empty pipe of ours; the join below would wait.
  }
  watcher_.join();
  close(g_pipe[0]);
  close(g_pipe[1]);
  g_pipe[0] = g_pipe[1] = -1;
}
