#include "device_emulator.h"

#include <chrono>
#include <poll.h>
#include <random>

#include "common/device_json.h"
#include "device_frame.h"

namespace {

constexpr uint32_t kConnectTimeoutMs = 5000;
constexpr int kPollMs = 50;
constexpr size_t kReceiveBytes = 1500;

std::string NewUid() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  char text[40];
  std::snprintf(text, sizeof text, "%08x-%04x-%04x-%04x-%012llx",
                static_cast<unsigned>(random()), static_cast<unsigned>(random() & 0xFFFF),
                static_cast<unsigned>(random() & 0xFFFF), static_cast<unsigned>(random() & 0xFFFF),
                static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFULL));
  return text;
}

std::vector<uint8_t> JsonBytes(const Json::Value& message) {
  const std::string text = DeviceJsonText(message);
  return std::vector<uint8_t>(text.begin(), text.end());
}

}  // namespace

DeviceEmulator::DeviceEmulator(DeviceOptions options)
    : options_(std::move(options)), answer_keep_alives_(options_.answer_keep_alives) {
  if (options_.uid.empty()) options_.uid = NewUid();
}

int DeviceEmulator::Start() {
  if (running_) return 0;
  udp_ = platform::Socket::Udp();
  listener_ = platform::Socket::Tcp();
  if (!udp_.IsValid() || !udp_.Bind(0, options_.udp_port) || !udp_.SetBroadcast(true) ||
      !listener_.IsValid() || !listener_.Bind(0, options_.tcp_port) || !listener_.Listen(15)) {
    udp_.Close();
    listener_.Close();
    return -1;
  }
  running_ = true;
  receiver_thread_ = std::thread([this] { ReceiveLoop(); });
  sender_thread_ = std::thread([this] { SenderLoop(); });
  return 0;
}

void DeviceEmulator::Stop() {
  if (!running_.exchange(false)) return;
  {
    // Taken so that the sender cannot miss the wake-up between its check and its wait.
    std::lock_guard lock(send_lock_);
  }
  send_wake_.notify_all();
  if (receiver_thread_.joinable()) receiver_thread_.join();
  if (sender_thread_.joinable()) sender_thread_.join();
  connections_.clear();
  udp_.Close();
  listener_.Close();
}

void DeviceEmulator::SetReceiver(const std::string& address) {
  std::lock_guard lock(receiver_lock_);
  receiver_ = address;
}

std::string DeviceEmulator::Receiver() const {
  std::lock_guard lock(receiver_lock_);
  return receiver_;
}

void DeviceEmulator::SetMessageCallback(MessageCallback callback) {
  std::lock_guard lock(messages_lock_);
  callback_ = std::move(callback);
}

// Receiving thread: one poll over the UDP socket, the listener and the open
// connections. The receiver opens one connection per message and closes it.
void DeviceEmulator::ReceiveLoop() {
  while (running_) {
    std::vector<pollfd> fds{{udp_.Fd(), POLLIN, 0}, {listener_.Fd(), POLLIN, 0}};
    for (const Connection& c : connections_) fds.push_back({c.socket.Fd(), POLLIN, 0});
    if (poll(fds.data(), fds.size(), kPollMs) <= 0) continue;
    if (fds[0].revents) ReadDatagram();
    if (fds[1].revents) AcceptConnection();
    // Walk backwards so that closing a connection keeps the earlier indices.
    for (size_t i = fds.size(); i-- > 2;) {
      if (!fds[i].revents) continue;
      if (!ReadConnection(connections_[i - 2])) connections_.erase(connections_.begin() + (i - 2));
    }
  }
}

void DeviceEmulator::ReadDatagram() {
  uint8_t buffer[kReceiveBytes];
  platform::SocketAddress from;
  int n = udp_.RecvFrom(buffer, sizeof buffer, &from);
  if (n <= 0) return;
  ReceivedMessage message;
  message.channel = DeviceChannel::Udp;
  message.from_ip = from.ip;
  message.kind = buffer[0];
  message.payload.assign(buffer + 1, buffer + n);
  if (message.IsKeepAlive() && answer_keep_alives_) {
    const uint8_t answer[2] = {kKindByteStream, 0};
    udp_.SendTo(answer, sizeof answer, from.ip, options_.receiver_udp_port);
  }
  Record(std::move(message));
}

