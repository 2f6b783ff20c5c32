#include "json_reply_sender.h"

#include "common/command_sender.h"

int DeviceReplySender::SendReply(const std::string& json, const std::string& address) {
  return SendJsonCommand(json, address, kDevicePort, kTransportTcp);
}
