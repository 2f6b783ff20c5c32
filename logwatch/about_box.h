// The viewer's About box.
#pragma once

#include <gtk/gtk.h>

// Main thread. Shows the box modal to the owner and returns when OK or
// Escape has closed it.
void RunAboutBox(GtkWindow* owner);