void DeviceEmulator::AcceptConnection() {
  platform::SocketAddress peer;
  platform::Socket socket = listener_.Accept(&peer);
  if (!socket.IsValid()) return;
  connections_.push_back(Connection{std::move(socket), peer.ip, FrameReader()});
}

// False when the connection has ended (closed by the peer, or not framed).
bool DeviceEmulator::ReadConnection(Connection& connection) {
  uint8_t buffer[kReceiveBytes];
  int n = connection.socket.Recv(buffer, sizeof buffer);
  if (n <= 0) return false;
  std::vector<DeviceFrame> frames;
  bool framed = connection.reader.Feed(buffer, static_cast<size_t>(n), &frames);
  for (DeviceFrame& frame : frames) {
    ReceivedMessage message;
    message.channel = DeviceChannel::Tcp;
    message.from_ip = connection.peer_ip;
    message.kind = frame.kind;
    message.payload = std::move(frame.payload);
    Record(std::move(message));
  }
  return framed;
}

void DeviceEmulator::Record(ReceivedMessage message) {
  message.at = std::chrono::steady_clock::now();
  if (message.kind == kKindJson) {
    std::string text(message.payload.begin(), message.payload.end());
    ParseDeviceJson(text, &message.json);
  }
  // Learn where the receiver is from its discovery answer.
  if (message.IsCommand(1, 20) && Receiver().empty())
    SetReceiver(platform::Ipv4ToText(message.from_ip));
  MessageCallback callback;
  {
    std::lock_guard lock(messages_lock_);
    messages_.push_back(message);
    callback = callback_;
  }
  message_arrived_.notify_all();
  if (callback) callback(message);
}

void DeviceEmulator::SenderLoop() {
  std::unique_lock lock(send_lock_);
  for (;;) {
    send_wake_.wait(lock, [this] { return !running_ || !sends_.empty(); });
    if (sends_.empty()) return;  // stopped with nothing left to send
    auto task = std::move(sends_.front());
    sends_.pop_front();
    lock.unlock();
    task();
    lock.lock();
  }
}

int DeviceEmulator::SendTcpFrame(const std::vector<uint8_t>& frame) {
  uint32_t ip = 0;
  if (frame.empty() || !platform::TextToIpv4(Receiver(), &ip)) return -1;
  return RunOnSenderThread(std::packaged_task<int()>([this, ip, frame] {
    platform::Socket socket = platform::Socket::Tcp();
    if (!socket.IsValid() || socket.Connect(ip, options_.receiver_tcp_port, kConnectTimeoutMs) != 0)
      return -1;
    return socket.SendAll(frame.data(), frame.size()) ? 0 : -1;
  }));
}

int DeviceEmulator::RunOnSenderThread(std::packaged_task<int()> task) {
  std::future<int> result = task.get_future();
  {
    std::lock_guard lock(send_lock_);
    if (!running_) return -1;
    sends_.push_back(std::move(task));
  }
  send_wake_.notify_one();
  return result.get();
}

int DeviceEmulator::SendJson(const Json::Value& message, DeviceChannel channel) {
  if (channel == DeviceChannel::Tcp)
    return SendTcpFrame(EncodeFrame(kKindJson, JsonBytes(message)));
  uint32_t ip = 0;
  if (!running_ || !platform::TextToIpv4(Receiver(), &ip)) return -1;
  auto datagram = EncodeDatagram(kKindJson, JsonBytes(message));
  return udp_.SendTo(datagram.data(), datagram.size(), ip, options_.receiver_udp_port) > 0 ? 0 : -1;
}

int DeviceEmulator::SendByteStream(const std::vector<uint8_t>& payload) {
  uint32_t ip = 0;
  if (!running_ || !platform::TextToIpv4(Receiver(), &ip)) return -1;
  auto datagram = EncodeDatagram(kKindByteStream, payload);
  return udp_.SendTo(datagram.data(), datagram.size(), ip, options_.receiver_udp_port) > 0 ? 0 : -1;
}

