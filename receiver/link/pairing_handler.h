// Act 1 of the device protocol: discovery, information, pairing with the
// optional password, disconnect and the PC lock state; and the byte-stream
// keep-alive answer (class 0x00). The receiver serves one device at a time:
// a successful pairing replaces the device connected before, and while a
// device owns the receiver another one is refused.
//
// Replies: discovery goes to the device's UDP 7990, everything else to its
// TCP 7991 (see link_ports.h).
#pragma once

#include <atomic>
#include <string>

#include "command_handler.h"

class ClientList;
class DeviceSender;
class SettingsStore;

class PairingHandler : public JsonCommandHandler, public BytePacketHandler {
 public:
  // Over the user's settings, the process-wide client list and the network.
  static PairingHandler& Instance();

  PairingHandler(SettingsStore& settings, ClientList& clients, DeviceSender& sender);

  // Packet-processing thread. Returns 0.
  int ProcessJsonCommand(const JsonCommand& command) override;
  // A first byte 0x00 refreshes the device; other class-0x00 bytes are
  // ignored. Returns 0.
  int ProcessBytePacket(const Packet& packet) override;

  // The desktop was locked or unlocked: records the state and tells every
  // paired device (cmd 25, cmd 26). Any thread.
  void SetLocked();
  void SetUnlocked();
  bool IsLocked() const { return locked_; }

 private:
  // The receiver's identity members ("uid", "name", "ver", "need_password").
  Json::Value IdentityReply(int cmd);
  void AnswerDiscovery(const std::string& peer);
  void AnswerInformation(const std::string& peer);
  void Pair(const JsonCommand& command, const std::string& peer);
  void AnswerLockState(const std::string& peer);
  void Broadcast(int cmd);
  void Reply(const std::string& peer, const std::string& json);

  SettingsStore& settings_;
  ClientList& clients_;
  DeviceSender& sender_;
  std::atomic<bool> locked_{false};
};
