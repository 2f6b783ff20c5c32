// Named, synchronous notifications inside the receiver. A post calls every
// observer of the name at once, on the posting thread, in subscription order.
// The center does not own observers; payloads are borrowed for the call only.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

class SWINotificationObserver {
 public:
  virtual ~SWINotificationObserver() = default;
  // Called for every name the observer subscribed to; ignore the rest.
  virtual void OnNotification(const std::string& name, const void* payload) {
    (void)name;
    (void)payload;
  }
};

class NotificationCenter {
 public:
  static NotificationCenter& Instance();

  // Appends the observer to the name's list (twice subscribed, twice called).
  void Subscribe(const std::string& name, SWINotificationObserver* observer);
  // Removes every occurrence of the observer from the name's list.
  void Unsubscribe(const std::string& name, SWINotificationObserver* observer);
  // Removes the observer from every list.
  void UnsubscribeAll(SWINotificationObserver* observer);

  // Calls the observers of the name as subscribed when the post began; an
  // observer may subscribe, unsubscribe or post again from inside its call.
  void Post(const std::string& name, const void* payload = nullptr);

  // The current observers of a name (an empty entry is created if needed).
  std::vector<SWINotificationObserver*> Observers(const std::string& name);

 private:
  std::mutex lock_;  // guards the map; never held while observers run
  std::map<std::string, std::vector<SWINotificationObserver*>> observers_;
};

// Notification names shared by the receiver's subsystems.
inline constexpr const char* kClientConnectedNotification = "kClientConnectedNotification";
inline constexpr const char* kFirstClientConnectedNotification =
    "kFirstClientConnectedNotification";
inline constexpr const char* kClientDisconnectedNotification = "kClientDisconnectedNotification";
inline constexpr const char* kAllClientsDisconnectedNotification =
    "kAllClientsDisconnectedNotification";
inline constexpr const char* kModeStartNotification = "ModeStartNotification";
inline constexpr const char* kModeStopNotification = "ModeStopNotification";
inline constexpr const char* kAnnotationStartNotification = "kAnnotationStartNotification";
inline constexpr const char* kAnnotationStopNotification = "kAnnotationStopNotification";
inline constexpr const char* kVPToolbarAppearNotification = "kVPToolbarAppearNotification";
inline constexpr const char* kVPToolbarDisappearNotification = "kVPToolbarDisappearNotification";
inline constexpr const char* kVPToolbarStopNotification = "kVPToolbarStopNotification";
inline constexpr const char* kVPAnnotationPenDown = "kVPAnnotationPenDown";
inline constexpr const char* kVPAnnotationPenMove = "kVPAnnotationPenMove";
inline constexpr const char* kVPAnnotationPenUp = "kVPAnnotationPenUp";

// Mode payloads of ModeStartNotification and ModeStopNotification.
inline constexpr const char* kModeHIDAction = "HIDAction";
inline constexpr const char* kModePresenterAction = "PresenterAction";
inline constexpr const char* kModeMirrorAction = "MirrorAction";
