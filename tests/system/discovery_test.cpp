// Adapter discovery inside the monitor's initialization: which LANAs are asked, which name is
// taken, what is registered and kept, and what the user is told.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "netbios/nb_commands.h"
#include "res/resource.h"
#include "tests/system/support/list_view.h"
#include "tests/system/support/sim_lan.h"
#include "tests/system/virtual_lan.h"

namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

const std::string kNoRedirector =
    "No Holmsgard Redirector name is found in this machine.\n  Please make sure Holmsgard is "
    "running.\n";
const std::string kGroupNameRefused = "Network error.  Unable to add NetBIOS groupname.\n";

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class DiscoveryTest : public VirtualLanTest {
 protected:
  static constexpr int kStation = 1;

  DiscoveryTest() : m_station(AddStation(kStation)) {
    for (auto& entry : g_LanaRecvDone) entry = 0;
  }

  // Runs the station's dialog from 0 ms to a close at close_ms, capturing standard error.
  void RunStation(std::uint64_t close_ms) {
    CaptureStderr();
    RunStations(close_ms);
    m_stderr = GetCapturedStderr();
  }

  const std::vector<LANA_NODE>& Records() { return m_station.Dlg().RecordsAfterInit(); }

  // While discovery runs, asks the dialog, from inside the first status query, to note how
  // many status queries had been issued by the time its queue delivered the request.
  void ProbePumpDuringFirstStatusQuery() {
    Recorder().SetHook([this](const IssuedCommand& c) {
      if (c.Command() != NCBASTAT || c.Lana() != 0) return;
      m_station.Dlg().PostTask([this] { m_queriesWhenProbed = Recorder().Count(NCBASTAT); });
    });
  }

  StationThread& m_station;
  std::string m_stderr;
  std::atomic<std::size_t> m_queriesWhenProbed{0};
};

TEST_F(DiscoveryTest, NoAdapterMeansEveryLanaAskedNoPumpTheMessageAndAQuietClose) {
  // Another station's redirector is invisible from station 1.
  AddStationAdapter(Sim(), {2, 0}, 1, "ELSEWHERE");
  ProbePumpDuringFirstStatusQuery();
  std::vector<std::string> headers = {"unread"};
  At(4000, [&] { headers = ListHeaders(m_station.Dlg().Window()); });
  RunStation(5000);

  auto commands = Recorder().Commands();
  ASSERT_EQ(commands.size(), 255u) << "only status queries, none after, none at the close";
  for (int lana = 0; lana < 255; ++lana) {
    EXPECT_EQ(commands[lana].Command(), NCBASTAT);
    EXPECT_EQ(commands[lana].Lana(), lana);
    EXPECT_EQ(0, std::memcmp(commands[lana].issued.ncb_callname, LOCAL_CALLNAME, NCBNAMSZ));
  }
  EXPECT_EQ(m_queriesWhenProbed, 255u) << "the pump ran on a LANA without an adapter";
  EXPECT_EQ(Occurrences(m_stderr, kNoRedirector), 1u) << m_stderr;
  EXPECT_TRUE(headers.empty()) << "no columns without an adapter";
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(m_station.Result(), IDCANCEL);
}

TEST_F(DiscoveryTest, PumpRunsAfterEveryNameExamined) {
  constexpr SimAdapterId kAdapter{kStation, 0};
  Sim().AddAdapter(kAdapter, 1, NodeOf(kAdapter));
  Sim().SetNames(kAdapter, {NameEntry(PaddedName("ONE", 0x00)), NameEntry(PaddedName("TWO", 0x20)),
                            NameEntry(PaddedName("THREE", 0x03))});
  AddStationAdapter(Sim(), {kStation, 1}, 1, "FOUND");
  ProbePumpDuringFirstStatusQuery();
  RunStation(500);

  EXPECT_EQ(m_queriesWhenProbed, 1u) << "the request waited past LANA 0's names";
  ASSERT_EQ(Records().size(), 1u);
  EXPECT_EQ(Records()[0].lana_num, 1);
}

