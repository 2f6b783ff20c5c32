#include "app_icon.h"

#include <cairo.h>

#include <initializer_list>

namespace {

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -G_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, G_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, G_PI / 2, G_PI);
  cairo_arc(cr, x + r, y + r, r, G_PI, 3 * G_PI / 2);
  cairo_close_path(cr);
}

// Drawn on a 16-unit grid and scaled, so every size shows the same picture.
void DrawSheet(cairo_t* cr) {
  // Paper with a dark frame.
  RoundedRect(cr, 1.5, 0.5, 13, 15, 1.5);
  cairo_set_source_rgb(cr, 0.98, 0.98, 0.96);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.20, 0.24, 0.30);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  // Title band.
  cairo_rectangle(cr, 2, 1, 12, 3);
  cairo_set_source_rgb(cr, 0.16, 0.42, 0.72);
  cairo_fill(cr);
  // Log lines of varying length; the last one is the selected newest line.
  const double lengths[] = {9, 6, 8, 5};
  cairo_set_source_rgb(cr, 0.45, 0.48, 0.52);
  for (int i = 0; i < 3; ++i) {
    cairo_rectangle(cr, 3.5, 5.5 + 2.2 * i, lengths[i], 1);
    cairo_fill(cr);
  }
  cairo_rectangle(cr, 2.5, 11.6, 11, 2.6);
  cairo_set_source_rgb(cr, 0.16, 0.42, 0.72);
  cairo_fill(cr);
  cairo_rectangle(cr, 3.5, 12.4, lengths[3], 1);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill(cr);
}

}  // namespace

GdkPixbuf* DrawAppIcon(int size) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, size / 16.0, size / 16.0);
  DrawSheet(cr);
  cairo_destroy(cr);
  GdkPixbuf* pixbuf = gdk_pixbuf_get_from_surface(surface, 0, 0, size, size);
  cairo_surface_destroy(surface);
  return pixbuf;
}

GList* NewAppIconList() {
  GList* icons = nullptr;
  for (int size : {16, 32, 48}) icons = g_list_append(icons, DrawAppIcon(size));
  return icons;
}
