// The exchange cycle end to end: monitors on a simulated LAN, on the virtual clock, send their
// status, show each other, age the rows of stations that stopped, and pause for the sweep.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "netbios/nb_commands.h"
#include "tests/system/support/list_view.h"
#include "tests/system/support/sim_lan.h"
#include "tests/system/virtual_lan.h"

namespace {

class ExchangeCycleTest : public VirtualLanTest {
 protected:
  // The station list of a station at a moment of virtual time.
  void ReadRowsAt(std::uint64_t at_ms, StationThread& station, std::vector<ListRow>* rows) {
    At(at_ms, [&station, rows] { *rows = ListRows(station.Dlg().Window()); });
  }

  // One station with adapters on LANA 0 (segment 1) and LANA 3 (segment 2).
  StationThread& OneStationOnLanas0And3() {
    AddStationAdapter(Sim(), kLana0, 1, "SOLO");
    AddStationAdapter(Sim(), kLana3, 2, "SOLO");
    SetFigures(Sim(), kLana0, 10, 100, 1);
    SetFigures(Sim(), kLana3, 20, 100, 2);
    return AddStation(1);
  }

  static constexpr SimAdapterId kLana0{1, 0};
  static constexpr SimAdapterId kLana3{1, 3};
};

TEST_F(ExchangeCycleTest, TwoStationsSeeEachOtherWithinASendAndAPollPeriod) {
  constexpr SimAdapterId kAlder{1, 0};
  constexpr SimAdapterId kBirch{2, 1};
  AddStationAdapter(Sim(), kAlder, 1, "ALDER");
  AddStationAdapter(Sim(), kBirch, 1, "BIRCH");
  SetFigures(Sim(), kAlder, 11, 100, 1);
  SetFigures(Sim(), kBirch, 22, 100, 2);
  StationThread& alder = AddStation(1);
  StationThread& birch = AddStation(2);
  // BIRCH's ticks fall 20 ms off ALDER's, so no send meets a poll of the other station.
  birch.StartAt(520);
  std::vector<ListRow> birch_1051, alder_1551, birch_1571, alder_2600, birch_2600;
  // ALDER sends at 1000 and BIRCH at 1520: each is shown at the next poll of the other, and
  // of its sender (1050, 1570) at the latest.
  ReadRowsAt(1051, birch, &birch_1051);
  ReadRowsAt(1551, alder, &alder_1551);
  ReadRowsAt(1571, birch, &birch_1571);
  ReadRowsAt(2600, alder, &alder_2600);
  ReadRowsAt(2600, birch, &birch_2600);
  RunStations(2700);

  const std::string alder_node = NodeText(kAlder), birch_node = NodeText(kBirch);
  EXPECT_EQ(birch_1051, (std::vector<ListRow>{StationRow(1, "ALDER", alder_node, 11, "", 1)}));
  EXPECT_EQ(alder_1551, (std::vector<ListRow>{StationRow(0, "ALDER", alder_node, 11, "", 1),
                                              StationRow(0, "BIRCH", birch_node, 22, "", 2)}));
  EXPECT_EQ(birch_1571, (std::vector<ListRow>{StationRow(1, "ALDER", alder_node, 11, "", 1),
                                              StationRow(1, "BIRCH", birch_node, 22, "", 2)}));
  EXPECT_EQ(alder_2600,
            (std::vector<ListRow>{StationRow(0, "ALDER", alder_node, 11, "Local", 1),
                                  StationRow(0, "BIRCH", birch_node, 22, "Active", 2)}));
  EXPECT_EQ(birch_2600, (std::vector<ListRow>{StationRow(1, "ALDER", alder_node, 11, "Active", 1),
                                              StationRow(1, "BIRCH", birch_node, 22, "Local", 2)}));
}

// Three stations about a quarter second apart: ALDER on LANAs 0 (segment 1) and 1 (segment 2),
// BIRCH on LANA 2 (segment 1), CEDAR on LANAs 3 (segment 1) and 4 (segment 2). Their ticks lie
// on different 50 ms grids, so no send meets another station's poll at the same moment.
class ThreeStationTest : public ExchangeCycleTest {
 protected:
  static constexpr SimAdapterId kAlder0{1, 0}, kAlder1{1, 1}, kBirch2{2, 2}, kCedar3{3, 3},
      kCedar4{3, 4};

