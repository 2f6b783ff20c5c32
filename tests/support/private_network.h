// Puts the calling test process (and every program it starts afterwards) in
// a network namespace of its own with just a loopback interface, so that
// tests binding the product's fixed ports (7989, 7991, 7994, 58372 ...)
// neither meet nor disturb other programs on this computer. Needs root; without
// it the test shares the computer's loopback and says so. Desktop programs
// still reach the X server through its socket file.
#pragma once

#include <sched.h>

#include <cstdlib>
#include <iostream>

inline void EnterPrivateNetwork() {
  static bool tried = false;
  if (tried) return;
  tried = true;
  if (unshare(CLONE_NEWNET) != 0 || std::system("ip link set lo up") != 0)
    std::cerr << "note: no private network namespace; sharing the computer's loopback\n";
}
