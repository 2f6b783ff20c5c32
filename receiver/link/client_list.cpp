#include "client_list.h"

#include "link_ports.h"
#include "receiver/core/notification_center.h"

namespace {

std::string DeviceLabel(const ClientRecord& record) {
  return record.name + "(" + record.address + ")";
}

}  // namespace

ClientList& ClientList::Instance() {
  // Leaked on purpose: the watchdog may still run while the process exits.
  static ClientList* list = new ClientList(SystemClientClock::Instance(),
                                           NetworkDeviceSender::Instance(), kDeviceUdpPort);
  return *list;
}

ClientList::ClientList(ClientClock& clock, DeviceSender& sender, uint16_t keep_alive_port)
    : clock_(clock), sender_(sender), keep_alive_port_(keep_alive_port) {}

ClientList::~ClientList() { StopWatchdog(); }

void ClientList::SetRemovalObserver(ClientRemovalObserver* observer) {
  std::lock_guard lock(lock_);
  removal_observer_ = observer;
}

void ClientList::Add(const std::string& name, const std::string& address) {
  std::thread previous;
  {
    std::lock_guard lock(lock_);
    records_.push_back({address, name, clock_.NowSeconds()});
    const std::string label = DeviceLabel(records_.back());
    NotificationCenter::Instance().Post(kClientConnectedNotification, &label);
    if (records_.size() == 1) {
      NotificationCenter::Instance().Post(kFirstClientConnectedNotification);
      if (!watchdog_running_) {
        // A watchdog that has just ended (or is ending) is joined below,
        // outside the lock it may still be waiting for.
        previous = std::move(watchdog_);
        watchdog_running_ = true;
        const uint64_t generation = ++watchdog_generation_;
        watchdog_ = std::thread([this, generation] { WatchdogLoop(generation); });
      }
    }
  }
  if (previous.joinable()) previous.join();
}

// Called with lock_ held.
void ClientList::RemoveAtLocked(size_t index) {
  const ClientRecord record = records_[index];
  records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
  ClearOwnerIds();
  if (record.address == mirror_owner_) mirror_owner_.clear();
  const std::string label = DeviceLabel(record);
  NotificationCenter::Instance().Post(kClientDisconnectedNotification, &label);
  if (removal_observer_) removal_observer_->OnClientRemoved(record.address);
}

// Called with lock_ held after records left: an empty list ends the watchdog.
void ClientList::AfterRemovalLocked() {
  if (!records_.empty()) return;
  NotificationCenter::Instance().Post(kAllClientsDisconnectedNotification);
  watchdog_running_ = false;
  wake_.notify_all();
}

void ClientList::Remove(const std::string& address) {
  std::lock_guard lock(lock_);
  bool removed = false;
  for (size_t i = records_.size(); i-- > 0;) {
    if (records_[i].address != address) continue;
    RemoveAtLocked(i);
    removed = true;
  }
  if (address == mirror_owner_) mirror_owner_.clear();
  if (removed) AfterRemovalLocked();
}

std::string ClientList::RemoveFirst() {
  std::string address;
  {
    std::lock_guard lock(lock_);
    if (records_.empty()) return {};
    address = records_.front().address;
  }
  Remove(address);
  return address;
}

bool ClientList::Contains(const std::string& address) {
  std::lock_guard lock(lock_);
  for (const auto& record : records_)
    if (record.address == address) return true;
  return false;
}

void ClientList::Touch(const std::string& address) {
  std::lock_guard lock(lock_);
  const int64_t now = clock_.NowSeconds();
  for (auto& record : records_)
    if (record.address == address) record.last_heard = now;
}

std::vector<ClientRecord> ClientList::Snapshot() {
  std::lock_guard lock(lock_);
  return records_;
}

size_t ClientList::Count() {
  std::lock_guard lock(lock_);
  return records_.size();
}

void ClientList::SetMirrorOwner(const std::string& address) {
  std::lock_guard lock(lock_);
  mirror_owner_ = address;
}

std::string ClientList::MirrorOwner() {
  std::lock_guard lock(lock_);
  return mirror_owner_;
}

bool ClientList::IsMirrorOwner(const std::string& address) {
  std::lock_guard lock(lock_);
  return address == mirror_owner_;
}

std::string ClientList::OwnerId() {
  std::lock_guard lock(owner_lock_);
  return owner_id_;
}

void ClientList::SetOwnerId(const std::string& uid) {
  std::lock_guard lock(owner_lock_);
  owner_id_ = uid;
}

std::string ClientList::SavedOwnerId() {
  std::lock_guard lock(owner_lock_);
  return saved_owner_id_;
}

void ClientList::SetOwnerExclusive(bool on) {
  std::lock_guard lock(owner_lock_);
  if (!on) {
    saved_owner_id_ = owner_id_;
    owner_id_.clear();
  } else if (owner_id_.empty()) {
    owner_id_ = saved_owner_id_;
  }
}

void ClientList::ClearOwnerIds() {
  std::lock_guard lock(owner_lock_);
  owner_id_.clear();
  saved_owner_id_.clear();
}

bool ClientList::WatchdogRunning() {
  std::lock_guard lock(lock_);
  return watchdog_running_;
}

void ClientList::WatchdogLoop(uint64_t generation) {
  std::unique_lock lock(lock_);
  auto ended = [this, generation] {
    return !watchdog_running_ || watchdog_generation_ != generation;
  };
  const uint8_t keep_alive = 0x00;
  while (!ended()) {
    const int64_t now = clock_.NowSeconds();
    bool removed = false;
    for (size_t i = 0; i < records_.size();) {
      sender_.SendBytes(&keep_alive, 1, records_[i].address, keep_alive_port_);
      if (now - records_[i].last_heard > kSilenceLimitSeconds) {
        RemoveAtLocked(i);
        removed = true;
      } else {
        ++i;
      }
    }
    if (removed) AfterRemovalLocked();
    if (ended()) break;
    clock_.WaitFor(lock, wake_, kKeepAliveIntervalMs, ended);
  }
}

void ClientList::StopWatchdog() {
  std::thread watchdog;
  {
    std::lock_guard lock(lock_);
    watchdog_running_ = false;
    ++watchdog_generation_;
    watchdog = std::move(watchdog_);
  }
  wake_.notify_all();
  if (watchdog.joinable()) watchdog.join();
}
