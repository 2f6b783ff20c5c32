// One JSON message to every paired device, in list order, one TCP 7991
// connection each. The list is copied first, so no lock is held while
// unreachable devices make the sender wait.
#pragma once

#include <json/value.h>

class ClientList;
class DeviceSender;

// Returns the number of devices the message reached.
int BroadcastToClients(ClientList& clients, DeviceSender& sender, const Json::Value& message);
