// Ending the monitor: the close request's teardown, close requests that arrive while discovery
// or a sweep walks the adapters, a service that never finishes a cancelled receive, and the
// ways to end without teardown.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "exchange/status_dgram.h"
#include "netbios/nb_commands.h"
#include "res/resource.h"
#include "tests/system/support/sim_lan.h"
#include "tests/system/virtual_lan.h"

namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

// A command as the test expects it: code and LANA.
struct Step {
  UCHAR command;
  int lana;
  bool operator==(const Step&) const = default;
};

void PrintTo(const Step& step, std::ostream* os) {
  *os << "{0x" << std::hex << int(step.command) << std::dec << ", " << step.lana << "}";
}

std::vector<Step> Steps(const std::vector<IssuedCommand>& commands) {
  std::vector<Step> steps;
  for (const IssuedCommand& c : commands) steps.push_back({c.Command(), c.Lana()});
  return steps;
}

class CloseTest : public VirtualLanTest {
 protected:
  CloseTest() : m_station(AddStation(1)) {}

  // Posts WM_CLOSE twice to the dialog from inside the first command the filter accepts.
  void CloseTwiceInside(std::function<bool(const IssuedCommand&)> filter) {
    Recorder().SetHook([this, filter, done = false](const IssuedCommand& c) mutable {
      if (done || !filter(c)) return;
      done = true;
      PostMessage(m_station.Dlg().Window(), WM_CLOSE, 0, 0);
      PostMessage(m_station.Dlg().Window(), WM_CLOSE, 0, 0);
    });
  }

  StationThread& m_station;
};

TEST_F(CloseTest, CancelsExactlyTheOutstandingReceivesAndDeletesEveryGroupNameInListOrder) {
  AddStationAdapter(Sim(), {1, 0}, 1, "ALDER");
  AddStationAdapter(Sim(), {1, 2}, 2, "ALDER");
  AddStationAdapter(Sim(), {1, 5}, 3, "ALDER");
  // LANA 2's receive completes just before the close: only LANAs 0 and 5 have one outstanding.
  At(510, [this] {
    SimName peer = PaddedName("PEER");
    Sim().InjectDatagram(2, peer, GroupName(), BytesOf(MakeDatagram(peer, 1, 0, NodeOf({9, 2}))));
  });
  RunStations(520);

  auto teardown = CommandsFrom(1, 520);
  EXPECT_EQ(
      Steps(teardown),
      (std::vector<Step>{
          {NCBCANCEL, 0}, {NCBDELNAME, 0}, {NCBDELNAME, 2}, {NCBCANCEL, 5}, {NCBDELNAME, 5}}));
  // Each cancel names the receive posted on its LANA; each delete names the group name.
  auto receives = Recorder().Commands(NCBDGRECV | ASYNCH);
  for (const IssuedCommand& c : teardown) {
    if (c.Command() == NCBCANCEL) {
      auto posted = std::find_if(receives.rbegin(), receives.rend(),
                                 [&](const IssuedCommand& r) { return r.Lana() == c.Lana(); });
      ASSERT_NE(posted, receives.rend());
      EXPECT_EQ(c.issued.ncb_buffer, reinterpret_cast<UCHAR*>(posted->ncb));
    } else {
      EXPECT_EQ(std::to_array(c.issued.ncb_name), GroupName());
    }
  }
  for (UCHAR lana : {0, 2, 5}) {
    EXPECT_FALSE(HasGroupName(Sim().Names({1, lana}))) << int(lana);
    EXPECT_EQ(g_LanaRecvDone[lana].load(), 1u) << int(lana);
  }
  EXPECT_EQ(m_station.Result(), IDCANCEL);
}

TEST_F(CloseTest, CloseDuringDiscoveryStopsTheWalkAndTearsDownWhatWasFound) {
  AddStationAdapter(Sim(), {1, 1}, 1, "ALDER");
  AddStationAdapter(Sim(), {1, 3}, 2, "ALDER");
  AddStationAdapter(Sim(), {1, 5}, 3, "ALDER");
  CloseTwiceInside([](const IssuedCommand& c) { return c.Command() == NCBASTAT && c.Lana() == 3; });
  CaptureStderr();
  RunStations(5000);
  const std::string messages = GetCapturedStderr();

  EXPECT_EQ(Steps(Recorder().Commands()), (std::vector<Step>{{NCBASTAT, 0},
                                                             {NCBASTAT, 1},
                                                             {NCBADDGRNAME, 1},
                                                             {NCBASTAT, 2},
                                                             {NCBASTAT, 3},
                                                             {NCBADDGRNAME, 3},
                                                             {NCBDELNAME, 1},
                                                             {NCBDELNAME, 3}}));
  EXPECT_EQ(messages, "") << "no message box for a dialog that is closing";
  EXPECT_EQ(m_station.Result(), IDCANCEL);
}

TEST_F(CloseTest, CloseDeliveredByTheGroupNameMessageBoxEndsWithoutTheNoRedirectorMessage) {
  AddStationAdapter(Sim(), {1, 0}, 1, "ALDER");
  AddStationAdapter(Sim(), {1, 1}, 2, "ALDER");
  Sim().FailCommand({1, 1}, NCBADDGRNAME, NRC_NAMTFUL);
  CloseTwiceInside(
      [](const IssuedCommand& c) { return c.Command() == NCBADDGRNAME && c.Lana() == 1; });
  CaptureStderr();
  RunStations(5000);
  const std::string messages = GetCapturedStderr();

  EXPECT_EQ(messages, "Network error.  Unable to add NetBIOS groupname.\n");
  EXPECT_EQ(
      Steps(Recorder().Commands()),
      (std::vector<Step>{
          {NCBASTAT, 0}, {NCBADDGRNAME, 0}, {NCBASTAT, 1}, {NCBADDGRNAME, 1}, {NCBDELNAME, 0}}));
  EXPECT_EQ(m_station.Result(), IDCANCEL);
}

