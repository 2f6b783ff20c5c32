// The viewer's artwork, drawn at run time: a sheet of log lines with the
// newest one marked, at any pixel size.
#pragma once

#include <gtk/gtk.h>

// A new square picture of the given size; the caller owns the reference.
GdkPixbuf* DrawAppIcon(int size);
// The sizes a window manager picks from (small and big icon, and a large one).
GList* NewAppIconList();