TEST_F(DiscoveryTest, FirstOfTwoRedirectorNamesIsTaken) {
  constexpr SimAdapterId kAdapter{kStation, 0};
  Sim().AddAdapter(kAdapter, 1, NodeOf(kAdapter));
  Sim().SetNames(kAdapter, {NameEntry(PaddedName("NOTME", 0x00)), NameEntry(PaddedName("FIRST")),
                            NameEntry(PaddedName("SECOND"))});
  RunStation(500);

  ASSERT_EQ(Records().size(), 1u);
  const LANA_NODE& record = Records()[0];
  EXPECT_EQ(std::to_array(record.send_dgram.station_name), PaddedName("FIRST"));
  EXPECT_EQ(Recorder().Count(NCBADDGRNAME), 1u);
  EXPECT_EQ(Occurrences(m_stderr, kNoRedirector), 0u);
}

TEST_F(DiscoveryTest, RefusedGroupNameStopsDiscoveryAndKeepsTheEarlierRecordUntilTheClose) {
  AddStationAdapter(Sim(), {kStation, 0}, 1, "ALDER");
  AddStationAdapter(Sim(), {kStation, 1}, 2, "ALDER");
  AddStationAdapter(Sim(), {kStation, 2}, 3, "ALDER");
  Sim().FailCommand({kStation, 1}, NCBADDGRNAME, NRC_NAMTFUL);
  RunStation(3000);

  EXPECT_EQ(Occurrences(m_stderr, kGroupNameRefused), 1u) << m_stderr;
  EXPECT_EQ(Occurrences(m_stderr, kNoRedirector), 1u) << m_stderr;
  EXPECT_LT(m_stderr.find(kGroupNameRefused), m_stderr.find(kNoRedirector));
  EXPECT_EQ(LanasOf(Recorder().Commands(NCBASTAT)), (std::vector<int>{0, 1}));
  EXPECT_EQ(LanasOf(Recorder().Commands(NCBADDGRNAME)), (std::vector<int>{0, 1}));
  ASSERT_EQ(Records().size(), 1u);
  EXPECT_EQ(Records()[0].lana_num, 0);
  // No timers ran; the close took down the one record.
  EXPECT_EQ(Recorder().Count(NCBDGSEND), 0u);
  EXPECT_EQ(Recorder().Count(NCBDGRECV | ASYNCH), 0u);
  EXPECT_EQ(Recorder().Count(NCBCANCEL), 0u);
  EXPECT_EQ(LanasOf(Recorder().Commands(NCBDELNAME)), (std::vector<int>{0}));
  auto names = Sim().Names({kStation, 0});
  EXPECT_EQ(names.size(), 1u) << "the group name was deleted at the close";
}

TEST_F(DiscoveryTest, Lana255IsNeverExamined) {
  AddStationAdapter(Sim(), {kStation, 255}, 1, "HIDDEN");
  RunStation(500);

  for (const IssuedCommand& c : Recorder().Commands()) EXPECT_NE(c.Lana(), 255);
  EXPECT_EQ(Recorder().Count(NCBASTAT), 255u);
  EXPECT_EQ(Occurrences(m_stderr, kNoRedirector), 1u);
}

