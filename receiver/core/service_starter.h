// The receiver's side of the helper program VelaportService: started with
// the receiver unless it already runs, told to quit when the receiver ends.
#pragma once

#include <cstdint>
#include <string>

inline constexpr const char* kServiceGuardName = "VPService";
inline constexpr const char* kServiceProgramName = "VelaportService";
inline constexpr uint16_t kServicePort = 7989;

// When the guard "VPService" is free, starts VelaportService from the
// receiver's own folder with the shell verb "runas" and its own path as the
// argument. 0 when the service runs or was started; -1 (after logging
// "open orbitaneservice failed") when it could not be started.
int StartServiceIfNeeded(const std::string& program_folder);

// Sends the quit datagram 00 FF to 127.0.0.1:7989, whether or not the service
// runs. Returns the bytes sent (2) or -1.
int SendServiceQuit();
