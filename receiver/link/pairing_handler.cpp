#include "pairing_handler.h"

#include "client_broadcast.h"
#include "client_list.h"
#include "common/command_sender.h"
#include "common/device_json.h"
#include "common/settings_store.h"
#include "device_sender.h"
#include "link_ports.h"

namespace {

constexpr int kAct = 1;

enum Command {
  kDiscover = 0,
  kPair = 1,
  kDisconnect = 3,
  kInformation = 4,
  kLockState = 5,
  kDiscoverReply = 20,
  kPairReply = 22,
  kReplaced = 23,
  kInformationReply = 24,
  kLocked = 25,
  kUnlocked = 26,
  kLockStateReply = 27,
};

// The short code shown with the connection code.
std::string QrCodeId(const std::string& uid) {
  return uid.size() <= 4 ? uid : uid.substr(uid.size() - 4);
}

}  // namespace

PairingHandler& PairingHandler::Instance() {
  static PairingHandler* handler = new PairingHandler(
      SettingsStore::Instance(), ClientList::Instance(), NetworkDeviceSender::Instance());
  return *handler;
}

PairingHandler::PairingHandler(SettingsStore& settings, ClientList& clients, DeviceSender& sender)
    : settings_(settings), clients_(clients), sender_(sender) {}

int PairingHandler::ProcessJsonCommand(const JsonCommand& command) {
  const std::string peer = command.PeerText();
  switch (JsonInt(command.value, "cmd")) {
    case kDiscover: AnswerDiscovery(peer); break;
    case kPair: Pair(command, peer); break;
    case kDisconnect: clients_.Remove(peer); break;
    case kInformation: AnswerInformation(peer); break;
    case kLockState: AnswerLockState(peer); break;
    default: break;
  }
  return 0;
}

int PairingHandler::ProcessBytePacket(const Packet& packet) {
  if (!packet.payload.empty() && packet.payload[0] == 0x00) clients_.Touch(packet.PeerText());
  return 0;
}

Json::Value PairingHandler::IdentityReply(int cmd) {
  std::string uid, name, version, password;
  settings_.GetDeviceId(&uid);
  settings_.GetDeviceName(&name);
  settings_.GetVersionText(&version);
  settings_.GetPassword(&password);
  Json::Value reply = MakeCommand(kAct, cmd);
  reply["uid"] = uid;
  reply["name"] = name;
  reply["ver"] = version;
  reply["need_password"] = !password.empty();
  return reply;
}

void PairingHandler::AnswerDiscovery(const std::string& peer) {
  Json::Value reply = IdentityReply(kDiscoverReply);
  sender_.SendJsonCommand(DeviceJsonText(reply), peer, kDeviceUdpPort, kTransportUdp);
}

void PairingHandler::AnswerInformation(const std::string& peer) {
  Json::Value reply = IdentityReply(kInformationReply);
  reply["qrcodeid"] = QrCodeId(reply["uid"].asString());
  Reply(peer, DeviceJsonText(reply));
}

void PairingHandler::Pair(const JsonCommand& command, const std::string& peer) {
  const std::string offered = JsonString(command.value, "password");
  const std::string device_name = JsonString(command.value, "name");
  const std::string device_uid = JsonString(command.value, "uid");
  std::string stored, uid;
  settings_.GetPassword(&stored);
  settings_.GetDeviceId(&uid);

  Json::Value reply = MakeCommand(kAct, kPairReply);
  reply["uid"] = uid;
  if (offered != stored) {
    reply["result"] = "0";
    Reply(peer, DeviceJsonText(reply));
    return;
  }
  const std::string owner = clients_.OwnerId();
  if (!owner.empty() && owner != device_uid) {
    reply["result"] = "2";  // the receiver belongs to another device
    Reply(peer, DeviceJsonText(reply));
    return;
  }
  const std::string replaced = clients_.RemoveFirst();
  clients_.SetOwnerId(device_uid);
  if (!replaced.empty() && replaced != peer) {
    Json::Value notice = MakeCommand(kAct, kReplaced);
    notice["uid"] = uid;
    notice["code"] = 1;
    Reply(replaced, DeviceJsonText(notice));
  }
  clients_.Add(device_name, peer);
  reply["result"] = "1";
  Reply(peer, DeviceJsonText(reply));
}

void PairingHandler::AnswerLockState(const std::string& peer) {
  Json::Value reply = MakeCommand(kAct, kLockStateReply);
  reply["value"] = locked_.load();
  Reply(peer, DeviceJsonText(reply));
}

void PairingHandler::SetLocked() {
  locked_ = true;
  Broadcast(kLocked);
}

void PairingHandler::SetUnlocked() {
  locked_ = false;
  Broadcast(kUnlocked);
}

void PairingHandler::Broadcast(int cmd) {
  BroadcastToClients(clients_, sender_, MakeCommand(kAct, cmd));
}

void PairingHandler::Reply(const std::string& peer, const std::string& json) {
  sender_.SendJsonCommand(json, peer, kDeviceTcpPort, kTransportTcp);
}
