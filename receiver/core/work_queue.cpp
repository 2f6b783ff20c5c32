#include "work_queue.h"

#include <system_error>

CWorkQueue::~CWorkQueue() { Destroy(); }

bool CWorkQueue::Create(unsigned workers, const uint32_t* contexts) {
  {
    std::lock_guard lock(lock_);
    if (running_) return false;
    aborting_ = false;
    running_ = true;
  }
  try {
    for (unsigned i = 0; i < workers; ++i) {
      uint32_t context = contexts ? contexts[i] : 0;
      workers_.emplace_back([this, context] { WorkerLoop(context); });
    }
  } catch (const std::system_error&) {
    Destroy();
    return false;
  }
  return true;
}

bool CWorkQueue::InsertWorkItem(std::unique_ptr<WorkItemBase> item) {
  {
    std::lock_guard lock(lock_);
    if (!running_ || aborting_) return false;
    items_.push_back(std::move(item));
  }
  wake_.notify_one();
  return true;
}

bool CWorkQueue::Destroy() {
  {
    std::lock_guard lock(lock_);
    if (!running_) return true;
    aborting_ = true;
  }
  wake_.notify_all();
  for (std::thread& worker : workers_) worker.join();
  workers_.clear();
  std::deque<std::unique_ptr<WorkItemBase>> left;
  {
    std::lock_guard lock(lock_);
    left.swap(items_);
    running_ = false;
  }
  for (auto& item : left) item->Abort();
  return true;
}

size_t CWorkQueue::QueuedCount() const {
  std::lock_guard lock(lock_);
  return items_.size();
}

void CWorkQueue::WorkerLoop(uint32_t context) {
  for (;;) {
    std::unique_ptr<WorkItemBase> item;
    {
      std::unique_lock lock(lock_);
      wake_.wait(lock, [this] { return aborting_ || !items_.empty(); });
      if (aborting_) return;  // the abort wins over waiting items
      item = std::move(items_.front());
      items_.pop_front();
    }
    item->DoWork(context);
  }
}
