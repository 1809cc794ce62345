// Test support: a LAN of network namespaces held by tools/netns-lan.sh for the life of the
// object, and commands run inside its hosts. The script takes the LAN down when this process
// closes its standard input, also when the test dies.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/common/subprocess.h"

// Empty when this process may build namespaces (root, ip netns works); else why not.
std::string WhyNoNamespaces();

// Whether a program of this name is on PATH.
bool OnPath(const std::string& program);

class NetnsLan {
 public:
  NetnsLan(int hosts, bool two_networks);
  ~NetnsLan();
  bool Ready() const { return ready_; }
  const std::string& Switch() const { return switch_; }
  const std::string& Host(int i) const { return hosts_.at(i - 1); }  // 1-based, like addresses

 private:
  std::unique_ptr<Subprocess> script_;
  bool ready_ = false;
  std::string switch_;
  std::vector<std::string> hosts_;
};

// Runs argv inside namespace ns, waits, and returns its standard output (trimmed).
std::string RunIn(const std::string& ns, const std::vector<std::string>& argv);
