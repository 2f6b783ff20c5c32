#include "driver_warning.h"

#include <SDL.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace {

std::mutex g_lookup_lock;
std::function<std::string(const std::string&)> g_lookup;
std::atomic<bool> g_box_open{false};

}  // namespace

void SetDriverWarningText(std::function<std::string(const std::string& key)> lookup) {
  std::lock_guard lock(g_lookup_lock);
  g_lookup = std::move(lookup);
}

void ShowDriverWarning(const std::string& language_key) {
  std::string text = language_key;
  {
    std::lock_guard lock(g_lookup_lock);
    if (g_lookup) text = g_lookup(language_key);
  }
  if (g_box_open.exchange(true)) return;
  std::thread([text] {
    // SDL's message box is made a dialog the window manager keeps in front.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, "", text.c_str(), nullptr);
    g_box_open = false;
  }).detach();
}
