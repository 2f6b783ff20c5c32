// SDL keeps its window list and event queue without locks of its own; every
// call of ours that creates, changes or destroys a window, presents, or pumps
// events holds this lock. Recursive, since a holder may call helpers that take it.
#pragma once

#include <mutex>

std::recursive_mutex& SdlLock();
