// The monitor dialog opened up for tests: its protected members, its window handle readable
// from any thread, tasks run on the dialog's own thread, and the adapter records as the
// initialization left them.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "monitor/monitor_dlg.h"

class TestMonitorDlg : public CMonitorDlg {
 public:
  using CMonitorDlg::AgeStationList;
  using CMonitorDlg::AppendLanaNode;
  using CMonitorDlg::CreateStationColumns;
  using CMonitorDlg::DiscoverAdapters;
  using CMonitorDlg::m_pLanaList;
  using CMonitorDlg::m_StationList;
  using CMonitorDlg::PollReceives;
  using CMonitorDlg::SendStatusToGroup;
  using CMonitorDlg::ShowStationDatagram;
  using CMonitorDlg::ShutdownNetwork;

  // Call before DoModal: the initialization then only binds the list, inserts its columns and
  // creates an empty adapter list, runs body on the dialog's thread, releases whatever adapter
  // list is left (without NetBIOS commands: the body must leave no receive outstanding) and
  // ends the dialog.
  void RunInsteadOfInit(std::function<void(TestMonitorDlg&)> body);

  // Call before DoModal: hook runs on the dialog's thread as soon as WM_INITDIALOG arrives,
  // before the initialization does anything.
  void OnWindowReady(std::function<void()> hook) { m_windowReady = std::move(hook); }

  // Null until WM_INITDIALOG arrives.
  HWND Window() const { return m_window.load(); }
  // From any thread: fn runs on the dialog's thread when its queue delivers the request.
  void PostTask(std::function<void()> fn);

  // Copies of the records in list order, as OnInitDialog left them.
  const std::vector<LANA_NODE>& RecordsAfterInit() const { return m_recordsAfterInit; }
  // The records after the sentinel, in list order.
  std::vector<LANA_NODE*> Records() const;
  // The timers of the window just after the last sweep tick was handled, by id.
  const std::vector<UINT_PTR>& TimersAfterLastSweep() const { return m_timersAfterSweep; }
  // Frees records and sentinel without any NetBIOS command; only for records that the service
  // no longer refers to.
  void ReleaseRecords();

 protected:
  BOOL OnInitDialog() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  std::atomic<HWND> m_window{nullptr};
  std::function<void()> m_windowReady;
  std::function<void(TestMonitorDlg&)> m_body;
  std::vector<LANA_NODE> m_recordsAfterInit;
  std::vector<UINT_PTR> m_timersAfterSweep;
  std::mutex m_tasksMutex;
  std::deque<std::function<void()>> m_tasks;
};
