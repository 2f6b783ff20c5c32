#include "about_box.h"

#include <initializer_list>

#include "app_icon.h"

void RunAboutBox(GtkWindow* owner) {
  auto flags = static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT);
  GtkWidget* box = gtk_dialog_new_with_buttons("About LogWatch", owner, flags, "OK",
                                               GTK_RESPONSE_OK, nullptr);
  gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
  gtk_window_set_resizable(GTK_WINDOW(box), FALSE);

  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 14);
  gtk_container_set_border_width(GTK_CONTAINER(row), 14);
  GdkPixbuf* icon = DrawAppIcon(32);
  GtkWidget* image = gtk_image_new_from_pixbuf(icon);
  g_object_unref(icon);
  gtk_widget_set_valign(image, GTK_ALIGN_START);
  gtk_box_pack_start(GTK_BOX(row), image, FALSE, FALSE, 0);

  GtkWidget* lines = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
  for (const char* text : {"LogWatch, Version 1.0",
                           "Shows the debug-log lines sent to UDP port 58372."}) {
    GtkWidget* label = gtk_label_new(text);
    gtk_widget_set_halign(label, GTK_ALIGN_START);
    gtk_box_pack_start(GTK_BOX(lines), label, FALSE, FALSE, 0);
  }
  gtk_box_pack_start(GTK_BOX(row), lines, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(box))), row, TRUE, TRUE, 0);

  gtk_widget_show_all(box);
  // Escape gives GTK_RESPONSE_DELETE_EVENT; every answer closes the box.
  gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
}
