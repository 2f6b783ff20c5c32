// The real LogWatch program on a desktop: datagrams go to its fixed port on
// loopback, xdotool presses its keys and xclip reads what Ctrl+C copied.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/process.h"
#include "platform/socket.h"
#include "platform/system.h"
#include "support/private_network.h"

namespace {

using namespace std::chrono_literals;

constexpr uint16_t kLogPort = 58372;
constexpr auto kDeadline = 20s;
constexpr auto kPollPause = 100ms;
const char* const kBindErrorText = "udp绑定端口错误";

// The output of a shell command; the commands carry their own time-outs.
std::string Run(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char chunk[4096];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, got);
  int result = pclose(pipe);
  if (status) *status = result;
  return out;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<unsigned long> WindowIds(const std::string& xdotool_output) {
  std::vector<unsigned long> ids;
  for (const std::string& line : SplitLines(xdotool_output)) {
    if (!line.empty()) ids.push_back(std::stoul(line));
  }
  return ids;
}

// Visible windows of the process, narrowed by an xdotool pattern when given.
std::vector<unsigned long> VisibleWindows(int pid, const std::string& criteria = "") {
  return WindowIds(Run("timeout 10 xdotool search --all --onlyvisible --pid " +
                       std::to_string(pid) + " " + criteria + " 2>/dev/null"));
}

// One property of a window as text, quotes removed ("" when it is empty).
std::string WindowProperty(unsigned long window, const std::string& property) {
  std::string out =
      Run("timeout 10 xprop -id " + std::to_string(window) + " " + property + " 2>/dev/null");
  size_t equals = out.find(" = ");
  if (equals == std::string::npos) return "";
  std::string value = out.substr(equals + 3);
  while (!value.empty() && (value.back() == '\n' || value.back() == ' ')) value.pop_back();
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

bool IsDialog(unsigned long window) {
  return WindowProperty(window, "_NET_WM_WINDOW_TYPE") == "_NET_WM_WINDOW_TYPE_DIALOG";
}

// Focuses the window and presses the keys there (xdotool key syntax).
void PressKeys(unsigned long window, const std::string& keys) {
  Run("timeout 10 xdotool windowactivate --sync " + std::to_string(window) +
      " key --clearmodifiers " + keys + " >/dev/null 2>&1");
}

// False when nobody serves the clipboard.
bool ReadClipboard(std::string* text) {
  int status = -1;
  *text = Run("timeout 10 xclip -selection clipboard -o 2>/dev/null", &status);
  return status == 0;
}

class LogWatchDesktopTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no desktop: DISPLAY is not set";
    EnterPrivateNetwork();
    sender_ = platform::Socket::Udp();
    ASSERT_TRUE(sender_.IsValid());
    tag_ = std::to_string(::getpid()) + "-" + std::to_string(++test_counter_);

    viewer_ = StartViewer();
    ASSERT_GT(viewer_, 0);
    window_ = WaitForMainWindow(viewer_);
    ASSERT_NE(window_, 0u) << "LogWatch showed no main window";
    ASSERT_TRUE(WaitUntilListening()) << "LogWatch never showed a line sent to its port";
  }

  // Every process the test started ends with it, whatever the outcome. None
  // of them has been reaped yet, so each id still names our own child.
  void TearDown() override {
    for (int pid : started_) {
      ::kill(pid, SIGKILL);
      platform::WaitProcess(pid, 10000);
    }
    started_.clear();
  }

  // True when the viewer ended by itself; a reaped id leaves the list, since
  // the system may give it to another process.
  bool WaitForExit(int pid, int* exit_code) {
    if (!platform::WaitProcess(pid, 10000, exit_code)) return false;
    std::erase(started_, pid);
    return true;
  }

  int StartViewer() {
    int pid = platform::StartProcess(platform::ProgramFolder() + "/LogWatch", {});
    if (pid > 0) started_.push_back(pid);
    return pid;
  }

