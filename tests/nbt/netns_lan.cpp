#include "tests/nbt/netns_lan.h"

#include <unistd.h>

#include <cstdio>

std::string WhyNoNamespaces() {
  if (geteuid() != 0) return "needs root to build network namespaces";
  const std::string probe = "nbtprobe" + std::to_string(getpid());
  Subprocess add({"ip", "netns", "add", probe});
  const bool made = add.CloseAndWait(5000) == 0;
  if (made) {
    Subprocess del({"ip", "netns", "del", probe});
    del.CloseAndWait(5000);
  }
  return made ? "" : "ip netns add failed: network namespaces unavailable";
}

bool OnPath(const std::string& program) {
  Subprocess which({"sh", "-c", "command -v \"$0\"", program});
  return which.CloseAndWait(5000) == 0;
}

NetnsLan::NetnsLan(int hosts, bool two_networks) {
  std::vector<std::string> argv = {"bash", NETNS_LAN_SCRIPT, "-n", std::to_string(hosts)};
  if (two_networks) argv.push_back("-2");
  argv.push_back("hold");
  script_ = std::make_unique<Subprocess>(argv);
  while (auto line = script_->ReadLine(Subprocess::Stream::kOut, 20000)) {
    if (*line == "ready") {
      ready_ = static_cast<int>(hosts_.size()) == hosts && !switch_.empty();
      break;
    }
    const auto equals = line->find('=');
    if (equals == std::string::npos) continue;
    const std::string key = line->substr(0, equals), value = line->substr(equals + 1);
    if (key == "switch") switch_ = value;
    if (key.rfind("host", 0) == 0) hosts_.push_back(value);
  }
}

NetnsLan::~NetnsLan() { script_->CloseAndWait(20000); }

std::string RunIn(const std::string& ns, const std::vector<std::string>& argv) {
  std::vector<std::string> full = {"ip", "netns", "exec", ns};
  full.insert(full.end(), argv.begin(), argv.end());
  Subprocess process(full);
  process.CloseAndWait(10000);
  std::string out = process.Rest(Subprocess::Stream::kOut);
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

namespace {

std::vector<std::string> DriverArgv(const std::string& ns, const std::string& computer_name,
                                    const std::vector<std::string>& wrapper) {
  std::vector<std::string> argv = {"ip", "netns", "exec", ns};
  argv.insert(argv.end(), wrapper.begin(), wrapper.end());
  const std::vector<std::string> command = {"env", "NB_COMPUTERNAME=" + computer_name, NBT_DRIVER};
  argv.insert(argv.end(), command.begin(), command.end());
  return argv;
}

}  // namespace

Driver::Driver(const std::string& ns, const std::string& computer_name,
               const std::vector<std::string>& wrapper)
    : process_(DriverArgv(ns, computer_name, wrapper)) {}

std::string Driver::Do(const std::string& command) {
  process_.WriteLine(command);
  return process_.ReadLine(Subprocess::Stream::kOut, 5000).value_or("");
}

int Driver::Quit() {
  process_.WriteLine("quit");
  return process_.CloseAndWait(10000);
}

std::string NameHex(const std::string& text, unsigned char suffix) {
  std::string name = text.substr(0, 15);
  name.resize(15, ' ');
  name.push_back(static_cast<char>(suffix));
  return Hex(name);
}

std::string Hex(const std::string& bytes) {
  std::string text;
  char digits[3];
  for (unsigned char c : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", c);
    text += digits;
  }
  return text;
}
