// The viewer's lines: a GTK list store with one text column, in arrival
// order and without limit. Usable without a display (no widget involved).
// Main thread only, like every GTK object.
#pragma once

#include <gtk/gtk.h>

#include <string>
#include <vector>

class LogListModel {
 public:
  static constexpr int kTextColumn = 0;

  LogListModel();
  LogListModel(const LogListModel&) = delete;
  LogListModel& operator=(const LogListModel&) = delete;
  ~LogListModel();

  // Borrowed; the view takes its own reference.
  GtkTreeModel* Model() const { return GTK_TREE_MODEL(store_); }

  // Adds the line at the end and returns its row number.
  int Append(const std::string& line);
  int Count() const;
  // Empty for a row that does not exist.
  std::string LineAt(int row) const;
  // The lines of the rows, in the order given, one per line (joined by "\n",
  // no line break after the last); rows that do not exist are skipped.
  std::string TextOfRows(const std::vector<int>& rows) const;

 private:
  GtkListStore* store_;
};
