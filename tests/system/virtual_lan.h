// A fixture for monitors running headless on the simulated service and the virtual clock: the
// application's resources, the headless display answering message boxes, a fresh simulated
// service behind a recorder, and stations whose dialogs run on threads of their own.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/netbios/sim/sim_netbios.h"
#include "platform/ui/headless/headless_display.h"
#include "tests/system/support/recording_service.h"
#include "tests/system/support/station_thread.h"

class VirtualLanTest : public ::testing::Test {
 protected:
  VirtualLanTest();
  ~VirtualLanTest() override;

  SimNetbios& Sim() { return *m_sim; }
  RecordingService& Recorder() { return *m_recorder; }

  // A station whose dialog is not started yet; the fixture owns it.
  StationThread& AddStation(int station);
  // Starts every station not started or scheduled yet, all at virtual time 0, closes every
  // dialog at close_ms and waits for the dialogs to end. Schedule actions before calling it.
  void RunStations(std::uint64_t close_ms);

  // fn runs when virtual time reaches at_ms, while every dialog is idle.
  static void At(std::uint64_t at_ms, std::function<void()> fn);
  static void PostAt(std::uint64_t at_ms, StationThread& station, UINT message, WPARAM wParam = 0,
                     LPARAM lParam = 0);
  void JoinStations();
  // Joins the stations and puts the previous service back; the simulated one is destroyed, so
  // nothing refers to the dialogs' records any more.
  void StopService();

  // The commands the station issued from virtual time from_ms on.
  std::vector<IssuedCommand> CommandsFrom(int station, std::uint64_t from_ms);

 private:
  ui::HeadlessDisplay m_display;
  SimNetbios* m_sim;
  RecordingService* m_recorder;
  std::unique_ptr<NetbiosService> m_previous;
  bool m_serviceInstalled = true;
  std::vector<std::unique_ptr<StationThread>> m_stations;
};