  static unsigned long WaitForMainWindow(int pid) {
    auto end = std::chrono::steady_clock::now() + kDeadline;
    while (std::chrono::steady_clock::now() < end) {
      for (unsigned long window : VisibleWindows(pid, "--class '^TamselSync_LogWatchClass$'")) {
        if (WindowProperty(window, "_NET_WM_NAME") == "LogWatch") return window;
      }
      std::this_thread::sleep_for(kPollPause);
    }
    return 0;
  }

  void Send(const std::string& bytes) {
    int sent = sender_.SendTo(bytes.data(), bytes.size(), platform::LoopbackIpv4(), kLogPort);
    ASSERT_EQ(sent, static_cast<int>(bytes.size()));
  }

  // Presses the keys in the window until the clipboard holds text that
  // satisfies accept, or the deadline passes. The last text read goes to seen.
  template <typename Accept>
  bool CopyUntil(unsigned long window, const std::string& keys, Accept accept,
                 std::string* seen = nullptr) {
    auto end = std::chrono::steady_clock::now() + kDeadline;
    std::string text;
    bool accepted = false;
    while (!accepted && std::chrono::steady_clock::now() < end) {
      PressKeys(window, keys);
      accepted = ReadClipboard(&text) && accept(text);
      if (!accepted) std::this_thread::sleep_for(kPollPause);
    }
    if (seen) *seen = text;
    return accepted;
  }

  bool CopyEquals(unsigned long window, const std::string& keys, const std::string& expected) {
    std::string seen;
    bool ok = CopyUntil(
        window, keys, [&](const std::string& text) { return text == expected; }, &seen);
    EXPECT_TRUE(ok) << "expected \"" << expected << "\", last copied \"" << seen << "\"";
    return ok;
  }

  // The viewer binds its port on its own thread: send probe lines until one
  // is shown selected.
  bool WaitUntilListening() {
    std::string probe_prefix = "probe " + tag_ + " ";
    int probe = 0;
    return CopyUntil(window_, "ctrl+c", [&](const std::string& text) {
      if (text.rfind(probe_prefix, 0) == 0) return true;
      Send(probe_prefix + std::to_string(++probe));
      return false;
    });
  }

  // Every line of the list (Ctrl+A, Ctrl+C) that belongs to this test: it
  // carries the tag and is no probe, or it is empty.
  std::vector<std::string> OwnLines() {
    std::string all;
    EXPECT_TRUE(CopyUntil(window_, "ctrl+a ctrl+c", [](const std::string&) { return true; }, &all));
    std::vector<std::string> own;
    for (const std::string& line : SplitLines(all)) {
      bool tagged = line.find(tag_) != std::string::npos && line.rfind("probe ", 0) != 0;
      if (tagged || line.empty()) own.push_back(line);
    }
    return own;
  }

  static inline int test_counter_ = 0;
  std::string tag_;
  platform::Socket sender_;
  std::vector<int> started_;
  int viewer_ = -1;
  unsigned long window_ = 0;
};

TEST_F(LogWatchDesktopTest, BurstIsListedInOrderWithTheLastLineSelected) {
  std::vector<std::string> sent;
  for (int i = 0; i < 500; ++i) {
    sent.push_back("2026-12-9-18:5:3.45    burst " + tag_ + " line " + std::to_string(i));
    Send(sent.back());
  }
  // Ctrl+C alone copies the selection: only the newest line.
  ASSERT_TRUE(CopyEquals(window_, "ctrl+c", sent.back()));
  EXPECT_EQ(OwnLines(), sent);
}

TEST_F(LogWatchDesktopTest, PercentSignsAreShownLiterally) {
  std::string line = "Json Command Sent over : %s %d %n %% " + tag_;
  Send(line);
  CopyEquals(window_, "ctrl+c", line);
}

TEST_F(LogWatchDesktopTest, FullSizeDatagramIsShownWhole) {
  std::string line = "full " + tag_ + " ";
  while (line.size() < 1500) line += static_cast<char>('a' + line.size() % 26);
  ASSERT_EQ(line.size(), 1500u);
  Send(line);
  CopyEquals(window_, "ctrl+c", line);
}

