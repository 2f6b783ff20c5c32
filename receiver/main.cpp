// Entry of the receiver, Velaport: the start-up steps in their order, the
// main loop, and the shutdown that every ending (window closed, SIGINT,
// SIGTERM) goes through.
#include <cstdio>
#include <string>
#include <vector>

#include "common/crash_handler.h"
#include "common/debug_log.h"
#include "common/product_version.h"
#include "common/user_folder.h"
#include "platform/display.h"
#include "platform/system.h"
#include "receiver/core/instance_guard.h"
#include "receiver/core/main_thread_dispatcher.h"
#include "receiver/core/receiver_options.h"
#include "receiver/core/service_starter.h"
#include "receiver/core/termination_signals.h"
#include "receiver/receiver_session.h"

namespace {

constexpr uint32_t kLogFlushMs = 1000;

void InstallCrashReporter() {
  std::string error;
  if (InstallCrashHandler("Velaport", ProductVersionText(), UserFolderPath(), &error) != 0)
    std::printf("%s\n", error.c_str());
}

// A second start asks us to come to the front. The request arrives on the
// guard's thread; the answer belongs to the main thread.
void OnShowRequested() {
  MainThreadDispatcher::Instance().Post([] { ShowMainWindow(); });
}

// The last lines (the second start's message above all) must reach the log
// channel before the process ends.
int EndProcess(int code) {
  if (DebugLog* log = DebugLog::Process()) log->Flush(kLogFlushMs);
  DebugLog::StopProcessLog();
  UninstallCrashHandler();
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  DebugLog::StartProcessLog();
  InstallCrashReporter();
  CreateUserFolder();

  ReceiverInstanceGuard instance;
  if (instance.Take(OnShowRequested) != 0) return EndProcess(1);
  if (StartServiceIfNeeded(platform::ProgramFolder()) != 0) return EndProcess(1);

  ReceiverOptions options = ParseReceiverOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!options.headless && !platform::CanOpenDisplay()) {
    VPLog("no display, running headless");
    options.headless = true;
  }

  TerminationSignals signals;
  signals.Start([] { MainThreadDispatcher::Instance().Quit(0); });
  const int result = RunReceiverSession(options);
  signals.Stop();

  SendServiceQuit();
  return EndProcess(result);
}