  ThreeStationTest() : m_alder(AddStation(1)), m_birch(AddStation(2)), m_cedar(AddStation(3)) {
    AddStationAdapter(Sim(), kAlder0, 1, "ALDER");
    AddStationAdapter(Sim(), kAlder1, 2, "ALDER");
    AddStationAdapter(Sim(), kBirch2, 1, "BIRCH");
    AddStationAdapter(Sim(), kCedar3, 1, "CEDAR");
    AddStationAdapter(Sim(), kCedar4, 2, "CEDAR");
    for (SimAdapterId id : {kAlder0, kAlder1}) SetFigures(Sim(), id, 11, 100, 1);
    SetFigures(Sim(), kBirch2, 22, 100, 2);
    for (SimAdapterId id : {kCedar3, kCedar4}) SetFigures(Sim(), id, 300, 1000, 70);
    m_birch.StartAt(270);
    m_cedar.StartAt(530);
  }

  static ListRow Alder(int lana, SimAdapterId from, const std::string& status) {
    return StationRow(lana, "ALDER", NodeText(from), 11, status, 1);
  }
  static ListRow Birch(int lana, const std::string& status) {
    return StationRow(lana, "BIRCH", NodeText(kBirch2), 22, status, 2);
  }
  static ListRow Cedar(int lana, SimAdapterId from, const std::string& status) {
    return StationRow(lana, "CEDAR", NodeText(from), 300, status, 7);
  }

  // ALDER's and BIRCH's lists once every station has been heard, with the status each
  // station's rows show.
  static std::vector<ListRow> AlderSees(const std::string& alder, const std::string& birch,
                                        const std::string& cedar) {
    return {Alder(0, kAlder0, alder), Alder(1, kAlder1, alder), Birch(0, birch),
            Cedar(0, kCedar3, cedar), Cedar(1, kCedar4, cedar)};
  }
  static std::vector<ListRow> BirchSees(const std::string& alder, const std::string& birch,
                                        const std::string& cedar) {
    return {Alder(2, kAlder0, alder), Birch(2, birch), Cedar(2, kCedar3, cedar)};
  }

