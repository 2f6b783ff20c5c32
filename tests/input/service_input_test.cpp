#include "service/service_input.h"

#include <gtest/gtest.h>

#include <vector>

#include "input/recording_input_sink.h"
#include "platform/socket.h"

namespace {

class CountingPresenter : public PresenterPointerHandler {
 public:
  int ProcessBytePacket(const uint8_t* payload, size_t, uint32_t) override {
    codes.push_back(payload[0]);
    return 0;
  }
  std::vector<uint8_t> codes;
};

TEST(ServiceInput, FirstByteChoosesTheHandler) {
  RecordingInputSink sink;
  ServiceInput input(sink);
  CountingPresenter presenter;
  const uint32_t loopback = platform::LoopbackIpv4();
  const uint8_t presenter_packet[5] = {0xC2, 0x10, 0x00, 0x10, 0x00};

  input.ProcessBytePacket(presenter_packet, 5, loopback);  // no presenter yet: ignored
  input.SetPresenterPointer(&presenter);
  for (uint8_t code : {0x00, 0x10, 0x80, 0xE1, 0xF0, 0xFF, 0xC2, 0x94, 0xA2, 0xB1, 0xD1}) {
    const uint8_t packet[5] = {code, 0x00, 0x01, 0x00, 0x01};
    input.ProcessBytePacket(packet, sizeof packet, loopback);
  }
  input.ProcessBytePacket(nullptr, 0, loopback);

  EXPECT_EQ(presenter.codes, std::vector<uint8_t>{0xC2});
  EXPECT_EQ(sink.calls, (std::vector<std::string>{"mouse 0007 1 1 0", "mouse 8001 1 1 0",
                                                   "key 00 0 0"}));
}

TEST(ServiceInput, OnlyLoopbackInputIsExecuted) {
  RecordingInputSink sink;
  ServiceInput input(sink);
  uint32_t device = 0;
  ASSERT_TRUE(platform::TextToIpv4("10.0.0.5", &device));
  const uint8_t click[5] = {0x94, 0, 0, 0, 0};
  input.ProcessBytePacket(click, sizeof click, device);
  EXPECT_TRUE(sink.calls.empty());
}

}  // namespace
