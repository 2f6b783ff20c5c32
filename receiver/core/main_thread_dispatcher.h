// The one road from worker threads to the thread that owns the windows.
// Posting queues a task and returns; sending queues it and waits until it has
// run. The main thread drains the queue in order: the main window's loop when
// there is one, otherwise the headless loop of the receiver's entry.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class MainThreadDispatcher {
 public:
  using Task = std::function<void()>;

  static MainThreadDispatcher& Instance();

  // Queues the task; false once the dispatcher has quit (the task is dropped).
  bool Post(Task task);
  // Queues the task and waits until it has run. Called on the main thread
  // itself it runs the task at once. False when the dispatcher has quit.
  bool Send(Task task);

  // Main thread: runs queued tasks until Quit. Returns the quit code.
  int Run();
  // Main thread: runs what is queued now without waiting; for loops that
  // have their own event source (GTK) and drain this queue from it.
  void RunPending();
  // Any thread: ends Run after the task running now; later posts are dropped.
  void Quit(int code = 0);
  bool HasQuit() const;

  // Marks the calling thread as the main thread (done by Run).
  void BindToCurrentThread();

 private:
  bool RunOne(std::unique_lock<std::mutex>& lock);

  mutable std::mutex lock_;
  std::condition_variable wake_;
  std::deque<Task> tasks_;
  bool quit_ = false;
  int quit_code_ = 0;
  std::thread::id main_thread_;
};