int DeviceEmulator::Discover(const std::string& destination) {
  uint32_t ip = 0;
  if (!running_ || !platform::TextToIpv4(destination, &ip)) return -1;
  auto datagram = EncodeDatagram(kKindJson, JsonBytes(MakeCommand(1, 0)));
  return udp_.SendTo(datagram.data(), datagram.size(), ip, options_.receiver_udp_port) > 0 ? 0 : -1;
}

int DeviceEmulator::SendRequest(int cmd, Json::Value message) {
  message["act"] = 1;
  message["cmd"] = cmd;
  return SendJson(message, DeviceChannel::Tcp);
}

int DeviceEmulator::Pair(const std::string& password) {
  Json::Value message(Json::objectValue);
  message["password"] = password;
  message["name"] = options_.name;
  message["uid"] = options_.uid;
  return SendRequest(1, std::move(message));
}

int DeviceEmulator::StartMirroring(int width, int height, int rotation) {
  Json::Value message = MakeCommand(7, 1);
  message["width"] = width;
  message["height"] = height;
  message["rotation"] = rotation;
  return SendJson(message, DeviceChannel::Tcp);
}

int DeviceEmulator::RotateMirror(int rotation) {
  Json::Value message = MakeCommand(7, 3);
  message["rotation"] = rotation;
  return SendJson(message, DeviceChannel::Tcp);
}

int DeviceEmulator::StopMirroring() { return SendJson(MakeCommand(7, 2), DeviceChannel::Tcp); }

int DeviceEmulator::ConnectMirrorStream(device::ChunkSender* sender, uint16_t port) {
  const std::string receiver = Receiver();
  if (receiver.empty()) return -1;
  return RunOnSenderThread(std::packaged_task<int()>(
      [sender, receiver, port] { return sender->Connect(receiver, port, kConnectTimeoutMs); }));
}

int DeviceEmulator::Disconnect() { return SendRequest(3, Json::Value(Json::objectValue)); }
int DeviceEmulator::RequestInfo() { return SendRequest(4, Json::Value(Json::objectValue)); }
int DeviceEmulator::RequestLockState() { return SendRequest(5, Json::Value(Json::objectValue)); }

std::optional<ReceivedMessage> DeviceEmulator::DiscoverAndWait(const std::string& destination,
                                                               uint32_t timeout_ms) {
  const size_t from = MessageCount();
  if (Discover(destination) != 0) return std::nullopt;
  return WaitForCommand(1, 20, timeout_ms, from);
}

std::string DeviceEmulator::PairAndWait(const std::string& password, uint32_t timeout_ms) {
  const size_t from = MessageCount();
  if (Pair(password) != 0) return {};
  auto answer = WaitForCommand(1, 22, timeout_ms, from);
  return answer ? JsonString(answer->json, "result") : std::string();
}

size_t DeviceEmulator::MessageCount() const {
  std::lock_guard lock(messages_lock_);
  return messages_.size();
}

std::vector<ReceivedMessage> DeviceEmulator::Messages() const {
  std::lock_guard lock(messages_lock_);
  return messages_;
}

std::optional<ReceivedMessage> DeviceEmulator::WaitFor(const MessagePredicate& match,
                                                       uint32_t timeout_ms, size_t from_index,
                                                       size_t* found_index) const {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  std::unique_lock lock(messages_lock_);
  size_t next = from_index;
  for (;;) {
    for (; next < messages_.size(); ++next) {
      if (!match(messages_[next])) continue;
      if (found_index) *found_index = next;
      return messages_[next];
    }
    if (message_arrived_.wait_until(lock, deadline) == std::cv_status::timeout &&
        next >= messages_.size())
      return std::nullopt;
  }
}

std::optional<ReceivedMessage> DeviceEmulator::WaitForCommand(int act, int cmd,
                                                              uint32_t timeout_ms,
                                                              size_t from_index) const {
  return WaitFor([act, cmd](const ReceivedMessage& m) { return m.IsCommand(act, cmd); },
                 timeout_ms, from_index);
}
