// Records the device-link notifications posted while it lives.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "receiver/core/notification_center.h"

class NotificationRecorder : public SWINotificationObserver {
 public:
  NotificationRecorder() {
    for (const char* name : {kClientConnectedNotification, kFirstClientConnectedNotification,
                             kClientDisconnectedNotification, kAllClientsDisconnectedNotification})
      NotificationCenter::Instance().Subscribe(name, this);
  }
  ~NotificationRecorder() override { NotificationCenter::Instance().UnsubscribeAll(this); }

  void OnNotification(const std::string& name, const void* payload) override {
    std::string entry = name;
    if (name == kClientConnectedNotification || name == kClientDisconnectedNotification)
      entry += " " + *static_cast<const std::string*>(payload);
    std::lock_guard lock(lock_);
    entries_.push_back(entry);
  }
  std::vector<std::string> Entries() {
    std::lock_guard lock(lock_);
    return entries_;
  }

 private:
  std::mutex lock_;
  std::vector<std::string> entries_;
};