TEST_F(CloseTest, CloseDuringTheSweepStopsItAndLeavesTheTimersStopped) {
  AddStationAdapter(Sim(), {1, 0}, 1, "ALDER");
  AddStationAdapter(Sim(), {1, 2}, 2, "ALDER");
  // Without its own datagrams coming back, each LANA keeps the receive posted at 50 ms.
  Sim().FailCommand({1, 0}, NCBDGSEND, NRC_SYSTEM);
  Sim().FailCommand({1, 2}, NCBDGSEND, NRC_SYSTEM);
  CloseTwiceInside(
      [](const IssuedCommand& c) { return c.Command() == NCBASTAT && c.at_ms == 8000; });
  RunStations(20000);

  auto commands = CommandsFrom(1, 8000);
  auto sweep = std::find_if(commands.begin(), commands.end(),
                            [](const IssuedCommand& c) { return c.Command() == NCBASTAT; });
  EXPECT_EQ(Steps({sweep, commands.end()}),
            (std::vector<Step>{
                {NCBASTAT, 0}, {NCBCANCEL, 0}, {NCBDELNAME, 0}, {NCBCANCEL, 2}, {NCBDELNAME, 2}}));
  EXPECT_TRUE(m_station.Dlg().TimersAfterLastSweep().empty());
  EXPECT_EQ(m_station.Result(), IDCANCEL);
}

TEST_F(CloseTest, ServiceThatNeverFinishesACancelledReceiveDelaysTheCloseBoundedly) {
  AddStationAdapter(Sim(), {1, 0}, 1, "ALDER");
  AddStationAdapter(Sim(), {1, 1}, 2, "ALDER");
  Sim().FailCommand({1, 0}, NCBDGRECV, NRC_PENDING);
  std::vector<LANA_NODE*> records;
  std::chrono::steady_clock::time_point close_posted;
  At(400, [&] { records = m_station.Dlg().Records(); });
  At(500, [&] { close_posted = std::chrono::steady_clock::now(); });
  CaptureStderr();
  RunStations(500);
  const auto took = std::chrono::steady_clock::now() - close_posted;
  const std::string messages = GetCapturedStderr();

  const auto took_ms = std::chrono::duration_cast<std::chrono::milliseconds>(took).count();
  EXPECT_GE(took_ms, 900);
  EXPECT_LT(took_ms, 1500);
  EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), 1) << messages;
  EXPECT_NE(messages.find("LANA 0"), std::string::npos) << messages;
  EXPECT_EQ(Steps(CommandsFrom(1, 500)),
            (std::vector<Step>{{NCBCANCEL, 0}, {NCBDELNAME, 0}, {NCBCANCEL, 1}, {NCBDELNAME, 1}}));
  EXPECT_EQ(g_LanaRecvDone[0].load(), 0u);
  EXPECT_EQ(g_LanaRecvDone[1].load(), 1u);
  // The record the service may still write into is left allocated; with the service gone it
  // can be read (AddressSanitizer would report a released one) and freed.
  StopService();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0]->lana_num, 0);
  delete records[0];
}

// Every way the user can end the monitor, and whether it takes the network down first.
struct Ending {
  const char* what;
  UINT message;
  WPARAM wParam;
  bool teardown;
  INT_PTR result;
};

void PrintTo(const Ending& c, std::ostream* os) { *os << c.what; }

class EndingTest : public CloseTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(EndingTest, OnlyACloseRequestTearsDown) {
  AddStationAdapter(Sim(), {1, 0}, 1, "ALDER");
  AddStationAdapter(Sim(), {1, 1}, 2, "ALDER");
  PostAt(500, m_station, GetParam().message, GetParam().wParam);
  RunStations(600);

  const std::size_t expected = GetParam().teardown ? 2 : 0;
  EXPECT_EQ(Recorder().Count(NCBCANCEL), expected);
  EXPECT_EQ(Recorder().Count(NCBDELNAME), expected);
  for (UCHAR lana : {0, 1}) {
    EXPECT_EQ(HasGroupName(Sim().Names({1, lana})), !GetParam().teardown);
    EXPECT_EQ(g_LanaRecvDone[lana].load(), GetParam().teardown ? 1u : 0u) << int(lana);
  }
  EXPECT_EQ(m_station.Result(), GetParam().result);
  // Without teardown the records stay until the process ends; here, until the service is gone.
  StopService();
  m_station.Dlg().ReleaseRecords();
}

INSTANTIATE_TEST_SUITE_P(
    Ways, EndingTest,
    ::testing::Values(Ending{"CloseBox", WM_CLOSE, 0, true, IDCANCEL},
                      Ending{"SystemMenuClose", WM_SYSCOMMAND, SC_CLOSE, true, IDCANCEL},
                      Ending{"QuitButton", WM_COMMAND, MAKEWPARAM(IDC_QUIT, BN_CLICKED), false,
                             IDCANCEL},
                      Ending{"Escape", WM_KEYDOWN, VK_ESCAPE, false, IDCANCEL},
                      Ending{"Enter", WM_KEYDOWN, VK_RETURN, false, IDOK}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
