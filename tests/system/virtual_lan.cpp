#include "tests/system/virtual_lan.h"

#include <future>

#include "platform/ui/clock.h"
#include "platform/ui/display.h"
#include "platform/ui/message_queue.h"
#include "res/resource.h"

VirtualLanTest::VirtualLanTest() {
  ui::UseVirtualClock();
  ui::SetResources(&PellorinResources());
  ui::AddWindowObserver(&m_display);
  auto sim = std::make_unique<SimNetbios>();
  m_sim = sim.get();
  auto recorder = std::make_unique<RecordingService>(std::move(sim));
  m_recorder = recorder.get();
  m_previous = InstallNetbiosService(std::move(recorder));
  ui::AddIdleHook([sim = m_sim] { sim->WaitIdle(); });
}

VirtualLanTest::~VirtualLanTest() {
  StopService();
  ui::RemoveWindowObserver(&m_display);
}

StationThread& VirtualLanTest::AddStation(int station) {
  m_stations.push_back(std::make_unique<StationThread>(station));
  return *m_stations.back();
}

void VirtualLanTest::RunStations(std::uint64_t close_ms) {
  for (auto& station : m_stations) PostAt(close_ms, *station, WM_CLOSE);
  // Each dialog waits at the start of its initialization until all have their windows, so that
  // virtual time stands still until every one has started.
  std::promise<void> go;
  std::shared_future<void> gate = go.get_future().share();
  for (auto& station : m_stations)
    if (!station->Scheduled()) station->Start(gate);
  go.set_value();
  JoinStations();
}

void VirtualLanTest::At(std::uint64_t at_ms, std::function<void()> fn) {
  ui::RunAt(at_ms, std::move(fn));
}

void VirtualLanTest::PostAt(std::uint64_t at_ms, StationThread& station, UINT message,
                            WPARAM wParam, LPARAM lParam) {
  At(at_ms, [&station, message, wParam, lParam] {
    PostMessage(station.Dlg().Window(), message, wParam, lParam);
  });
}

void VirtualLanTest::JoinStations() {
  for (auto& station : m_stations) station->Join();
}

void VirtualLanTest::StopService() {
  JoinStations();
  if (!m_serviceInstalled) return;
  ui::UseRealClock();
  InstallNetbiosService(std::move(m_previous));
  m_serviceInstalled = false;
}

std::vector<IssuedCommand> VirtualLanTest::CommandsFrom(int station, std::uint64_t from_ms) {
  std::vector<IssuedCommand> commands;
  for (const IssuedCommand& c : m_recorder->Commands())
    if (c.station == station && c.at_ms >= from_ms) commands.push_back(c);
  return commands;
}
