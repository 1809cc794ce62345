// The monitor program on a LAN of network namespaces, with the real NetBIOS service: what the
// stations list of each other, as their snapshots show it.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "tests/common/rfc1002_datagram.h"
#include "tests/lan/monitor_lan.h"

namespace {

using Clock = std::chrono::steady_clock;

class ThreeStations : public MonitorLan {
 protected:
  void SetUp() override { BuildLan(3, false); }
};

TEST_F(ThreeStations, EachListsItselfLocalAndTheOthersActive) {
  StartAll();
  const long took = WaitForFullLists({1, 2, 3});
  ASSERT_GE(took, 0);
  std::printf("full lists on all three hosts %ld ms after the last station started\n", took);
}

TEST_F(ThreeStations, KilledStationTurnsInactiveStaysSoAndComesBackWhenRestarted) {
  StartAll();
  ASSERT_GE(WaitForFullLists({1, 2, 3}), 0);

  const Clock::time_point killed = Clock::now();
  Station(3).Signal(SIGKILL);
  EXPECT_EQ(Station(3).WaitForExit(5000), 128 + SIGKILL);
  Forget(3);
  const StationRow gone = RowOf(3, 0, "Inactive");
  const auto shows_gone = [&](const std::vector<StationRow>& rows) {
    const StationRow* row = FindRow(rows, gone.lana, gone.node);
    return row && row->status == "Inactive";
  };
  for (int host : {1, 2})
    ASSERT_TRUE(Station(host).WaitForRows(shows_gone, kInactiveMs - MillisecondsSince(killed)))
        << "host " << host << " shows\n"
        << DescribeRows(Station(host).Rows());
  std::printf("killed station inactive on both others %ld ms after SIGKILL\n",
              MillisecondsSince(killed));

  // It stays so, while the live stations come back from the sweep.
  for (const Clock::time_point until = Clock::now() + std::chrono::seconds(3);
       Clock::now() < until;) {
    for (int host : {1, 2}) ASSERT_TRUE(shows_gone(Station(host).Rows())) << "host " << host;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }

  RestartInPhase(3);
  const long took = WaitForFullLists({3, 1, 2});
  ASSERT_GE(took, 0);
  std::printf("restarted station listed active again %ld ms after its start\n", took);
}

class TwoStationsOnTwoNetworks : public MonitorLan {
 protected:
  void SetUp() override { BuildLan(2, true); }
};

TEST_F(TwoStationsOnTwoNetworks, EachInterfaceIsALanaWithItsOwnRows) {
  StartAll();
  EXPECT_GE(WaitForFullLists({1, 2}), 0);
}

class StationAndForeignSender : public MonitorLan {
 protected:
  void SetUp() override { BuildLan(2, false); }
};

// Another NetBIOS stack's status datagrams, written out from the RFC and sent from a host where
// no station runs, are listed field by field.
TEST_F(StationAndForeignSender, HandBuiltStatusDatagramsAreListed) {
  struct Case {
    std::string status_dgram;  // the 30 bytes of user data
    StationRow row;            // as listed once a second datagram has come
  };
  const Case cases[] = {
      {std::string("Visitor 7      \x03\x34\x12\x2a\0\0\0\0\x02\xab\x34\xcd\x56\xef\0", 30),
       {"00", "Visitor 7      ", "02AB34CD56EF", "4660", "Active", "42%"}},
      {std::string("guest\0\0\0\0\0\0\0\0\0\0\0\xff\xff\xff\0\0\0\0\x0a\x0b\x0c\x0d\x0e\x0f\0", 30),
       {"00", "guest", "0A0B0C0D0E0F", "65535", "Active", "255%"}},
  };
  MonitorProcess& station = Start(1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row.name);
    const std::string packet = DirectGroupDatagramHex(0x0AD50002, 0x0101, "FOREIGN        \x20",
                                                      "BrumwickPELLORIN", c.status_dgram);
    // A LANA takes one datagram per poll tick: send until two have been taken.
    bool listed = false;
    for (int i = 0; i < 50 && !listed; ++i) {
      RunIn(Lan().Host(2), {UDP_PEER, "send", "10.213.0.255", "138", packet, "138"});
      listed = station.WaitForRows(
          [&](const auto& rows) {
            const StationRow* row = FindRow(rows, c.row.lana, c.row.node);
            return row && row->status == "Active";
          },
          100);
    }
    const std::vector<StationRow> rows = station.Rows();
    const StationRow* row = FindRow(rows, c.row.lana, c.row.node);
    ASSERT_TRUE(row) << DescribeRows(rows);
    EXPECT_EQ(*row, c.row) << DescribeRows(rows);
  }
}

}  // namespace
