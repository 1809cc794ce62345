// The receive hand-over between the service's thread and the dialog's thread, on real time and
// many cycles: polls while receives complete, and closes while datagrams keep arriving. Built
// with ThreadSanitizer these must report nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "netbios/nb_commands.h"
#include "platform/ui/resources.h"
#include "res/resource.h"
#include "tests/system/support/list_view.h"
#include "tests/system/support/sim_lan.h"
#include "tests/system/support/station_thread.h"

namespace {

constexpr int kStation = 1;
constexpr int kSegment = 1;
constexpr int kLanas = 4;

class ConcurrencyTest : public ::testing::Test {
 protected:
  ConcurrencyTest() {
    ui::SetResources(&PellorinResources());
    auto sim = std::make_unique<SimNetbios>();
    m_sim = sim.get();
    m_previous = InstallNetbiosService(std::move(sim));
    for (UCHAR lana = 0; lana < kLanas; ++lana)
      AddStationAdapter(*m_sim, {kStation, lana}, kSegment, "LOCAL");
  }
  ~ConcurrencyTest() override { InstallNetbiosService(std::move(m_previous)); }

  // Datagram i names node i % 4 and carries minutes i and rate i % 256, so that a row whose
  // cells disagree shows a datagram read while it was being written.
  void Inject(int i) {
    const SimName peer = PaddedName("PEER");
    STATUS_DGRAM dgram = MakeDatagram(peer, static_cast<WORD>(i), static_cast<UCHAR>(i),
                                      {0x02, 0, 0, 0, 0, static_cast<UCHAR>(i % 4)});
    m_sim->InjectDatagram(kSegment, peer, GroupName(), BytesOf(dgram));
  }

  SimNetbios* m_sim;
  std::unique_ptr<NetbiosService> m_previous;
};

TEST_F(ConcurrencyTest, PollingWhileTheServiceCompletesReceives) {
  constexpr int kDatagrams = 3000;
  std::vector<ListRow> rows;
  RunInDialog(kStation, [&](TestMonitorDlg& dlg) {
    ASSERT_EQ(dlg.DiscoverAdapters(2), kLanas);
    std::atomic<bool> done{false};
    std::thread injector([&] {
      for (int i = 1; i <= kDatagrams; ++i) {
        Inject(i);
        std::this_thread::yield();
      }
      done = true;
    });
    while (!done) {
      dlg.PollReceives();
      std::this_thread::yield();
    }
    injector.join();
    // Every LANA must still be receiving: a completion lost to the poll would leave one without
    // a receive, and the last datagram would not reach it.
    m_sim->WaitIdle();
    dlg.PollReceives();
    Inject(kDatagrams + 1);
    m_sim->WaitIdle();
    dlg.PollReceives();
    rows = ListRows(dlg.Window());
    dlg.ShutdownNetwork();
  });

  const std::string last = std::to_string(kDatagrams + 1);
  for (const char* lana : {"00", "01", "02", "03"}) {
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(),
                            [&](const ListRow& row) { return row[0] == lana && row[3] == last; }))
        << "LANA " << lana << " missed the last datagram";
  }
  for (const ListRow& row : rows) {
    const int minutes = std::stoi(row[3]);
    EXPECT_EQ(row[5], std::to_string(minutes % 256) + "%") << row[3];
    EXPECT_EQ(row[2], "02000000000" + std::to_string(minutes % 4)) << row[3];
  }
}

TEST_F(ConcurrencyTest, ClosingWhileDatagramsArrive) {
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    RunInDialog(kStation, [&](TestMonitorDlg& dlg) {
      ASSERT_EQ(dlg.DiscoverAdapters(2), kLanas);
      std::atomic<bool> stop{false};
      std::thread injector([&] {
        for (int i = 1; !stop; ++i) Inject(i);
      });
      for (int poll = 0; poll < 50; ++poll) dlg.PollReceives();
      dlg.ShutdownNetwork();
      stop = true;
      injector.join();
      EXPECT_EQ(dlg.m_pLanaList, nullptr);
    });
    for (UCHAR lana = 0; lana < kLanas; ++lana) {
      EXPECT_EQ(m_sim->Names({kStation, lana}).size(), 1u) << "group name deleted";
      EXPECT_EQ(g_LanaRecvDone[lana].load(), 1u);
    }
  }
}

}  // namespace
