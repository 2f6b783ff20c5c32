// The test for a display adapter whose vendor driver can show video.
#pragma once

#include <vector>

#include "platform/display_adapters.h"

// True when one adapter's description contains, case-sensitively, one of
// "Intel", "AMD", "NVIDIA", "ATI", "GeForce", "VMware".
//
// A machine that lists no adapter at all (a container, or a virtual frame
// buffer on a server without graphics hardware) passes: its desktop is drawn
// entirely in software, which the video windows handle with the software
// renderer. Adapters that are present but all unknown (a bare frame buffer or
// an emulated card without a vendor driver) fail.
bool DisplayAdapterCheck(const std::vector<platform::DisplayAdapter>& adapters);

// The same over this machine's adapters.
bool DisplayAdapterCheck();
