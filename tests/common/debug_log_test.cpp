#include "common/debug_log.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <regex>

#include "platform/text.h"
#include "support/udp_listener.h"

namespace {

// The prefix: numbers without leading zeros, then four blanks.
const std::regex kPrefix(R"((\d+)-(\d+)-(\d+)-(\d+):(\d+):(\d+)\.(\d+)    )");

// The message after a well-formed prefix. The regex sees only the prefix:
// matching a long message with it would recurse once per character.
std::string MessageOf(const std::string& datagram, std::smatch* prefix = nullptr) {
  size_t blanks = datagram.find("    ");
  if (blanks == std::string::npos) return "<no prefix: " + datagram + ">";
  static std::string head;
  head = datagram.substr(0, blanks + 4);
  std::smatch match;
  if (!std::regex_match(head, match, kPrefix)) return "<bad prefix: " + head + ">";
  for (size_t i = 1; i <= 7; ++i) {
    std::string number = match[i];
    if (number.size() > 1 && number[0] == '0') return "<leading zero: " + head + ">";
  }
  if (prefix) *prefix = match;
  return datagram.substr(blanks + 4);
}

TEST(DebugLog, OneDatagramPerCallWithTimePrefix) {
  UdpListener viewer;
  ASSERT_TRUE(viewer.IsBound());
  DebugLog log(viewer.Port());
  log.Log("Json Command Sent over : %s", "abc");
  auto datagram = viewer.Receive();
  ASSERT_TRUE(datagram);
  EXPECT_EQ(MessageOf(*datagram), "Json Command Sent over : abc");
  std::smatch match;
  MessageOf(*datagram, &match);
  ASSERT_EQ(match.size(), 8u);
  time_t now = time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  EXPECT_EQ(std::stoi(match[1]), local.tm_year + 1900);
  EXPECT_FALSE(viewer.Receive(200)) << "one call, one datagram";
}

TEST(DebugLog, PrefixFormat) {
  EXPECT_EQ(DebugLog::FormatPrefix(2026, 12, 9, 18, 5, 3, 45), "2026-12-9-18:5:3.45    ");
  EXPECT_EQ(DebugLog::FormatPrefix(2027, 1, 31, 0, 0, 0, 0), "2027-1-31-0:0:0.0    ");
}

TEST(DebugLog, TextArrivesAsUtf8InOrderAndPercentIsLiteral) {
  UdpListener viewer;
  DebugLog log(viewer.Port());
  const std::string chinese = "\xE5\xBD\x93\xE5\x89\x8D\xE7\xA8\x8B\xE5\xBA\x8F";  // 当前程序
  log.Log("%s", chinese.c_str());
  log.LogText("100%s done");
  for (int i = 0; i < 50; ++i) log.Log("line %d", i);

  auto first = viewer.Receive();
  ASSERT_TRUE(first);
  EXPECT_EQ(platform::MakeValidUtf8(*first), *first);
  EXPECT_EQ(MessageOf(*first), chinese);
  auto second = viewer.Receive();
  ASSERT_TRUE(second);
  EXPECT_EQ(MessageOf(*second), "100%s done");
  for (int i = 0; i < 50; ++i) {
    auto line = viewer.Receive();
    ASSERT_TRUE(line);
    EXPECT_EQ(MessageOf(*line), "line " + std::to_string(i));
  }
}

TEST(DebugLog, LongMessageIsCutTo4999Characters) {
  UdpListener viewer;
  DebugLog log(viewer.Port());
  log.Log("%s", std::string(6000, 'x').c_str());
  std::string chinese;
  for (int i = 0; i < 6000; ++i) chinese += "\xE4\xB8\xAD";
  log.Log("%s", chinese.c_str());

  auto ascii = viewer.Receive();
  ASSERT_TRUE(ascii);
  EXPECT_EQ(MessageOf(*ascii), std::string(4999, 'x'));
  auto wide = viewer.Receive();
  ASSERT_TRUE(wide);
  std::string message = MessageOf(*wide);
  EXPECT_EQ(platform::Utf8Length(message), 4999u);
  EXPECT_EQ(platform::MakeValidUtf8(message), message);
}

TEST(DebugLog, NothingIsSentAfterStop) {
  UdpListener viewer;
  DebugLog log(viewer.Port());
  log.Log("before");
  ASSERT_TRUE(viewer.Receive());
  log.Stop();
  log.Log("after");
  log.LogText("after");
  EXPECT_FALSE(viewer.Receive(300));
}

TEST(DebugLog, TenThousandCallsWithoutViewerComplete) {
  uint16_t silent_port;
  {
    UdpListener probe;  // a port nobody listens on once the probe is gone
    silent_port = probe.Port();
  }
  auto done = std::async(std::launch::async, [silent_port] {
    DebugLog log(silent_port);
    for (int i = 0; i < 10000; ++i) log.Log("call %d of %s", i, "10000");
    log.Stop();
    return true;
  });
  // A hang (a full queue never drained) is the fault; the limit is generous.
  ASSERT_EQ(done.wait_for(std::chrono::seconds(60)), std::future_status::ready);
  EXPECT_TRUE(done.get());
}

}  // namespace
