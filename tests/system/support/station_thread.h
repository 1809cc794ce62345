// Monitor dialogs running modally on threads of their own, each bound to a simulated station,
// and the means to start them at a chosen moment of virtual time.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "tests/system/support/test_monitor_dlg.h"

class StationThread {
 public:
  explicit StationThread(int station) : m_station(station) {}
  ~StationThread() { Join(); }
  StationThread(const StationThread&) = delete;
  StationThread& operator=(const StationThread&) = delete;

  int Station() const { return m_station; }
  TestMonitorDlg& Dlg() { return m_dlg; }

  // Starts the thread and returns once its message queue exists, so that virtual time waits
  // for the dialog's initialization. after_modal runs on the thread once DoModal has returned.
  void Start(std::function<void(TestMonitorDlg&)> after_modal = {});
  // Starts the thread when virtual time reaches at_ms.
  void StartAt(std::uint64_t at_ms);
  // Whether Start or StartAt has been called.
  bool Scheduled() const { return m_scheduled; }
  void Join();
  // What DoModal returned; read after Join.
  INT_PTR Result() const { return m_result; }

 private:
  int m_station;
  TestMonitorDlg m_dlg;
  bool m_scheduled = false;
  std::thread m_thread;
  INT_PTR m_result = 0;
};

// While alive, a thread of its own holds an idle-less message queue, so virtual time stands
// still: stations started meanwhile all begin at the same moment.
class FrozenTime {
 public:
  FrozenTime();
  ~FrozenTime();
  FrozenTime(const FrozenTime&) = delete;
  FrozenTime& operator=(const FrozenTime&) = delete;

 private:
  std::mutex m_mutex;
  std::condition_variable m_cv;
  bool m_holding = false;
  bool m_released = false;
  std::thread m_thread;
};

// Runs fn on a thread of its own bound to the station and waits for it: window work done there
// leaves no message queue behind on the calling thread.
void RunOnStationThread(int station, const std::function<void()>& fn);

// Runs a TestMonitorDlg on a thread of its own whose initialization is replaced by body.
void RunInDialog(int station, std::function<void(TestMonitorDlg&)> body);
