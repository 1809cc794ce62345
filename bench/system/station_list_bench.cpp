// The monitor's per-datagram and per-tick work: entering a datagram in a station list of 10,
// 100 and 1,000 rows, and one poll tick over 16 adapters against a service that costs nothing.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/resources.h"
#include "platform/ui/window.h"
#include "res/resource.h"
#include "tests/system/support/immediate_service.h"
#include "tests/system/support/sim_lan.h"
#include "tests/system/support/station_thread.h"

namespace {

// A record on LANA 0 whose receive buffer holds the datagram of station `index`.
LANA_NODE ArrivalFrom(int index) {
  LANA_NODE node{};
  const SimName local = PaddedName("LOCAL");
  std::copy(local.begin(), local.end(), node.send_dgram.station_name);
  const SimNodeAddress address = {0x02,
                                  0,
                                  0,
                                  static_cast<UCHAR>(index >> 16),
                                  static_cast<UCHAR>(index >> 8),
                                  static_cast<UCHAR>(index)};
  node.recv_dgram = MakeDatagram(PaddedName("STATION"), 100, 1, address);
  return node;
}

// Runs body in a monitor dialog whose list holds `rows` stations.
void WithRows(int rows, const std::function<void(TestMonitorDlg&)>& body) {
  ui::SetResources(&PellorinResources());
  RunInDialog(0, [&](TestMonitorDlg& dlg) {
    for (int i = 0; i < rows; ++i) {
      LANA_NODE node = ArrivalFrom(i);
      dlg.ShowStationDatagram(&node);
    }
    body(dlg);
  });
}

// The datagram of the station in the last row: the whole list is searched, then the row's
// cells are updated.
void BM_DatagramForLastRow(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  WithRows(rows, [&](TestMonitorDlg& dlg) {
    LANA_NODE last = ArrivalFrom(rows - 1);
    for (auto _ : state) dlg.ShowStationDatagram(&last);
  });
}
BENCHMARK(BM_DatagramForLastRow)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The datagram of a station not in the list: the whole list is searched, then a row is
// appended. The appended row is dropped again outside the timing, straight from the model.
void BM_DatagramAppendingARow(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  WithRows(rows, [&](TestMonitorDlg& dlg) {
    LANA_NODE newcomer = ArrivalFrom(rows);
    const HWND list = GetDlgItem(dlg.Window(), IDC_STATION_LIST);
    for (auto _ : state) {
      dlg.ShowStationDatagram(&newcomer);
      state.PauseTiming();
      {
        std::lock_guard lock(ui::WindowMutex());
        ui::FindWindowState(list)->rows.resize(static_cast<std::size_t>(rows));
      }
      state.ResumeTiming();
    }
  });
}
BENCHMARK(BM_DatagramAppendingARow)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// One poll tick over 16 adapters whose receives have all completed without data: every LANA is
// checked, its record prepared and a receive posted.
void BM_PollTickOver16Lanas(benchmark::State& state) {
  ui::SetResources(&PellorinResources());
  auto previous = InstallNetbiosService(std::make_unique<ImmediateService>());
  RunInDialog(0, [&](TestMonitorDlg& dlg) {
    const ADAPTER_STATUS status{};
    for (int lana = 0; lana < 16; ++lana)
      dlg.AppendLanaNode(static_cast<UCHAR>(lana), 1, PaddedName("LOCAL").data(), status, 0, 0);
    for (auto _ : state) dlg.PollReceives();
  });
  InstallNetbiosService(std::move(previous));
}
BENCHMARK(BM_PollTickOver16Lanas)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
