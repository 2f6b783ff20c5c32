#include "notification_center.h"

#include <algorithm>

NotificationCenter& NotificationCenter::Instance() {
  static NotificationCenter center;
  return center;
}

void NotificationCenter::Subscribe(const std::string& name, SWINotificationObserver* observer) {
  std::lock_guard lock(lock_);
  observers_[name].push_back(observer);
}

void NotificationCenter::Unsubscribe(const std::string& name, SWINotificationObserver* observer) {
  std::lock_guard lock(lock_);
  std::erase(observers_[name], observer);
}

void NotificationCenter::UnsubscribeAll(SWINotificationObserver* observer) {
  std::lock_guard lock(lock_);
  for (auto& [name, list] : observers_) std::erase(list, observer);
}

std::vector<SWINotificationObserver*> NotificationCenter::Observers(const std::string& name) {
  std::lock_guard lock(lock_);
  return observers_[name];
}

void NotificationCenter::Post(const std::string& name, const void* payload) {
  // The copy lets observers change the lists while the loop runs.
  for (SWINotificationObserver* observer : Observers(name)) observer->OnNotification(name, payload);
}
