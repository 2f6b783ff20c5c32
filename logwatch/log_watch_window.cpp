#include "log_watch_window.h"

#include <initializer_list>

#include "about_box.h"
#include "app_icon.h"
#include "message_box.h"

namespace {

GdkRectangle PrimaryScreenArea() {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (!monitor) monitor = gdk_display_get_monitor(display, 0);
  GdkRectangle area = {0, 0, 800, 600};
  if (monitor) gdk_monitor_get_geometry(monitor, &area);
  return area;
}

gboolean ShowBindError(gpointer) {
  ShowMessageBox(LogWatchWindow::kBindErrorText);
  return G_SOURCE_REMOVE;
}

}  // namespace

LogWatchWindow::LogWatchWindow() {
  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window_), kTitle);
  GList* icons = NewAppIconList();
  gtk_window_set_icon_list(GTK_WINDOW(window_), icons);
  g_list_free_full(icons, g_object_unref);

  GdkRectangle area = PrimaryScreenArea();
  gtk_window_set_default_size(GTK_WINDOW(window_), area.width, area.height);
  gtk_window_move(GTK_WINDOW(window_), 0, 0);

  g_signal_connect(window_, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  g_signal_connect(window_, "destroy", G_CALLBACK(gtk_widget_destroyed), &window_);
  BuildList();
  BuildAccelerators();
}

LogWatchWindow::~LogWatchWindow() {
  {
    std::lock_guard<std::mutex> hold(pending_lock_);
    if (drain_source_) g_source_remove(drain_source_);
    drain_source_ = 0;
  }
  if (window_) {
    g_signal_handlers_disconnect_by_func(window_, reinterpret_cast<gpointer>(gtk_main_quit),
                                         nullptr);
    gtk_widget_destroy(window_);
  }
}

void LogWatchWindow::BuildList() {
  view_ = gtk_tree_view_new_with_model(model_.Model());
  GtkTreeView* view = GTK_TREE_VIEW(view_);
  gtk_tree_view_set_headers_visible(view, FALSE);
  // Typing must not open a search field over the lines.
  gtk_tree_view_set_enable_search(view, FALSE);
  gtk_tree_selection_set_mode(gtk_tree_view_get_selection(view), GTK_SELECTION_MULTIPLE);

  // One row per line, whatever it contains, so the rows share one height and
  // the view need not measure each of an unlimited number of them.
  GtkCellRenderer* text = gtk_cell_renderer_text_new();
  g_object_set(text, "single-paragraph-mode", TRUE, "ellipsize", PANGO_ELLIPSIZE_END, nullptr);
  GtkTreeViewColumn* column = gtk_tree_view_column_new_with_attributes(
      "", text, "text", LogListModel::kTextColumn, nullptr);
  gtk_tree_view_column_set_sizing(column, GTK_TREE_VIEW_COLUMN_FIXED);
  gtk_tree_view_column_set_expand(column, TRUE);
  gtk_tree_view_append_column(view, column);
  gtk_tree_view_set_fixed_height_mode(view, TRUE);

  GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER,
                                 GTK_POLICY_ALWAYS);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_IN);
  gtk_container_add(GTK_CONTAINER(scroller), view_);
  gtk_container_add(GTK_CONTAINER(window_), scroller);
}

void LogWatchWindow::BuildAccelerators() {
  GtkAccelGroup* accelerators = gtk_accel_group_new();
  struct Key {
    guint keyval;
    GdkModifierType modifiers;
  };
  // Alt+? and Alt+/ open the About box; Ctrl+C and Ctrl+A take lines out.
  for (Key key : {Key{GDK_KEY_question, GDK_MOD1_MASK}, Key{GDK_KEY_slash, GDK_MOD1_MASK},
                  Key{GDK_KEY_c, GDK_CONTROL_MASK}, Key{GDK_KEY_a, GDK_CONTROL_MASK}}) {
    GClosure* closure = g_cclosure_new(G_CALLBACK(OnAccelerator), this, nullptr);
    gtk_accel_group_connect(accelerators, key.keyval, key.modifiers, GTK_ACCEL_VISIBLE, closure);
  }
  gtk_window_add_accel_group(GTK_WINDOW(window_), accelerators);
  g_object_unref(accelerators);
}

void LogWatchWindow::Show() {
  gtk_widget_show_all(window_);
  gtk_widget_grab_focus(view_);
}

void LogWatchWindow::OnLogLine(std::string line) {
  std::lock_guard<std::mutex> hold(pending_lock_);
  pending_.push_back(std::move(line));
  // One queued drain takes every line that arrives before it runs.
  if (!drain_source_) drain_source_ = g_idle_add(OnDrainIdle, this);
}

void LogWatchWindow::OnBindFailed() { g_idle_add(ShowBindError, nullptr); }

gboolean LogWatchWindow::OnDrainIdle(gpointer self) {
  static_cast<LogWatchWindow*>(self)->AppendPending();
  return G_SOURCE_REMOVE;
}

void LogWatchWindow::AppendPending() {
  std::vector<std::string> lines;
  {
    std::lock_guard<std::mutex> hold(pending_lock_);
    lines.swap(pending_);
    drain_source_ = 0;
  }
  if (lines.empty()) return;
  int last = -1;
  for (const std::string& line : lines) last = model_.Append(line);

  // The newest line alone is selected, becomes the cursor and is scrolled to.
  GtkTreePath* path = gtk_tree_path_new_from_indices(last, -1);
  gtk_tree_view_set_cursor(GTK_TREE_VIEW(view_), path, nullptr, FALSE);
  gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(view_), path, nullptr, FALSE, 0, 0);
  gtk_tree_path_free(path);
}

void LogWatchWindow::CopySelection() {
  GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(view_));
  GList* paths = gtk_tree_selection_get_selected_rows(selection, nullptr);
  std::vector<int> rows;
  for (GList* item = paths; item; item = item->next) {
    rows.push_back(gtk_tree_path_get_indices(static_cast<GtkTreePath*>(item->data))[0]);
  }
  g_list_free_full(paths, reinterpret_cast<GDestroyNotify>(gtk_tree_path_free));
  // An empty selection copies empty text: the clipboard then says what was selected.
  gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD),
                         model_.TextOfRows(rows).c_str(), -1);
}

void LogWatchWindow::SelectAll() {
  gtk_tree_selection_select_all(gtk_tree_view_get_selection(GTK_TREE_VIEW(view_)));
}

gboolean LogWatchWindow::OnAccelerator(GtkAccelGroup*, GObject*, guint keyval, GdkModifierType,
                                       gpointer self) {
  auto* window = static_cast<LogWatchWindow*>(self);
  switch (keyval) {
    case GDK_KEY_c:
      window->CopySelection();
      break;
    case GDK_KEY_a:
      window->SelectAll();
      break;
    default:
      RunAboutBox(GTK_WINDOW(window->window_));
      break;
  }
  return TRUE;
}
