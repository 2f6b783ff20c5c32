// LogWatch: lists the debug-log datagrams that the other deliverables send to
// UDP port 58372 on this computer. Reads no arguments, keeps nothing on disk.
#include <gtk/gtk.h>

#include <cstdlib>

#include "log_receiver.h"
#include "log_watch_window.h"

int main(int argc, char** argv) {
  g_set_prgname("LogWatch");
  gtk_init(&argc, &argv);
  gdk_set_program_class(LogWatchWindow::kWindowClass);

  LogWatchWindow window;
  window.Show();
  LogReceiver receiver;
  receiver.Start(&window);
  gtk_main();

  // The closed window ends the loop; the receiver gets 100 ms to let go of
  // the port. A receiver still running then must not outlive its sink.
  if (!receiver.Stop(100)) std::quick_exit(0);
  return 0;
}
