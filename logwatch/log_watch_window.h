// The viewer's main window: one scrolled list of received lines covering the
// primary screen, the newest line selected. Built and used on the GTK main
// thread; the receiver thread reaches it only through the LogLineSink calls,
// which queue the work for the main loop.
#pragma once

#include <gtk/gtk.h>

#include <mutex>
#include <string>
#include <vector>

#include "log_line_sink.h"
#include "log_list_model.h"

class LogWatchWindow : public LogLineSink {
 public:
  static constexpr const char* kTitle = "LogWatch";
  static constexpr const char* kWindowClass = "TamselSync_LogWatchClass";
  static constexpr const char* kBindErrorText = "udp绑定端口错误";

  // Creates the window hidden; closing it later ends gtk_main.
  LogWatchWindow();
  LogWatchWindow(const LogWatchWindow&) = delete;
  LogWatchWindow& operator=(const LogWatchWindow&) = delete;
  // The receiver must have stopped calling the sink before this runs.
  ~LogWatchWindow() override;

  void Show();

  // Any thread.
  void OnLogLine(std::string line) override;
  void OnBindFailed() override;

 private:
  void BuildList();
  void BuildAccelerators();
  void AppendPending();
  void CopySelection();
  void SelectAll();

  static gboolean OnDrainIdle(gpointer self);
  static gboolean OnAccelerator(GtkAccelGroup*, GObject*, guint keyval, GdkModifierType,
                                gpointer self);

  GtkWidget* window_ = nullptr;  // owned by GTK; cleared when destroyed
  GtkWidget* view_ = nullptr;
  LogListModel model_;

  std::mutex pending_lock_;
  std::vector<std::string> pending_;  // lines received but not yet listed
  guint drain_source_ = 0;            // the queued AppendPending, 0 when none
};
