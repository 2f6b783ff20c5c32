#include "log_list_model.h"

LogListModel::LogListModel() : store_(gtk_list_store_new(1, G_TYPE_STRING)) {}

LogListModel::~LogListModel() { g_object_unref(store_); }

int LogListModel::Append(const std::string& line) {
  GtkTreeIter iter;
  gtk_list_store_insert_with_values(store_, &iter, -1, kTextColumn, line.c_str(), -1);
  return Count() - 1;
}

int LogListModel::Count() const { return gtk_tree_model_iter_n_children(Model(), nullptr); }

std::string LogListModel::LineAt(int row) const {
  GtkTreeIter iter;
  if (row < 0 || !gtk_tree_model_iter_nth_child(Model(), &iter, nullptr, row)) return {};
  gchar* text = nullptr;
  gtk_tree_model_get(Model(), &iter, kTextColumn, &text, -1);
  std::string line = text ? text : "";
  g_free(text);
  return line;
}

std::string LogListModel::TextOfRows(const std::vector<int>& rows) const {
  std::string text;
  bool first = true;
  for (int row : rows) {
    if (row < 0 || row >= Count()) continue;
    if (!first) text += '\n';
    text += LineAt(row);
    first = false;
  }
  return text;
}
