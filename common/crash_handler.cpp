#include "crash_handler.h"

#include <csignal>
#include <cstring>
#include <ctime>
#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL};
constexpr size_t kSignalCount = sizeof kSignals / sizeof kSignals[0];
constexpr int kMaxFrames = 64;

// Everything the handler reads is prepared at install time: a signal handler
// may not allocate, lock or format with the C library.
char g_folder[1024];
char g_header[512];
struct sigaction g_previous[kSignalCount];
bool g_installed = false;
// A stack of its own for the main thread, so that its stack overflow can
// still be reported.
alignas(16) char g_alt_stack[64 * 1024];

size_t Append(char* buffer, size_t used, size_t size, const char* text) {
  while (*text && used + 1 < size) buffer[used++] = *text++;
  buffer[used] = '\0';
  return used;
}

size_t AppendNumber(char* buffer, size_t used, size_t size, unsigned long value) {
  char digits[24];
  size_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value && n < sizeof digits);
  while (n > 0 && used + 1 < size) buffer[used++] = digits[--n];
  buffer[used] = '\0';
  return used;
}

const char* SignalName(int sig) {
  switch (sig) {
    case SIGSEGV: return "SIGSEGV";
    case SIGABRT: return "SIGABRT";
    case SIGBUS: return "SIGBUS";
    case SIGFPE: return "SIGFPE";
    case SIGILL: return "SIGILL";
    default: return "signal";
  }
}

void WriteText(int fd, const char* text) {
  size_t left = strlen(text);
  while (left > 0) {
    ssize_t n = write(fd, text, left);
    if (n <= 0) return;
    text += n;
    left -= static_cast<size_t>(n);
  }
}

// Only async-signal-safe calls from here on; backtrace() was warmed up at
// install so that it does not load its unwinder now.
void OnFatalSignal(int sig) {
  char path[1200];
  size_t used = Append(path, 0, sizeof path, g_folder);
  used = AppendNumber(path, used, sizeof path, static_cast<unsigned long>(time(nullptr)));
  used = Append(path, used, sizeof path, "-");
  used = AppendNumber(path, used, sizeof path, static_cast<unsigned long>(getpid()));
  Append(path, used, sizeof path, ".txt");

  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd >= 0) {
    char line[64];
    size_t n = Append(line, 0, sizeof line, "signal ");
    n = AppendNumber(line, n, sizeof line, static_cast<unsigned long>(sig));
    n = Append(line, n, sizeof line, " (");
    n = Append(line, n, sizeof line, SignalName(sig));
    Append(line, n, sizeof line, ")\nbacktrace:\n");
    WriteText(fd, g_header);
    WriteText(fd, line);
    void* frames[kMaxFrames];
    int count = backtrace(frames, kMaxFrames);
    backtrace_symbols_fd(frames, count, fd);
    close(fd);
  }
  // SA_RESETHAND has put the default action back: raising again ends the
  // process with this signal (and a core dump where the system keeps them).
  raise(sig);
}

}  // namespace

int InstallCrashHandler(const std::string& app_name, const std::string& version,
                        const std::string& folder, std::string* error) {
  if (g_installed) return 0;
  std::string prefix = folder + "/" + app_name + "-crash-";
  std::string header = app_name + " " + version + " crash report\n";
  if (prefix.size() >= sizeof g_folder || header.size() >= sizeof g_header) {
    if (error) *error = "crash report folder path too long";
    return -1;
  }
  memcpy(g_folder, prefix.c_str(), prefix.size() + 1);
  memcpy(g_header, header.c_str(), header.size() + 1);

  void* warm_up[1];
  backtrace(warm_up, 1);

  stack_t stack{};
  stack.ss_sp = g_alt_stack;
  stack.ss_size = sizeof g_alt_stack;
  if (sigaltstack(&stack, nullptr) != 0) {
    if (error) *error = std::string("sigaltstack failed: ") + strerror(errno);
    return -1;
  }
  struct sigaction action{};
  action.sa_handler = OnFatalSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND | SA_ONSTACK;
  for (size_t i = 0; i < kSignalCount; ++i) {
    if (sigaction(kSignals[i], &action, &g_previous[i]) != 0) {
      if (error) *error = std::string("sigaction failed: ") + strerror(errno);
      for (size_t j = 0; j < i; ++j) sigaction(kSignals[j], &g_previous[j], nullptr);
      return -1;
    }
  }
  g_installed = true;
  return 0;
}

void UninstallCrashHandler() {
  if (!g_installed) return;
  for (size_t i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &g_previous[i], nullptr);
  g_installed = false;
}
