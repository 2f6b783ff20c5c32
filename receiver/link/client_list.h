// The paired devices. A device is known by the dotted-decimal text of its
// IPv4 address; two devices behind one address are one client. The list
// refreshes devices on every packet they send, keeps them alive with a
// keep-alive datagram every 3 seconds and drops them after 50 seconds of
// silence, on a watchdog thread that runs while the list is not empty.
//
// Notifications (kClientConnectedNotification, kFirstClientConnectedNotification,
// kClientDisconnectedNotification, kAllClientsDisconnectedNotification) are
// posted while the list lock is held: observers must not call back into the
// list. The device label of the connect and disconnect notifications is
// "name(address)", passed as a const std::string* valid for the call.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "client_clock.h"
#include "device_sender.h"

struct ClientRecord {
  std::string address;  // dotted-decimal IPv4 text
  std::string name;     // as the device sent it when pairing (UTF-8)
  int64_t last_heard = 0;  // seconds of system time
};

// Told of every record that leaves the list, with the list lock held.
class ClientRemovalObserver {
 public:
  virtual ~ClientRemovalObserver() = default;
  virtual void OnClientRemoved(const std::string& address) = 0;
};

class ClientList {
 public:
  static constexpr uint32_t kKeepAliveIntervalMs = 3000;
  static constexpr int64_t kSilenceLimitSeconds = 50;

  // Created on first use over the system clock and the network; never destroyed.
  static ClientList& Instance();

  ClientList(ClientClock& clock, DeviceSender& sender, uint16_t keep_alive_port);
  ClientList(const ClientList&) = delete;
  ClientList& operator=(const ClientList&) = delete;
  // Ends the watchdog and waits for it.
  ~ClientList();

  // Set once at start-up; may be null.
  void SetRemovalObserver(ClientRemovalObserver* observer);

  // Appends a record heard now; starts the watchdog with the first record.
  void Add(const std::string& name, const std::string& address);
  // Removes every record of the address; clears both owner identifiers for
  // each and the mirror owner when it is this address. Wakes the watchdog so
  // that it ends at once when the list is empty.
  void Remove(const std::string& address);
  // Removes the first record; returns its address, or empty text when the
  // list was empty.
  std::string RemoveFirst();
  bool Contains(const std::string& address);
  // Marks every record of the address as heard now.
  void Touch(const std::string& address);
  std::vector<ClientRecord> Snapshot();
  size_t Count();

  // The device receiving the PC screen (empty when none).
  void SetMirrorOwner(const std::string& address);
  std::string MirrorOwner();
  bool IsMirrorOwner(const std::string& address);

  // The "uid" of the device that owns the receiver; empty when it may be
  // taken over. The saved copy is kept while exclusivity is switched off.
  std::string OwnerId();
  void SetOwnerId(const std::string& uid);
  std::string SavedOwnerId();
  // Owner switch of the status page: off saves and frees the owner, on
  // restores the saved owner when none has paired since.
  void SetOwnerExclusive(bool on);

  bool WatchdogRunning();

 private:
  void RemoveAtLocked(size_t index);
  void AfterRemovalLocked();
  void WatchdogLoop(uint64_t generation);
  void StopWatchdog();
  void ClearOwnerIds();

  ClientClock& clock_;
  DeviceSender& sender_;
  const uint16_t keep_alive_port_;

  std::mutex lock_;  // records, mirror owner, watchdog state
  std::condition_variable wake_;
  std::vector<ClientRecord> records_;
  std::string mirror_owner_;
  bool watchdog_running_ = false;
  uint64_t watchdog_generation_ = 0;
  std::thread watchdog_;
  ClientRemovalObserver* removal_observer_ = nullptr;

  std::mutex owner_lock_;  // a leaf lock: never held while calling out
  std::string owner_id_;
  std::string saved_owner_id_;
};
