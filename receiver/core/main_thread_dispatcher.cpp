#include "main_thread_dispatcher.h"

#include <future>

MainThreadDispatcher& MainThreadDispatcher::Instance() {
  static MainThreadDispatcher dispatcher;
  return dispatcher;
}

void MainThreadDispatcher::BindToCurrentThread() {
  std::lock_guard lock(lock_);
  main_thread_ = std::this_thread::get_id();
}

bool MainThreadDispatcher::Post(Task task) {
  {
    std::lock_guard lock(lock_);
    if (quit_) return false;
    tasks_.push_back(std::move(task));
  }
  wake_.notify_one();
  return true;
}

bool MainThreadDispatcher::Send(Task task) {
  {
    std::lock_guard lock(lock_);
    if (quit_) return false;
    if (main_thread_ == std::this_thread::get_id()) {
      // Waiting for ourselves would never end.
      task();
      return true;
    }
  }
  auto done = std::make_shared<std::promise<void>>();
  auto future = done->get_future();
  if (!Post([task = std::move(task), done] {
        task();
        done->set_value();
      }))
    return false;
  // A quit before the task ran drops it: the promise is destroyed unset.
  try {
    future.get();
  } catch (const std::future_error&) {
    return false;
  }
  return true;
}

bool MainThreadDispatcher::RunOne(std::unique_lock<std::mutex>& lock) {
  if (tasks_.empty()) return false;
  Task task = std::move(tasks_.front());
  tasks_.pop_front();
  lock.unlock();
  task();
  lock.lock();
  return true;
}

int MainThreadDispatcher::Run() {
  BindToCurrentThread();
  std::unique_lock lock(lock_);
  while (!quit_) {
    wake_.wait(lock, [this] { return quit_ || !tasks_.empty(); });
    if (!quit_) RunOne(lock);
  }
  std::deque<Task> dropped;
  dropped.swap(tasks_);
  lock.unlock();
  dropped.clear();  // wakes senders whose tasks never ran
  return quit_code_;
}

void MainThreadDispatcher::RunPending() {
  std::unique_lock lock(lock_);
  size_t count = tasks_.size();
  while (count-- > 0 && !quit_ && RunOne(lock)) {
  }
}

void MainThreadDispatcher::Quit(int code) {
  {
    std::lock_guard lock(lock_);
    if (quit_) return;
    quit_ = true;
    quit_code_ = code;
  }
  wake_.notify_all();
}

bool MainThreadDispatcher::HasQuit() const {
  std::lock_guard lock(lock_);
  return quit_;
}
