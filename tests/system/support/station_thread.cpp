#include "tests/system/support/station_thread.h"

#include <future>

#include "platform/netbios/sim/sim_netbios.h"
#include "platform/ui/clock.h"
#include "platform/ui/message_queue.h"

void StationThread::Start(std::function<void(TestMonitorDlg&)> after_modal) {
  m_scheduled = true;
  std::promise<void> queue_ready;
  auto ready = queue_ready.get_future();
  m_thread = std::thread([this, &queue_ready, after_modal = std::move(after_modal)] {
    SimNetbios::BindThreadToStation(m_station);
    ui::CurrentQueue();
    queue_ready.set_value();
    m_result = m_dlg.DoModal();
    if (after_modal) after_modal(m_dlg);
  });
  ready.wait();
}

void StationThread::StartAt(std::uint64_t at_ms) {
  m_scheduled = true;
  ui::RunAt(at_ms, [this] { Start(); });
}

void StationThread::Join() {
  if (m_thread.joinable()) m_thread.join();
}

FrozenTime::FrozenTime() {
  m_thread = std::thread([this] {
    ui::CurrentQueue();
    std::unique_lock lock(m_mutex);
    m_holding = true;
    m_cv.notify_all();
    m_cv.wait(lock, [this] { return m_released; });
  });
  std::unique_lock lock(m_mutex);
  m_cv.wait(lock, [this] { return m_holding; });
}

FrozenTime::~FrozenTime() {
  {
    std::lock_guard lock(m_mutex);
    m_released = true;
  }
  m_cv.notify_all();
  m_thread.join();
}

void RunOnStationThread(int station, const std::function<void()>& fn) {
  std::thread([station, &fn] {
    SimNetbios::BindThreadToStation(station);
    fn();
  }).join();
}

void RunInDialog(int station, std::function<void(TestMonitorDlg&)> body) {
  RunOnStationThread(station, [&body] {
    TestMonitorDlg dlg;
    dlg.RunInsteadOfInit(std::move(body));
    dlg.DoModal();
  });
}
