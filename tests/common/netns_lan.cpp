#include "tests/common/netns_lan.h"

#include <unistd.h>

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
