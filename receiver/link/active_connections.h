// The connections a listener's workers are serving, so that stopping the
// listener can wake workers blocked in a receive. Workers add their socket
// when they start and remove it before they close it.
#pragma once

#include <mutex>
#include <set>

#include "platform/socket.h"

class ActiveConnections {
 public:
  // False once ShutdownAll has run: the caller closes the socket at once.
  bool Add(platform::Socket* socket) {
    std::lock_guard lock(lock_);
    if (closed_) return false;
    sockets_.insert(socket);
    return true;
  }
  void Remove(platform::Socket* socket) {
    std::lock_guard lock(lock_);
    sockets_.erase(socket);
  }
  // Ends both directions of every connection; later Adds are refused.
  void ShutdownAll() {
    std::lock_guard lock(lock_);
    closed_ = true;
    for (platform::Socket* socket : sockets_) socket->Shutdown();
  }

 private:
  std::mutex lock_;
  std::set<platform::Socket*> sockets_;
  bool closed_ = false;
};
