// A stand-alone message box: no owner window, no caption, the text and an OK
// button. Ctrl+C copies its text, so support staff can paste what it said.
#pragma once

#include <string>

// Main thread. Shows the box and returns at once; the box is modal for the
// program's windows and destroys itself when OK, Enter or Escape closes it.
void ShowMessageBox(const std::string& text);
