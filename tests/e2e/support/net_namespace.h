// Network namespaces for whole-program tests: the receiver and every emulated
// device get a network stack of their own, joined by veth pairs, so that each
// can bind the product's fixed ports and no test traffic leaves the machine.
//
// Names carry the test process id ("vp<pid>..."), so a later run can tell a
// namespace left by a killed run (its process is gone) from one in use.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Runs a command line through the shell; true when it exited with 0.
bool RunCommand(const std::string& command);

class NetNamespace {
 public:
  // "vp<pid><tag>"; the namespace is created with its loopback up.
  explicit NetNamespace(const std::string& tag);
  NetNamespace(const NetNamespace&) = delete;
  NetNamespace& operator=(const NetNamespace&) = delete;
  // Ends every process still inside, then deletes the namespace (and with
  // it the veth ends it holds).
  ~NetNamespace();

  bool IsValid() const { return valid_; }
  const std::string& Name() const { return name_; }

  // Deletes namespaces named vp<pid>... whose process no longer exists.
  static void RemoveStale();

 private:
  std::string name_;
  bool valid_ = false;
};

// A veth pair between two namespaces: a_ip/30 in a, b_ip/30 in b, both up.
bool ConnectNamespaces(const NetNamespace& a, const std::string& a_ip, const NetNamespace& b,
                       const std::string& b_ip, const std::string& link_tag);

// Runs fn on a new thread that has entered the namespace and waits for it.
// Sockets opened by fn, and threads fn starts, belong to the namespace.
// False when the namespace could not be entered (fn did not run).
bool RunInNamespace(const NetNamespace& ns, const std::function<void()>& fn);

// Sends one UDP datagram inside the namespace from source_ip (any port) to
// 127.0.0.1:port. True when it was sent.
bool SendLoopbackDatagram(const NetNamespace& ns, const std::string& source_ip, uint16_t port,
                          const std::string& datagram);