  StationThread& m_alder;
  StationThread& m_birch;
  StationThread& m_cedar;
};

TEST_F(ThreeStationTest, EveryStationShowsEveryStationOnEachSharedSegment) {
  std::vector<ListRow> alder_1551, alder_2600, birch_2600, cedar_2600;
  ReadRowsAt(1551, m_alder, &alder_1551);
  ReadRowsAt(2600, m_alder, &alder_2600);
  ReadRowsAt(2600, m_birch, &birch_2600);
  ReadRowsAt(2600, m_cedar, &cedar_2600);
  RunStations(2700);

  EXPECT_EQ(alder_1551, AlderSees("", "", ""));
  EXPECT_EQ(alder_2600, AlderSees("Local", "Active", "Active"));
  EXPECT_EQ(birch_2600, BirchSees("Active", "Local", "Active"));
  EXPECT_EQ(cedar_2600,
            (std::vector<ListRow>{Alder(3, kAlder0, "Active"), Alder(4, kAlder1, "Active"),
                                  Birch(3, "Active"), Cedar(3, kCedar3, "Local"),
                                  Cedar(4, kCedar4, "Local")}));
}

// How CEDAR stops sending at 3100.
enum class StopBy { kClosingItsWindow, kFailingSends };

class StoppedStationTest : public ThreeStationTest, public ::testing::WithParamInterface<StopBy> {};

TEST_P(StoppedStationTest, StoppedStationTurnsInactiveAtTheNextSweepAndKeepsItsFigures) {
  if (GetParam() == StopBy::kClosingItsWindow) {
    PostAt(3100, m_cedar, WM_CLOSE);
  } else {
    At(3100, [this] {
      Sim().FailCommand(kCedar3, NCBDGSEND, NRC_SYSTEM);
      Sim().FailCommand(kCedar4, NCBDGSEND, NRC_SYSTEM);
    });
  }
  std::vector<ListRow> alder_7990, alder_9700, birch_9700;
  ReadRowsAt(7990, m_alder, &alder_7990);
  ReadRowsAt(9700, m_alder, &alder_9700);
  ReadRowsAt(9700, m_birch, &birch_9700);
  RunStations(9800);

  // Until ALDER's sweep at 8000 nothing changes; after it, BIRCH's next datagram (8270) makes
  // it Active again while CEDAR's rows stay Inactive with their last figures.
  EXPECT_EQ(alder_7990, AlderSees("Local", "Active", "Active"));
  EXPECT_EQ(alder_9700, AlderSees("Local", "Active", "Inactive"));
  EXPECT_EQ(birch_9700, BirchSees("Active", "Local", "Inactive"));
}

INSTANTIATE_TEST_SUITE_P(Ways, StoppedStationTest,
                         ::testing::Values(StopBy::kClosingItsWindow, StopBy::kFailingSends),
                         [](const auto& info) {
                           return info.param == StopBy::kClosingItsWindow ? "ClosingItsWindow"
                                                                          : "FailingSends";
                         });

TEST_F(ExchangeCycleTest, SendTickRunsTwoPassesOverTheAdaptersInListOrder) {
  OneStationOnLanas0And3();
  RunStations(1010);

  auto sent = Sim().SentDatagrams();
  ASSERT_EQ(sent.size(), 4u);
  std::vector<int> lanas;
  for (const SimSentDatagram& d : sent) lanas.push_back(d.sender.lana);
  EXPECT_EQ(lanas, (std::vector<int>{0, 3, 0, 3}));
  EXPECT_EQ(sent[0].data, sent[2].data);
  EXPECT_EQ(sent[1].data, sent[3].data);
  EXPECT_NE(sent[0].data, sent[1].data);
}

// The sweep is held up from 8000 to 9500 by a handler that its pump delivers and that runs a
// nested message loop: virtual time moves meanwhile, so the pause of the timers shows. The
// datagrams injected during the pause would make any poll tick post receives.
TEST_F(ExchangeCycleTest, SweepPausesTheTimersAndRestartsThemWhenItEnds) {
  StationThread& station = OneStationOnLanas0And3();
  std::atomic<bool> released{false};
  Recorder().SetHook([&](const IssuedCommand& c) {
    if (c.Command() != NCBASTAT || c.at_ms != 8000) return;
    station.Dlg().PostTask([&released] {
      MSG msg;
      while (!released && GetMessage(&msg, nullptr, 0, 0)) DispatchMessage(&msg);
    });
  });
  At(9500, [&] { station.Dlg().PostTask([&released] { released = true; }); });
  At(7000, [this] {
    SetFigures(Sim(), kLana0, 77, 100, 5);
    SetFigures(Sim(), kLana3, 88, 100, 6);
  });
  const SimName peer = PaddedName("PEER");
  const STATUS_DGRAM dgram = MakeDatagram(peer, 5, 0, NodeOf({9, 0}));
  At(8110, [&] {
    Sim().InjectDatagram(1, peer, GroupName(), BytesOf(dgram));
    Sim().InjectDatagram(2, peer, GroupName(), BytesOf(dgram));
  });
  RunStations(10510);

  std::vector<std::uint64_t> send_ticks;
  for (std::uint64_t t = 1000; t <= 8000; t += 1000) send_ticks.insert(send_ticks.end(), 4, t);
  send_ticks.insert(send_ticks.end(), 4, 10500);
  EXPECT_EQ(TimesOf(Recorder().Commands(NCBDGSEND)), send_ticks);

  // From the sweep's first status query on: the second one when the sweep goes on at 9500,
  // then the first poll 50 ms after the restart, which finds both LANAs idle.
  auto commands = CommandsFrom(1, 8000);
  auto sweep = std::find_if(commands.begin(), commands.end(),
                            [](const IssuedCommand& c) { return c.Command() == NCBASTAT; });
  ASSERT_GE(commands.end() - sweep, 4);
  EXPECT_EQ(sweep[0].Lana(), 0);
  EXPECT_EQ(sweep[1].Command(), NCBASTAT);
  EXPECT_EQ(sweep[1].Lana(), 3);
  EXPECT_EQ(sweep[1].at_ms, 9500u);
  for (int i : {2, 3}) {
    EXPECT_EQ(sweep[i].Command(), NCBDGRECV | ASYNCH);
    EXPECT_EQ(sweep[i].at_ms, 9550u);
  }

  // Datagrams sent after the sweep carry both adapters' new figures.
  auto sent = Sim().SentDatagrams();
  ASSERT_EQ(sent.size(), 36u);
  EXPECT_EQ(sent[28].data, BytesOf(MakeDatagram(PaddedName("SOLO"), 10, 1, NodeOf(kLana0))));
  EXPECT_EQ(sent[32].data, BytesOf(MakeDatagram(PaddedName("SOLO"), 77, 5, NodeOf(kLana0))));
  EXPECT_EQ(sent[33].data, BytesOf(MakeDatagram(PaddedName("SOLO"), 88, 6, NodeOf(kLana3))));
  EXPECT_EQ(station.Dlg().TimersAfterLastSweep(), (std::vector<UINT_PTR>{101, 102, 103}));
}

TEST_F(ExchangeCycleTest, FailedRefreshKeepsThatAdaptersFiguresOnly) {
  OneStationOnLanas0And3();
  At(7000, [this] {
    SetFigures(Sim(), kLana0, 77, 100, 5);
    SetFigures(Sim(), kLana3, 88, 100, 6);
    Sim().FailCommand(kLana0, NCBASTAT, NRC_SYSTEM, 1);
  });
  RunStations(9010);

  auto sent = Sim().SentDatagrams();
  ASSERT_EQ(sent.size(), 36u) << "the sweep restarted the timers";
  EXPECT_EQ(sent[32].data, BytesOf(MakeDatagram(PaddedName("SOLO"), 10, 1, NodeOf(kLana0))));
  EXPECT_EQ(sent[33].data, BytesOf(MakeDatagram(PaddedName("SOLO"), 88, 6, NodeOf(kLana3))));
}

TEST_F(ExchangeCycleTest, FirstPollPostsReceivesAndAnOutstandingReceiveIsLeftAlone) {
  StationThread& station = OneStationOnLanas0And3();
  const SimName peer = PaddedName("PEER");
  const STATUS_DGRAM dgram = MakeDatagram(peer, 5, 0, NodeOf({9, 0}));
  // Before the first poll no receive is outstanding: these are lost.
  At(20, [&] {
    Sim().InjectDatagram(1, peer, GroupName(), BytesOf(dgram));
    Sim().InjectDatagram(2, peer, GroupName(), BytesOf(dgram));
  });
  At(75, [&] { Sim().InjectDatagram(1, peer, GroupName(), BytesOf(dgram)); });
  std::vector<ListRow> rows_60{{"unread"}}, rows_90{{"unread"}}, rows_110;
  ReadRowsAt(60, station, &rows_60);
  ReadRowsAt(90, station, &rows_90);
  ReadRowsAt(110, station, &rows_110);
  RunStations(990);

  auto receives = Recorder().Commands(NCBDGRECV | ASYNCH);
  EXPECT_EQ(TimesOf(receives), (std::vector<std::uint64_t>{50, 50, 100}));
  EXPECT_EQ(LanasOf(receives), (std::vector<int>{0, 3, 0}));
  EXPECT_TRUE(rows_60.empty());
  EXPECT_TRUE(rows_90.empty());
  EXPECT_EQ(rows_110, (std::vector<ListRow>{StationRow(0, "PEER", NodeText({9, 0}), 5, "", 0)}));
}

TEST_F(ExchangeCycleTest, FailingReceiveIsPostedAgainOncePerPollTick) {
  constexpr SimAdapterId kAdapter{1, 0};
  AddStationAdapter(Sim(), kAdapter, 1, "SOLO");
  StationThread& station = AddStation(1);
  Sim().FailCommand(kAdapter, NCBDGRECV, NRC_SYSTEM);
  At(525, [&] { Sim().ClearFaults(kAdapter); });
  const SimName peer = PaddedName("PEER");
  At(575, [&] {
    Sim().InjectDatagram(1, peer, GroupName(), BytesOf(MakeDatagram(peer, 5, 0, NodeOf({9, 0}))));
  });
  std::vector<ListRow> rows_540{{"unread"}}, rows_610;
  ReadRowsAt(540, station, &rows_540);
  ReadRowsAt(610, station, &rows_610);
  RunStations(620);

  std::vector<std::uint64_t> expected;
  for (std::uint64_t t = 50; t <= 600; t += 50) expected.push_back(t);
  EXPECT_EQ(TimesOf(Recorder().Commands(NCBDGRECV | ASYNCH)), expected);
  EXPECT_TRUE(rows_540.empty());
  EXPECT_EQ(rows_610.size(), 1u);
}

}  // namespace
