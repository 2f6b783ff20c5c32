#include "receiver/core/receiver_options.h"

#include <gtest/gtest.h>

namespace {

struct OptionsCase {
  std::vector<std::string> args;
  bool to_tray;
  bool headless;
};

void PrintTo(const OptionsCase& c, std::ostream* os) {
  *os << "[";
  for (const std::string& arg : c.args) *os << " " << arg;
  *os << " ]";
}

class ReceiverOptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(ReceiverOptionsTest, SwitchesAreFoundAnywhereAndOnlyExactly) {
  const ReceiverOptions options = ParseReceiverOptions(GetParam().args);
  EXPECT_EQ(options.to_tray, GetParam().to_tray);
  EXPECT_EQ(options.headless, GetParam().headless);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ReceiverOptionsTest,
    ::testing::Values(OptionsCase{{}, false, false},
                      OptionsCase{{"-toTray"}, true, false},
                      OptionsCase{{"a", "-toTray", "b"}, true, false},
                      OptionsCase{{"-totray", "-toTrayX", "toTray"}, false, false},
                      OptionsCase{{"x", "--headless", "-toTray"}, true, true}));

}  // namespace