TEST_F(DiscoveryTest, RecordsCarryTheAdapterFiguresAndStartIdle) {
  constexpr SimAdapterId kFirst{kStation, 2};
  constexpr SimAdapterId kSecond{kStation, 5};
  Sim().AddAdapter(kFirst, 1, NodeOf(kFirst));
  SimName odd_name = {'O', 'D', 'D', 0x00, 0xFF, 0x7F, ' ',  ' ',
                      ' ', ' ', ' ', ' ',  ' ',  ' ',  0x01, 0x02};
  Sim().SetNames(kFirst, {NameEntry(odd_name)});
  SetFigures(Sim(), kFirst, 1234, 150, 3);
  AddStationAdapter(Sim(), kSecond, 2, "SECOND");
  SetFigures(Sim(), kSecond, 65535, 100, 300);
  std::vector<std::uint32_t> entries;
  At(10, [&] { entries = {g_LanaRecvDone[2].load(), g_LanaRecvDone[5].load()}; });
  RunStation(20);

  auto added = Recorder().Commands(NCBADDGRNAME);
  ASSERT_EQ(added.size(), 2u);
  const auto& records = Records();
  ASSERT_EQ(records.size(), 2u);
  struct Expected {
    SimAdapterId id;
    SimName name;
    WORD minutes;
    UCHAR rate;
  };
  const Expected expected[] = {{kFirst, odd_name, 1234, 3},
                               {kSecond, PaddedName("SECOND"), 65535, 44}};
  for (std::size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const LANA_NODE& r = records[i];
    EXPECT_EQ(r.lana_num, expected[i].id.lana);
    EXPECT_EQ(r.name_num, added[i].num_after);
    EXPECT_NE(r.name_num, 0);
    STATUS_DGRAM sent = MakeDatagram(expected[i].name, expected[i].minutes, expected[i].rate,
                                     NodeOf(expected[i].id));
    EXPECT_EQ(BytesOf(r.send_dgram), BytesOf(sent));
    EXPECT_EQ(BytesOf(r.recv_dgram), BytesOf(STATUS_DGRAM{}));
    const auto* ncb = reinterpret_cast<const UCHAR*>(&r.recv_ncb);
    EXPECT_TRUE(std::all_of(ncb, ncb + sizeof(NCB), [](UCHAR b) { return b == 0; }));
  }
  EXPECT_EQ(entries, (std::vector<std::uint32_t>{1, 1}))
      << "no receive posted before the first poll";
}

// How far into an adapter's name table discovery looks: name_count entries, at most the 255
// that the status buffer holds (reading more would run past it).
struct NameCountCase {
  const char* what;
  int entries;        // names in the table; only the last may carry the redirector's suffix
  WORD reported;      // the name_count the adapter reports
  UCHAR last_suffix;  // the 16th byte of the last name
  bool found;
};

void PrintTo(const NameCountCase& c, std::ostream* os) { *os << c.what; }

class NameCountTest : public DiscoveryTest, public ::testing::WithParamInterface<NameCountCase> {};

TEST_P(NameCountTest, ExaminesTheReportedNamesUpToTheBufferFull) {
  constexpr SimAdapterId kAdapter{kStation, 0};
  Sim().AddAdapter(kAdapter, 1, NodeOf(kAdapter));
  std::vector<NAME_BUFFER> names;
  for (int i = 0; i + 1 < GetParam().entries; ++i)
    names.push_back(NameEntry(PaddedName("N" + std::to_string(i), 0x20)));
  names.push_back(NameEntry(PaddedName("LAST", GetParam().last_suffix)));
  Sim().SetNames(kAdapter, names);
  Sim().SetNameCapacity(kAdapter, 300);
  Sim().SetReportedNameCount(kAdapter, GetParam().reported);
  RunStation(500);

  EXPECT_EQ(Records().size(), GetParam().found ? 1u : 0u);
  EXPECT_EQ(Occurrences(m_stderr, kNoRedirector), GetParam().found ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, NameCountTest,
    ::testing::Values(NameCountCase{"CountAbove255ReadAs255", 255, 300, 0x02, true},
                      NameCountCase{"CountAbove255NoRedirector", 255, 300, 0x20, false},
                      NameCountCase{"ExactCount", 3, 3, 0x02, true},
                      NameCountCase{"EntryBeyondTheCount", 2, 1, 0x02, false},
                      NameCountCase{"NoNames", 1, 0, 0x02, false}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
