// The monitor program when its network fails: the datagram port cannot be opened at start, or
// an interface goes away while it runs.
#include <signal.h>

#include <optional>

#include "tests/lan/monitor_lan.h"

namespace {

constexpr char kNoRedirectorText[] =
    "No Holmsgard Redirector name is found in this machine.\n"
    "  Please make sure Holmsgard is running.";

class OneHost : public MonitorLan {
 protected:
  void SetUp() override { BuildLan(1, false); }
};

TEST_F(OneHost, PortThatCannotBeOpenedIsExplainedAndTheMonitorStaysUpEmpty) {
  struct Case {
    const char* what;
    std::vector<std::string> wrapper;  // runs the program
    bool port_held;                    // by a program that doesn't share it
    std::vector<std::string> cause;    // parts of the line on standard error
  };
  const Case cases[] = {
      {"no privilege for port 138",
       {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"},
       false,
       {"UDP 138", "no privilege", "setcap cap_net_bind_service=ep "}},
      {"port 138 held", {}, true, {"UDP 138", "another program holds it", "stop that program"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::optional<Subprocess> holder;
    if (c.port_held) {
      holder.emplace(
          std::vector<std::string>{"ip", "netns", "exec", Lan().Host(1), UDP_PEER, "hold", "138"});
      ASSERT_EQ(holder->ReadLine(Subprocess::Stream::kOut, 5000).value_or(""), "holding");
    }
    MonitorProcess& station = Start(1, c.wrapper);
    Subprocess& process = station.Process();
    const std::string cause = process.ReadLine(Subprocess::Stream::kErr, 5000).value_or("");
    for (const std::string& part : c.cause) EXPECT_NE(cause.find(part), std::string::npos) << cause;
    std::string message = process.ReadLine(Subprocess::Stream::kErr, 5000).value_or("");
    message += "\n" + process.ReadLine(Subprocess::Stream::kErr, 5000).value_or("");
    EXPECT_EQ(message, kNoRedirectorText);

    // The window stays up, empty, until it is closed.
    EXPECT_EQ(station.WaitForExit(1000), -1);
    EXPECT_TRUE(station.Rows().empty()) << DescribeRows(station.Rows());
    station.Signal(SIGTERM);
    EXPECT_EQ(station.WaitForExit(5000), 0);
    EXPECT_EQ(process.Rest(Subprocess::Stream::kErr), "");
    Forget(1);
  }
}

class TwoHostsOnTwoNetworks : public MonitorLan {
 protected:
  void SetUp() override { BuildLan(2, true); }

  // On host `self`: host `other`'s row on LANA 01 has gone quiet while LANA 00 goes on.
  bool OnlySecondLanaSilent(int self, int other, int timeout_ms) {
    return Station(self).WaitForRows(
        [&](const std::vector<StationRow>& rows) {
          const StationRow* first = FindRow(rows, "00", NodeAddress(other, 0));
          const StationRow* second = FindRow(rows, "01", NodeAddress(other, 1));
          return first && second && first->status == "Active" && second->status == "Inactive";
        },
        timeout_ms);
  }

  bool SecondLanaActive(int self, int other, int timeout_ms) {
    return Station(self).WaitForRows(
        [&](const std::vector<StationRow>& rows) {
          const StationRow* second = FindRow(rows, "01", NodeAddress(other, 1));
          return second && second->status == "Active";
        },
        timeout_ms);
  }
};

TEST_F(TwoHostsOnTwoNetworks, InterfaceRemovedWhileRunningStopsOnlyItsLanaUntilItIsBack) {
  StartAll();
  ASSERT_GE(WaitForFullLists({1, 2}), 0);

  ASSERT_EQ(RunIn(Lan().Host(1), {"ip", "link", "del", "eth1"}), "");
  // A sweep marks both rows of the other station; its next datagram on LANA 00 revives one.
  EXPECT_TRUE(OnlySecondLanaSilent(1, 2, kInactiveMs + 1000)) << DescribeRows(Station(1).Rows());
  EXPECT_TRUE(OnlySecondLanaSilent(2, 1, kInactiveMs + 1000)) << DescribeRows(Station(2).Rows());
  EXPECT_EQ(Station(1).WaitForExit(0), -1) << "the monitor ended";

  // The interface comes back: a new link of the same name. Host 1 still announces the node
  // address its LANA had at start.
  const std::string sw = Lan().Switch(), host = Lan().Host(1);
  RunIn(sw, {"ip", "link", "add", "h1e1", "type", "veth", "peer", "name", "eth1", "netns", host});
  RunIn(sw, {"ip", "link", "set", "h1e1", "master", "br1", "up"});
  RunIn(host, {"ip", "addr", "add", "10.213.1.1/24", "brd", "+", "dev", "eth1"});
  RunIn(host, {"ip", "link", "set", "eth1", "up"});
  EXPECT_TRUE(SecondLanaActive(1, 2, kFullListMs)) << DescribeRows(Station(1).Rows());
  EXPECT_TRUE(SecondLanaActive(2, 1, kFullListMs)) << DescribeRows(Station(2).Rows());

  Station(1).Signal(SIGTERM);
  EXPECT_EQ(Station(1).WaitForExit(5000), 0);
  EXPECT_EQ(Station(1).Process().Rest(Subprocess::Stream::kErr), "");  // failures were quiet
}

}  // namespace
