#include "client_broadcast.h"

#include "client_list.h"
#include "common/command_sender.h"
#include "common/device_json.h"
#include "device_sender.h"
#include "link_ports.h"

int BroadcastToClients(ClientList& clients, DeviceSender& sender, const Json::Value& message) {
  const std::string text = DeviceJsonText(message);
  int reached = 0;
  for (const ClientRecord& record : clients.Snapshot())
    if (sender.SendJsonCommand(text, record.address, kDeviceTcpPort, kTransportTcp) == 0) ++reached;
  return reached;
}
