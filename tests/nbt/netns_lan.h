// Test support: a LAN of network namespaces held by tools/netns-lan.sh for the life of the
// object, and commands run inside its hosts. The script takes the LAN down when this process
// closes its standard input, also when the test dies.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/nbt/subprocess.h"

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

// The test driver (nbt_driver) running inside a namespace.
class Driver {
 public:
  Driver(const std::string& ns, const std::string& computer_name,
         const std::vector<std::string>& wrapper = {});
  // Sends one command line and returns the answer line ("" when none came within 5 s).
  std::string Do(const std::string& command);
  // Quits the driver; its exit status.
  int Quit();
  Subprocess& Process() { return process_; }

 private:
  Subprocess process_;
};

// 16 name bytes as the driver takes them: text padded with spaces to 15 bytes plus suffix.
std::string NameHex(const std::string& text, unsigned char suffix = ' ');
std::string Hex(const std::string& bytes);
