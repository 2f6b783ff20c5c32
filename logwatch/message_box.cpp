#include "message_box.h"

#include <gtk/gtk.h>

namespace {

gboolean OnKeyPress(GtkWidget* box, GdkEventKey* event, gpointer text) {
  if (event->keyval == GDK_KEY_Escape) {
    gtk_widget_destroy(box);
    return TRUE;
  }
  bool control = (event->state & gtk_accelerator_get_default_mod_mask()) == GDK_CONTROL_MASK;
  if (control && (event->keyval == GDK_KEY_c || event->keyval == GDK_KEY_C)) {
    gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD),
                           static_cast<const char*>(text), -1);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

void ShowMessageBox(const std::string& text) {
  GtkWidget* box = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(box), "");
  gtk_window_set_type_hint(GTK_WINDOW(box), GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_modal(GTK_WINDOW(box), TRUE);
  gtk_window_set_resizable(GTK_WINDOW(box), FALSE);
  gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
  gtk_container_set_border_width(GTK_CONTAINER(box), 12);

  GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 12);
  GtkWidget* label = gtk_label_new(text.c_str());
  gtk_widget_set_halign(label, GTK_ALIGN_START);
  gtk_box_pack_start(GTK_BOX(column), label, TRUE, TRUE, 0);
  GtkWidget* ok = gtk_button_new_with_label("OK");
  gtk_widget_set_halign(ok, GTK_ALIGN_END);
  gtk_widget_set_size_request(ok, 88, -1);
  gtk_widget_set_can_default(ok, TRUE);
  gtk_box_pack_start(GTK_BOX(column), ok, FALSE, FALSE, 0);
  gtk_container_add(GTK_CONTAINER(box), column);

  // The box keeps its own copy of the text for Ctrl+C, freed with the box.
  gchar* copy = g_strdup(text.c_str());
  g_object_set_data_full(G_OBJECT(box), "text", copy, g_free);
  g_signal_connect(box, "key-press-event", G_CALLBACK(OnKeyPress), copy);
  g_signal_connect_swapped(ok, "clicked", G_CALLBACK(gtk_widget_destroy), box);

  gtk_window_set_default(GTK_WINDOW(box), ok);
  gtk_widget_grab_focus(ok);
  gtk_widget_show_all(box);
}
