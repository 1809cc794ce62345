// The monitor window: the station list and the QUIT button; owner of the adapter records, the
// exchange timers and the close-time teardown.
#pragma once

#include "netbios/lana_node.h"
#include "platform/ui/framework.h"

class CMonitorDlg : public CDialog {
 public:
  explicit CMonitorDlg(CWnd* pParent = nullptr);
  ~CMonitorDlg() override;

  // Exchange timers.
  static constexpr UINT_PTR IDT_SEND = 101;
  static constexpr UINT_PTR IDT_POLL = 102;
  static constexpr UINT_PTR IDT_SWEEP = 103;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnClose();
  void OnTimer(UINT_PTR nIDEvent);

  // Close-time teardown: timers, outstanding receives, group names, records, rows.
  void ShutdownNetwork();

  // Adapter discovery and records.
  int DiscoverAdapters(UCHAR name_suffix);
  BOOL AppendLanaNode(UCHAR lana, UCHAR name_num, const UCHAR* station_name,
                      const ADAPTER_STATUS& status, WORD minutes, unsigned error_rate);

  // Station list.
  void CreateStationColumns();
  void ShowStationDatagram(const LANA_NODE* node);
  void AgeStationList();

  // Exchange cycle.
  void StartTimers();
  void StopTimers();
  void SendStatusToGroup();
  void PollReceives();
  void SweepAndRefresh();

  // The sentinel at the head of the adapter list; null once the teardown has released it (or
  // when it could not be allocated), so every walk and a second close see that it is gone.
  LANA_NODE* m_pLanaList = nullptr;
  NCB m_SendNcb;
  CListCtrl m_StationList;
  HICON m_hIcon;
  CBitmapButton m_QuitButton;

  DECLARE_MESSAGE_MAP()
};
