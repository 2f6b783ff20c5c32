#include "log_line.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct LineCase {
  const char* name;
  std::string datagram;
  std::string line;
};

// Test names show the case name rather than the bytes of the struct.
void PrintTo(const LineCase& line_case, std::ostream* out) { *out << line_case.name; }

std::string Digits(size_t size) {
  std::string text;
  for (size_t i = 0; i < size; ++i) text += static_cast<char>('0' + i % 10);
  return text;
}

const LineCase kCases[] = {
    {"PlainText", "2026-12-9-18:5:3.45    started", "2026-12-9-18:5:3.45    started"},
    {"PercentSIsLiteral", "Json Command Sent over : %s %d %n", "Json Command Sent over : %s %d %n"},
    {"FirstByteZeroGivesEmptyLine", std::string("\0abc", 4), ""},
    {"CutAtFirstZero", std::string("abc\0def\0", 8), "abc"},
    {"FullBufferWithoutZeroIsWhole", Digits(1500), Digits(1500)},
    {"ChineseIntact", "udp绑定端口错误 客户端已连接", "udp绑定端口错误 客户端已连接"},
    {"InvalidByteReplaced", "a\xff" "b", "a\xEF\xBF\xBD" "b"},
    {"TruncatedSequenceReplacedPerByte", "end \xE4\xB8", "end \xEF\xBF\xBD\xEF\xBF\xBD"},
    {"InvalidBeforeZeroRepairedAfterCut", std::string("x\xC0\0\xff", 4), "x\xEF\xBF\xBD"},
};

class DatagramToLogLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(DatagramToLogLineTest, GivesTheLine) {
  EXPECT_EQ(DatagramToLogLine(GetParam().datagram), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Table, DatagramToLogLineTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<LineCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
