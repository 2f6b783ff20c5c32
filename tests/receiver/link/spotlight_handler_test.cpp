#include "receiver/link/spotlight_handler.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

#include "link_fakes.h"

namespace {

JsonCommand Command(int cmd, const char* from) {
  JsonCommand command;
  command.value = MakeCommand(8, cmd);
  platform::TextToIpv4(from, &command.peer_ip);
  return command;
}

class SpotlightHandlerTest : public testing::Test {
 protected:
  // A stand-in program that runs until it is asked to quit and counts its starts.
  std::string WriteProgram() {
    const std::string path = folder_.Path() + "/spotlight";
    std::ofstream(path) << "#!/bin/sh\necho started >> '" << folder_.Path()
                        << "/starts'\nexec sleep 60\n";
    chmod(path.c_str(), 0755);
    return path;
  }
  int Starts() {
    std::ifstream starts(folder_.Path() + "/starts");
    int count = 0;
    for (std::string line; std::getline(starts, line);) ++count;
    return count;
  }
  size_t SentWithCmd(int cmd) {
    size_t count = 0;
    for (const auto& sent : sender_.Json())
      if (JsonInt(sent.value, "act") == 8 && JsonInt(sent.value, "cmd") == cmd) ++count;
    return count;
  }

  TempFolder folder_;
  ManualClock clock_;
  RecordingSender sender_;
  ClientList clients_{clock_, sender_, 7990};
};

TEST_F(SpotlightHandlerTest, AbsentProgramStillAnswersTheStart) {
  SpotlightHandler handler(clients_, sender_, folder_.Path() + "/spotlight");
  handler.ProcessJsonCommand(Command(1, "10.0.0.5"));
  auto sent = sender_.Json();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].address, "10.0.0.5");
  EXPECT_EQ(sent[0].port, 7991);
  EXPECT_EQ(JsonInt(sent[0].value, "cmd"), 21);
  EXPECT_TRUE(WaitUntil([&] { return !handler.IsRunning(); }));
  EXPECT_EQ(SentWithCmd(22), 0u);
}

TEST_F(SpotlightHandlerTest, StartsOnceAndTellsEveryDeviceWhenItEnds) {
  SpotlightHandler handler(clients_, sender_, WriteProgram());
  clients_.Add("phone", "10.0.0.5");
  clients_.Add("tablet", "10.0.0.6");
  handler.ProcessJsonCommand(Command(1, "10.0.0.5"));
  ASSERT_TRUE(WaitUntil([&] { return Starts() == 1; }));
  handler.ProcessJsonCommand(Command(1, "10.0.0.5"));
  EXPECT_EQ(SentWithCmd(21), 2u);
  EXPECT_TRUE(handler.IsRunning());

  handler.ProcessJsonCommand(Command(2, "10.0.0.5"));
  ASSERT_TRUE(WaitUntil([&] { return !handler.IsRunning(); }));
  EXPECT_EQ(Starts(), 1);
  std::vector<std::string> told;
  for (const auto& sent : sender_.Json())
    if (JsonInt(sent.value, "cmd") == 22) told.push_back(sent.address);
  EXPECT_EQ(told, (std::vector<std::string>{"10.0.0.5", "10.0.0.6"}));
}

TEST_F(SpotlightHandlerTest, RemovedDeviceEndsTheProgram) {
  SpotlightHandler handler(clients_, sender_, WriteProgram());
  clients_.SetRemovalObserver(&handler);
  clients_.Add("phone", "10.0.0.5");
  handler.ProcessJsonCommand(Command(1, "10.0.0.5"));
  ASSERT_TRUE(WaitUntil([&] { return Starts() == 1; }));
  // The program id is known once the launch has been recorded; a quit before
  // that has nothing to end yet, so keep asking through removals.
  ASSERT_TRUE(WaitUntil([&] {
    clients_.Add("phone", "10.0.0.5");
    clients_.Remove("10.0.0.5");
    return !handler.IsRunning();
  }));
  clients_.SetRemovalObserver(nullptr);
}

}  // namespace
