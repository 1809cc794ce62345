// Monitor dialogs running modally on threads of their own, each bound to a simulated station,
// and the means to start them at a chosen moment of virtual time.
#pragma once

#include <cstdint>
#include <functional>
#include <future>
#include <thread>

#include "tests/system/support/test_monitor_dlg.h"

class StationThread {
 public:
  explicit StationThread(int station) : m_station(station) {}
  ~StationThread() { Join(); }
  StationThread(const StationThread&) = delete;
  StationThread& operator=(const StationThread&) = delete;

  TestMonitorDlg& Dlg() { return m_dlg; }

  // Starts the thread and returns once the dialog's window exists: from then on virtual time
  // waits for the dialog. Its initialization goes on once gate, if given, is ready.
  void Start(std::shared_future<void> gate = {});
  // Starts the thread when virtual time reaches at_ms.
  void StartAt(std::uint64_t at_ms);
  // Whether Start or StartAt has been called.
  bool Scheduled() const { return m_scheduled; }
  void Join();
  // What DoModal returned; read after Join.
  INT_PTR Result() const { return m_result; }

 private:
  void Launch(std::shared_future<void> gate);

  int m_station;
  TestMonitorDlg m_dlg;
  bool m_scheduled = false;
  std::thread m_thread;
  INT_PTR m_result = 0;
};

// Runs a TestMonitorDlg whose initialization is replaced by body on a thread of its own, bound
// to the simulated station, and waits for it.
void RunInDialog(int station, std::function<void(TestMonitorDlg&)> body);
