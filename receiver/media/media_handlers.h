// Wiring of the media subsystem into the receiver.
#pragma once

#include <functional>
#include <string>

class JsonCommandHandler;

using JsonHandlerRegistrar = std::function<void(int act, JsonCommandHandler* handler)>;
using LanguageLookup = std::function<std::string(const std::string& key)>;

// Registers the act 7 handler, creates the mirror display (so that it follows
// device disconnections from start-up on) and routes its stop requests to the
// main thread. language gives the warning texts; empty leaves the keys.
void RegisterMediaHandlers(const JsonHandlerRegistrar& register_json,
                           LanguageLookup language = nullptr);
