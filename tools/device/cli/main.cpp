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
#include "input_sender.h"
#include "platform/socket.h"

namespace {

std::atomic<bool> g_interrupted{false};

void OnInterrupt(int) { g_interrupted = true; }

void Usage() {
  std::fprintf(stderr,
               "usage: vpdevice [--receiver ADDRESS | --broadcast ADDRESS] [--password TEXT]\n"
               "                [--name NAME] [--uid UID] [--seconds N]\n"
               "                [--pointer CODE:V1:V2] [--key VK] [--text TEXT] [--type TEXT]\n"
               "  --receiver   the receiver's IPv4 address (discovery is sent there)\n"
               "  --broadcast  where discovery is broadcast (default 255.255.255.255)\n"
               "  --seconds    stay paired this long, then disconnect (default: until Ctrl+C)\n"
               "  --pointer    once paired, send one pointer packet (hexadecimal, e.g. 94:0:0)\n"
               "  --key        once paired, press and release a virtual key (hexadecimal: 0D)\n"
               "  --text       once paired, enter the text\n"
               "  --type       once paired, type a line: the text, then Return\n");
}

struct Arguments {
  std::string receiver;
  std::string broadcast = "255.255.255.255";
  std::string password;
  DeviceOptions device;
  int seconds = 0;
  std::string pointer, key, text, line;
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
    else if (key == "--pointer") args->pointer = value;
    else if (key == "--key") args->key = value;
    else if (key == "--text") args->text = value;
    else if (key == "--type") args->line = value;
    else return false;
  }
  return true;
}

void Print(const ReceivedMessage& message) {
  std::printf("%s\n", message.Describe().c_str());
  std::fflush(stdout);
}

// The remote mouse and keyboard actions asked for on the command line.
bool SendInput(const Arguments& args, const std::string& receiver) {
  uint32_t ip = 0;
  if (!platform::TextToIpv4(receiver, &ip)) return false;
  InputSender input(ip);
  bool sent = input.IsOpen();
  unsigned code = 0, value1 = 0, value2 = 0;
  if (!args.pointer.empty()) {
    sent = sent && std::sscanf(args.pointer.c_str(), "%x:%x:%x", &code, &value1, &value2) == 3 &&
           input.SendPointer(static_cast<uint8_t>(code), static_cast<uint16_t>(value1),
                             static_cast<uint16_t>(value2));
  }
  if (!args.key.empty()) {
    const auto key = static_cast<uint8_t>(std::strtoul(args.key.c_str(), nullptr, 16));
    sent = sent && input.PressKey(key);
  }
  if (!args.text.empty()) sent = sent && input.SendText(args.text);
  if (!args.line.empty()) sent = sent && input.TypeLine(args.line);
  return sent;
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
  if (!SendInput(args, device.Receiver())) std::fprintf(stderr, "vpdevice: input not sent\n");

  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(args.seconds);
  while (!g_interrupted && (args.seconds <= 0 || std::chrono::steady_clock::now() < until))
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  device.Disconnect();
  device.Stop();
  std::printf("disconnected\n");
  return 0;
}
