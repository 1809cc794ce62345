// Fixture: a LAN of network namespaces built by tools/netns-lan.sh with the monitor program
// running headless on its hosts, host i as station "HOST<i>", and the rows a full list holds.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/common/monitor_process.h"
#include "tests/common/netns_lan.h"

class MonitorLan : public ::testing::Test {
 protected:
  // Three seconds for a full list, and some slack for the program's start-up.
  static constexpr int kFullListMs = 3500;
  // The sweep marks a silent station within 8 seconds; some slack for the snapshot.
  static constexpr int kInactiveMs = 10000;

  // For SetUp: builds the LAN, or skips the test with the reason it cannot be built.
  void BuildLan(int hosts, bool two_networks);
  void TearDown() override;

  const NetnsLan& Lan() const { return *lan_; }
  int Hosts() const { return hosts_; }
  std::string SnapshotPath(int host) const;

  MonitorProcess& Start(int host, const std::vector<std::string>& wrapper = {});
  // Starts every host's station, spread over one second. Stations started in the same instant
  // send in the same 50 ms poll period of every peer, where a LANA takes one datagram only;
  // as their timers keep their phase they would keep missing each other. Spread out, as
  // stations on a real LAN start, they don't.
  void StartAll();
  // Starts the station of a stopped host again at the phase (within the second) of its first
  // start, so that it does not fall into another station's poll period either.
  void RestartInPhase(int host);
  MonitorProcess& Station(int host) { return *stations_.at(host); }
  // Drops the station of a host (ending it with SIGTERM if it still runs).
  void Forget(int host) { stations_.erase(host); }

  // The hardware address of the host's interface for `lana` as the LAN was built, as the list
  // shows it: 12 upper-case hex digits.
  const std::string& NodeAddress(int host, int lana) const {
    return node_addresses_.at({host, lana});
  }
  // The row that host `sender` gets on LANA `lana` of every station.
  StationRow RowOf(int sender, int lana, const std::string& status) const;
  // The full list of host `self`: every host on every LANA, itself "Local", others "Active".
  std::vector<StationRow> FullList(int self) const;
  // Waits, within kFullListMs in all, until each of these hosts shows its full list; the
  // milliseconds that took, or -1 after reporting a failure with what the host showed.
  long WaitForFullLists(const std::vector<int>& hosts);

 private:
  std::unique_ptr<NetnsLan> lan_;
  int hosts_ = 0;
  int lanas_ = 0;
  std::map<std::pair<int, int>, std::string> node_addresses_;  // by host and LANA
  std::string directory_;
  std::map<int, std::unique_ptr<MonitorProcess>> stations_;
  std::map<int, std::chrono::steady_clock::time_point> first_start_;
};

// Whether `rows` are `expected` in any order, minutes within one of `expected`'s.
bool SameRows(const std::vector<StationRow>& rows, const std::vector<StationRow>& expected);

// The row of node address `node` on LANA `lana`, or nullptr.
const StationRow* FindRow(const std::vector<StationRow>& rows, const std::string& lana,
                          const std::string& node);

long MillisecondsSince(std::chrono::steady_clock::time_point start);

// Whole minutes since boot as the service reports them.
int MinutesSinceBoot();
