// An emulated companion device: it listens where a phone listens (UDP 7990
// and TCP 7991), answers the receiver's keep-alives, records every message
// it receives, and sends the device's requests: discovery, pairing,
// information, lock state, disconnect, or any JSON or byte-stream message.
//
// Namespaces: every socket of the emulator is created by Start or on the
// emulator's own threads, which Start creates. Calling Start on a thread that
// has entered a network namespace therefore puts the whole device there,
// whatever thread calls the other operations later.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <json/value.h>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "device_frame.h"
#include "mirror_source.h"
#include "platform/socket.h"
#include "received_message.h"

struct DeviceOptions {
  std::string name = "vpdevice";
  std::string uid;  // generated when empty
  uint16_t udp_port = 7990;
  uint16_t tcp_port = 7991;
  uint16_t receiver_udp_port = 7990;
  uint16_t receiver_tcp_port = 7991;
  bool answer_keep_alives = true;
};

class DeviceEmulator {
 public:
  using MessagePredicate = std::function<bool(const ReceivedMessage&)>;
  using MessageCallback = std::function<void(const ReceivedMessage&)>;

  explicit DeviceEmulator(DeviceOptions options = {});
  DeviceEmulator(const DeviceEmulator&) = delete;
  DeviceEmulator& operator=(const DeviceEmulator&) = delete;
  ~DeviceEmulator() { Stop(); }

  // Binds both ports on every address and starts the threads. 0, or -1 when
  // a port cannot be bound.
  int Start();
  void Stop();

  const std::string& Uid() const { return options_.uid; }
  const std::string& Name() const { return options_.name; }
  // Where requests go; learnt from the discovery answer when not set.
  void SetReceiver(const std::string& address);
  std::string Receiver() const;
  void SetAnswerKeepAlives(bool on) { answer_keep_alives_ = on; }
  // Runs on the emulator's receiving thread for every message, after it has
  // been recorded.
  void SetMessageCallback(MessageCallback callback);

  // act 1 cmd 0 by UDP to destination (a receiver, or a broadcast address).
  int Discover(const std::string& destination);
  // act 1 cmd 1 with "password", "name" and "uid", by TCP.
  int Pair(const std::string& password);
  // act 1 cmd 3, 4, 5 by TCP.
  int Disconnect();
  int RequestInfo();
  int RequestLockState();
  // Any message to the receiver. 0 when sent, -1 otherwise.
  int SendJson(const Json::Value& message, DeviceChannel channel);
  int SendByteStream(const std::vector<uint8_t>& payload);

  // Screen mirroring: act 7 cmd 1 (size and rotation), cmd 3 (rotation) and
  // cmd 2 by TCP; the receiver accepts them from a paired device only.
  int StartMirroring(int width, int height, int rotation);
  int RotateMirror(int rotation);
  int StopMirroring();
  // Connects sender to the receiver's mirror stream port from the emulator's
  // own thread, so that the connection lies in the device's network
  // namespace. 0, the socket error code, or -1 while the receiver is unknown.
  static constexpr uint16_t kMirrorStreamPort = 7994;
  int ConnectMirrorStream(device::ChunkSender* sender, uint16_t port = kMirrorStreamPort);

  // The discovery answer (act 1 cmd 20), learning the receiver's address.
  std::optional<ReceivedMessage> DiscoverAndWait(const std::string& destination,
                                                 uint32_t timeout_ms);
  // The "result" of the pairing answer (act 1 cmd 22), empty on time-out.
  std::string PairAndWait(const std::string& password, uint32_t timeout_ms);

  size_t MessageCount() const;
  std::vector<ReceivedMessage> Messages() const;
  // The first message at index from_index or later that matches, waiting at
  // most timeout_ms for it; found_index gets its index.
  std::optional<ReceivedMessage> WaitFor(const MessagePredicate& match, uint32_t timeout_ms,
                                         size_t from_index = 0,
                                         size_t* found_index = nullptr) const;
  std::optional<ReceivedMessage> WaitForCommand(int act, int cmd, uint32_t timeout_ms,
                                                size_t from_index = 0) const;

 private:
  struct Connection {
    platform::Socket socket;
    uint32_t peer_ip = 0;
    FrameReader reader;
  };

  void ReceiveLoop();
  void ReadDatagram();
  void AcceptConnection();
  bool ReadConnection(Connection& connection);
  void Record(ReceivedMessage message);
  void SenderLoop();
  int SendTcpFrame(const std::vector<uint8_t>& frame);
  // Runs task on the sender thread (inside the device's namespace); -1 when
  // the emulator is stopped.
  int RunOnSenderThread(std::packaged_task<int()> task);
  int SendRequest(int cmd, Json::Value message);

  DeviceOptions options_;
  std::atomic<bool> answer_keep_alives_;
  std::atomic<bool> running_{false};
  platform::Socket udp_;
  platform::Socket listener_;
  std::vector<Connection> connections_;  // receiving thread only
  std::thread receiver_thread_;

  mutable std::mutex receiver_lock_;
  std::string receiver_;

  // TCP sends run on the sender thread, so that their sockets are opened in
  // the emulator's network namespace.
  std::mutex send_lock_;
  std::condition_variable send_wake_;
  std::deque<std::packaged_task<int()>> sends_;
  std::thread sender_thread_;

  mutable std::mutex messages_lock_;
  mutable std::condition_variable message_arrived_;
  std::vector<ReceivedMessage> messages_;
  MessageCallback callback_;
};
