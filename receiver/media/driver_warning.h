// The warning shown when the machine has no display adapter that can show the
// mirror: a topmost warning box with the language text of the key, shown from
// a thread of its own so that the caller does not wait. One box at a time: a
// device that keeps retrying does not pile boxes up on the screen.
#pragma once

#include <functional>
#include <string>

void ShowDriverWarning(const std::string& language_key);

// Where the warning's text comes from: the language tables once the receiver
// wires them; the key itself until then.
void SetDriverWarningText(std::function<std::string(const std::string& key)> lookup);
