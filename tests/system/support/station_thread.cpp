#include "tests/system/support/station_thread.h"

#include <future>

#include "platform/netbios/sim/sim_netbios.h"
#include "platform/ui/clock.h"

void StationThread::Start(std::shared_future<void> gate) {
  m_scheduled = true;
  Launch(std::move(gate));
}

// A thread holds virtual time back only while it owns a window, so the caller waits until the
// dialog's window exists.
void StationThread::Launch(std::shared_future<void> gate) {
  std::promise<void> window_ready;
  auto ready = window_ready.get_future();
  m_dlg.OnWindowReady([&window_ready, gate] {
    window_ready.set_value();
    if (gate.valid()) gate.wait();
  });
  m_thread = std::thread([this] {
    SimNetbios::BindThreadToStation(m_station);
    m_result = m_dlg.DoModal();
  });
  ready.wait();
}

void StationThread::StartAt(std::uint64_t at_ms) {
  m_scheduled = true;
  ui::RunAt(at_ms, [this] { Launch({}); });
}

void StationThread::Join() {
  if (m_thread.joinable()) m_thread.join();
}

void RunInDialog(int station, std::function<void(TestMonitorDlg&)> body) {
  std::thread([station, &body] {
    SimNetbios::BindThreadToStation(station);
    TestMonitorDlg dlg;
    dlg.RunInsteadOfInit(std::move(body));
    dlg.DoModal();
  }).join();
}