TEST_F(LogWatchDesktopTest, EmptyDatagramAddsNothingAndLeadingZeroAddsEmptyLine) {
  std::string before = "before " + tag_;
  std::string after = "after " + tag_;
  Send(before);
  Send("");
  Send(std::string("\0cut away", 9));
  Send("中文 " + tag_ + " \xff");
  Send(after);
  ASSERT_TRUE(CopyEquals(window_, "ctrl+c", after));
  std::vector<std::string> expected = {before, "", "中文 " + tag_ + " \xEF\xBF\xBD", after};
  EXPECT_EQ(OwnLines(), expected);
}

TEST_F(LogWatchDesktopTest, AboutBoxOpensOnAltQuestionAndAltSlash) {
  struct Case {
    const char* open_keys;
    const char* close_keys;
  };
  for (Case c : {Case{"alt+question", "Escape"}, Case{"alt+slash", "Return"}}) {
    SCOPED_TRACE(c.open_keys);
    PressKeys(window_, c.open_keys);
    std::vector<unsigned long> about;
    auto end = std::chrono::steady_clock::now() + kDeadline;
    while (about.empty() && std::chrono::steady_clock::now() < end) {
      about = VisibleWindows(viewer_, "--name '^About LogWatch$'");
      if (about.empty()) std::this_thread::sleep_for(kPollPause);
    }
    ASSERT_EQ(about.size(), 1u) << "no About box";
    EXPECT_TRUE(IsDialog(about[0]));
    PressKeys(about[0], c.close_keys);
    end = std::chrono::steady_clock::now() + kDeadline;
    while (!VisibleWindows(viewer_, "--name '^About LogWatch$'").empty() &&
           std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(kPollPause);
    }
    EXPECT_TRUE(VisibleWindows(viewer_, "--name '^About LogWatch$'").empty()) << c.close_keys;
  }
}

TEST_F(LogWatchDesktopTest, SecondViewerShowsTheBindErrorAndStaysEmpty) {
  int second = StartViewer();
  ASSERT_GT(second, 0);
  unsigned long second_window = WaitForMainWindow(second);
  ASSERT_NE(second_window, 0u);

  // The error comes as a dialog of the second viewer without a caption.
  unsigned long box = 0;
  auto end = std::chrono::steady_clock::now() + kDeadline;
  while (!box && std::chrono::steady_clock::now() < end) {
    for (unsigned long window : VisibleWindows(second)) {
      if (IsDialog(window)) box = window;
    }
    if (!box) std::this_thread::sleep_for(kPollPause);
  }
  ASSERT_NE(box, 0u) << "the second viewer showed no message box";
  EXPECT_EQ(WindowProperty(box, "_NET_WM_NAME"), "");
  ASSERT_TRUE(CopyEquals(box, "ctrl+c", kBindErrorText));

  // OK closes the box; the second viewer stays open.
  PressKeys(box, "Return");
  end = std::chrono::steady_clock::now() + kDeadline;
  while (IsDialog(box) && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(kPollPause);
  }
  EXPECT_FALSE(IsDialog(box)) << "OK did not close the message box";
  EXPECT_TRUE(platform::IsProcessRunning(second));

  // A line still reaches the first viewer only; the second lists nothing.
  std::string line = "only first " + tag_;
  Send(line);
  CopyEquals(window_, "ctrl+c", line);
  CopyEquals(second_window, "ctrl+a ctrl+c", "");
}

TEST_F(LogWatchDesktopTest, ClosingTheWindowEndsTheProgramAndFreesThePort) {
  PressKeys(window_, "alt+F4");  // the window manager's close
  int exit_code = -1;
  ASSERT_TRUE(WaitForExit(viewer_, &exit_code)) << "LogWatch is still running";
  EXPECT_EQ(exit_code, 0);
  platform::Socket port = platform::Socket::Udp();
  EXPECT_TRUE(port.Bind(0, kLogPort)) << "the port was not released";
}

}  // namespace
