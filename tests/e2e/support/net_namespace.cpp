#include "net_namespace.h"

#include "platform/socket.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sched.h>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kPrefix = "vp";

std::string Capture(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
  pclose(pipe);
  return out;
}

void KillProcessesIn(const std::string& name) {
  for (int round = 0; round < 50; ++round) {
    std::istringstream pids(Capture("ip netns pids " + name + " 2>/dev/null"));
    std::vector<int> found;
    for (int pid; pids >> pid;) found.push_back(pid);
    if (found.empty()) return;
    for (int pid : found) kill(pid, round < 20 ? SIGTERM : SIGKILL);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

}  // namespace

bool RunCommand(const std::string& command) { return std::system(command.c_str()) == 0; }

NetNamespace::NetNamespace(const std::string& tag)
    : name_(kPrefix + std::to_string(getpid()) + tag) {
  valid_ = RunCommand("ip netns add " + name_) &&
           RunCommand("ip -n " + name_ + " link set lo up");
}

NetNamespace::~NetNamespace() {
  KillProcessesIn(name_);
  RunCommand("ip netns del " + name_ + " 2>/dev/null");
}

void NetNamespace::RemoveStale() {
  std::istringstream list(Capture("ip netns list 2>/dev/null"));
  for (std::string line; std::getline(list, line);) {
    std::string name = line.substr(0, line.find(' '));
    if (name.rfind(kPrefix, 0) != 0) continue;
    size_t digits = 2;
    while (digits < name.size() && std::isdigit(static_cast<unsigned char>(name[digits]))) ++digits;
    if (digits == 2) continue;
    int pid = std::atoi(name.substr(2, digits - 2).c_str());
    if (pid <= 0 || kill(pid, 0) == 0 || errno != ESRCH) continue;
    KillProcessesIn(name);
    RunCommand("ip netns del " + name + " 2>/dev/null");
  }
}

bool ConnectNamespaces(const NetNamespace& a, const std::string& a_ip, const NetNamespace& b,
                       const std::string& b_ip, const std::string& link_tag) {
  // Interface names are at most 15 characters: "vp<pid><tag>a".
  const std::string base = kPrefix + std::to_string(getpid()) + link_tag;
  const std::string end_a = base + "a", end_b = base + "b";
  return RunCommand("ip link add " + end_a + " netns " + a.Name() + " type veth peer name " +
                    end_b + " netns " + b.Name()) &&
         RunCommand("ip -n " + a.Name() + " addr add " + a_ip + "/30 dev " + end_a) &&
         RunCommand("ip -n " + b.Name() + " addr add " + b_ip + "/30 dev " + end_b) &&
         RunCommand("ip -n " + a.Name() + " link set " + end_a + " up") &&
         RunCommand("ip -n " + b.Name() + " link set " + end_b + " up");
}

bool RunInNamespace(const NetNamespace& ns, const std::function<void()>& fn) {
  bool entered = false;
  std::thread([&] {
    int fd = open(("/run/netns/" + ns.Name()).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    entered = setns(fd, CLONE_NEWNET) == 0;
    close(fd);
    if (entered) fn();
  }).join();
  return entered;
}

bool SendLoopbackDatagram(const NetNamespace& ns, const std::string& source_ip, uint16_t port,
                          const std::string& datagram) {
  bool sent = false;
  RunInNamespace(ns, [&] {
    uint32_t ip = 0;
    platform::Socket socket = platform::Socket::Udp();
    sent = platform::TextToIpv4(source_ip, &ip) && socket.Bind(ip, 0) &&
           socket.SendTo(datagram.data(), datagram.size(), platform::LoopbackIpv4(), port) ==
               static_cast<int>(datagram.size());
  });
  return sent;
}
