// vpdevice: try a receiver without a phone. Finds the receiver (by broadcast
// or at a given address), pairs with it, stays paired printing every message
// it receives, and says goodbye when interrupted or after --seconds.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

#include "common/device_json.h"
#include "device_emulator.h"

namespace {

std::atomic<bool> g_interrupted{false};

void OnInterrupt(int) { g_interrupted = true; }

void Usage() {
  std::fprintf(stderr,
               "usage: vpdevice [--receiver ADDRESS | --broadcast ADDRESS] [--password TEXT]\n"
               "                [--name NAME] [--uid UID] [--seconds N]\n"
               "  --receiver   the receiver's IPv4 address (discovery is sent there)\n"
               "  --broadcast  where discovery is broadcast (default 255.255.255.255)\n"
               "  --seconds    stay paired this long, then disconnect (default: until Ctrl+C)\n");
}

struct Arguments {
  std::string receiver;
  std::string broadcast = "255.255.255.255";
  std::string password;
  DeviceOptions device;
  int seconds = 0;
};

bool Parse(int argc, char** argv, Arguments* args) {
  for (int i = 1; i < argc; ++i) {
    std::string key = argv[i];
    if (i + 1 >= argc) return false;
    std::string value = argv[++i];
    if (key == "--receiver") args->receiver = value;
    else if (key == "--broadcast") args->broadcast = value;
    else if (key == "--password") args->password = value;
    else if (key == "--name") args->device.name = value;
    else if (key == "--uid") args->device.uid = value;
    else if (key == "--seconds") args->seconds = std::atoi(value.c_str());
    else return false;
  }
  return true;
}

void Print(const ReceivedMessage& message) {
  std::printf("%s\n", message.Describe().c_str());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  if (!Parse(argc, argv, &args)) {
    Usage();
    return 2;
  }
  DeviceEmulator device(args.device);
  if (device.Start() != 0) {
    std::fprintf(stderr, "vpdevice: UDP 7990 or TCP 7991 is taken on this machine\n");
    return 1;
  }
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);

  // The receiver may still be starting: ask again every half second.
  std::optional<ReceivedMessage> found;
  const std::string destination = args.receiver.empty() ? args.broadcast : args.receiver;
  for (int attempt = 0; attempt < 10 && !found && !g_interrupted; ++attempt)
    found = device.DiscoverAndWait(destination, 500);
  if (!found) {
    std::fprintf(stderr, "vpdevice: no receiver answered the discovery\n");
    return 1;
  }
  std::printf("receiver %s: name \"%s\", uid %s, version %s, password %s\n",
              device.Receiver().c_str(), JsonString(found->json, "name").c_str(),
              JsonString(found->json, "uid").c_str(), JsonString(found->json, "ver").c_str(),
              JsonBool(found->json, "need_password") ? "needed" : "not needed");

  const std::string result = device.PairAndWait(args.password, 10000);
  if (result != "1") {
    std::fprintf(stderr, "vpdevice: pairing refused (result \"%s\")\n", result.c_str());
    return 1;
  }
  std::printf("paired as %s (uid %s); Ctrl+C disconnects\n", device.Name().c_str(),
              device.Uid().c_str());
  for (const ReceivedMessage& m : device.Messages()) Print(m);
  device.SetMessageCallback(Print);

  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(args.seconds);
  while (!g_interrupted && (args.seconds <= 0 || std::chrono::steady_clock::now() < until))
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  device.Disconnect();
  device.Stop();
  std::printf("disconnected\n");
  return 0;
}
