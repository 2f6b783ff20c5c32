#include "receiver/link/packet_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "link_fakes.h"

namespace {

std::unique_ptr<Packet> Numbered(uint8_t n) {
  auto packet = std::make_unique<Packet>();
  packet->payload = {n};
  return packet;
}

TEST(PacketQueueTest, KeepsArrivalOrder) {
  PacketQueue queue;
  for (uint8_t n = 0; n < 5; ++n) queue.Push(Numbered(n));
  for (uint8_t n = 0; n < 5; ++n) {
    std::unique_ptr<Packet> packet;
    ASSERT_TRUE(queue.Pop(&packet, 0));
    EXPECT_EQ(packet->payload[0], n);
  }
  std::unique_ptr<Packet> none;
  EXPECT_FALSE(queue.Pop(&none, 0));
}

TEST(PacketQueueTest, ProducerOfThe256thPacketWaitsForTheConsumer) {
  PacketQueue queue;
  for (int n = 0; n < PacketQueue::kCapacity; ++n) queue.Push(Numbered(static_cast<uint8_t>(n)));
  std::atomic<bool> pushed{false};
  std::thread producer([&] {
    queue.Push(Numbered(0xEE));
    pushed = true;
  });
  // The producer is parked on the free-slot count while the queue is full.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(pushed);
  EXPECT_EQ(queue.Size(), 255u);

  std::unique_ptr<Packet> first;
  ASSERT_TRUE(queue.Pop(&first, 0));
  EXPECT_EQ(first->payload[0], 0);
  EXPECT_TRUE(WaitUntil([&] { return pushed.load(); }));
  producer.join();
  EXPECT_EQ(queue.Size(), 255u);
}

TEST(PacketQueueTest, EmptyPointerIsDeliveredAsEndRequest) {
  PacketQueue queue;
  queue.Push(Numbered(1));
  queue.Push(nullptr);
  std::unique_ptr<Packet> packet;
  ASSERT_TRUE(queue.Pop(&packet));
  EXPECT_TRUE(packet);
  ASSERT_TRUE(queue.Pop(&packet));
  EXPECT_FALSE(packet);
}

}  // namespace
