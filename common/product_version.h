// The product's version as the programs hand it on: "2.5.1.685".
#pragma once

#include <string>

// Formatted "%d.%d.%d.%d" from the compiled-in version.
std::string ProductVersionText();
