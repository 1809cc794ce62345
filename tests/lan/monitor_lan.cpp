#include "tests/lan/monitor_lan.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

void MonitorLan::BuildLan(int hosts, bool two_networks) {
  const std::string why = WhyNoNamespaces();
  if (!why.empty()) GTEST_SKIP() << why;
  lan_ = std::make_unique<NetnsLan>(hosts, two_networks);
  ASSERT_TRUE(lan_->Ready()) << "tools/netns-lan.sh did not build the LAN";
  hosts_ = hosts;
  lanas_ = two_networks ? 2 : 1;
  for (int host = 1; host <= hosts_; ++host) {
    for (int lana = 0; lana < lanas_; ++lana) {
      std::string mac = RunIn(Lan().Host(host),
                              {"cat", "/sys/class/net/eth" + std::to_string(lana) + "/address"});
      std::erase(mac, ':');
      for (char& c : mac) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      node_addresses_[{host, lana}] = mac;
    }
  }
  char pattern[] = "/tmp/pellorin-lan-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  directory_ = pattern;
  chmod(pattern, 01777);  // stations that run without privilege write here too
}

void MonitorLan::TearDown() {
  stations_.clear();
  lan_.reset();
  if (!directory_.empty()) std::filesystem::remove_all(directory_);
}

std::string MonitorLan::SnapshotPath(int host) const {
  return directory_ + "/host" + std::to_string(host) + ".snapshot";
}

MonitorProcess& MonitorLan::Start(int host, const std::vector<std::string>& wrapper) {
  std::filesystem::remove(SnapshotPath(host));  // nothing of an earlier run may be read
  first_start_.try_emplace(host, std::chrono::steady_clock::now());
  auto& station = stations_[host];
  station = std::make_unique<MonitorProcess>(Lan().Host(host), "host" + std::to_string(host),
                                             SnapshotPath(host), wrapper);
  return *station;
}

void MonitorLan::StartAll() {
  for (int host = 1; host <= hosts_; ++host) {
    if (host > 1) std::this_thread::sleep_for(std::chrono::milliseconds(1000 / hosts_));
    Start(host);
  }
}

void MonitorLan::RestartInPhase(int host) {
  const auto since = std::chrono::steady_clock::now() - first_start_.at(host);
  const auto whole = std::chrono::ceil<std::chrono::seconds>(since);
  std::this_thread::sleep_until(first_start_.at(host) + whole);
  Start(host);
}

StationRow MonitorLan::RowOf(int sender, int lana, const std::string& status) const {
  char lana_text[3];
  std::snprintf(lana_text, sizeof lana_text, "%02X", lana);
  std::string name = "HOST" + std::to_string(sender);
  name.resize(15, ' ');  // the redirector name: upper case, padded with spaces
  return {lana_text, name, NodeAddress(sender, lana), std::to_string(MinutesSinceBoot()),
          status,    "0%"};
}

std::vector<StationRow> MonitorLan::FullList(int self) const {
  std::vector<StationRow> rows;
  for (int lana = 0; lana < lanas_; ++lana)
    for (int host = 1; host <= hosts_; ++host)
      rows.push_back(RowOf(host, lana, host == self ? "Local" : "Active"));
  return rows;
}

long MonitorLan::WaitForFullLists(const std::vector<int>& hosts) {
  const auto start = std::chrono::steady_clock::now();
  for (int host : hosts) {
    const std::vector<StationRow> expected = FullList(host);
    const auto full = [&](const std::vector<StationRow>& rows) { return SameRows(rows, expected); };
    if (!Station(host).WaitForRows(full,
                                   kFullListMs - static_cast<int>(MillisecondsSince(start)))) {
      ADD_FAILURE() << "host " << host << " shows\n"
                    << DescribeRows(Station(host).Rows()) << "expected\n"
                    << DescribeRows(expected);
      return -1;
    }
  }
  return MillisecondsSince(start);
}

bool SameRows(const std::vector<StationRow>& rows, const std::vector<StationRow>& expected) {
  if (rows.size() != expected.size()) return false;
  return std::all_of(expected.begin(), expected.end(), [&](const StationRow& want) {
    const StationRow* row = FindRow(rows, want.lana, want.node);
    return row && row->name == want.name && row->status == want.status &&
           row->error == want.error &&
           std::abs(std::atoi(row->minutes.c_str()) - std::atoi(want.minutes.c_str())) <= 1;
  });
}

const StationRow* FindRow(const std::vector<StationRow>& rows, const std::string& lana,
                          const std::string& node) {
  const auto row = std::find_if(rows.begin(), rows.end(), [&](const StationRow& r) {
    return r.lana == lana && r.node == node;
  });
  return row == rows.end() ? nullptr : &*row;
}

long MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

int MinutesSinceBoot() {
  std::ifstream uptime("/proc/uptime");
  double seconds = 0;
  uptime >> seconds;
  return std::min(65535, static_cast<int>(seconds / 60));
}
