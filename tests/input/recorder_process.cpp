#include "input/recorder_process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

extern char** environ;

bool HaveDisplay() {
  const char* display = std::getenv("DISPLAY");
  return display && *display;
}

bool RecorderProcess::Start() {
  int out[2], in[2];
  if (pipe(out) != 0 || pipe(in) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addclose(&actions, in[1]);
  char path[] = VP_RECORDER_PATH;
  char* argv[] = {path, nullptr};
  const int result = posix_spawn(&pid_, path, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  close(in[0]);
  out_fd_ = out[0];
  in_fd_ = in[1];
  if (result != 0) {
    pid_ = -1;
    return false;
  }
  return WaitFor([](const std::string& line) { return line == "ready"; });
}

RecorderProcess::~RecorderProcess() {
  if (in_fd_ >= 0) close(in_fd_);  // the window ends when its input closes
  if (pid_ > 0) {
    int status = 0;
    for (int i = 0; i < 200 && waitpid(pid_, &status, WNOHANG) == 0; ++i) usleep(10000);
    if (waitpid(pid_, &status, WNOHANG) == 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
    }
  }
  if (out_fd_ >= 0) close(out_fd_);
}

bool RecorderProcess::NextLine(std::string* line, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (const size_t end = buffer_.find('\n'); end != std::string::npos) {
      *line = buffer_.substr(0, end);
      buffer_.erase(0, end + 1);
      lines_.push_back(*line);
      return true;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd fd = {out_fd_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
    char chunk[4096];
    const ssize_t size = read(out_fd_, chunk, sizeof chunk);
    if (size <= 0) return false;
    buffer_.append(chunk, static_cast<size_t>(size));
  }
}

bool RecorderProcess::WaitFor(const std::function<bool(const std::string&)>& match,
                              std::string* line, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::string next;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !NextLine(&next, left)) return false;
    if (match(next)) {
      if (line) *line = next;
      return true;
    }
  }
}
