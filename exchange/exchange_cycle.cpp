// The exchange cycle: three timers of the monitor dialog send this station's status, take up
// received datagrams and age the list while refreshing the adapter statistics.
#include <cstring>

#include "monitor/monitor_dlg.h"
#include "netbios/adapter_stats.h"
#include "netbios/message_pump.h"
#include "netbios/nb_commands.h"

void CMonitorDlg::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == IDT_SEND) {
    SendStatusToGroup();
    SendStatusToGroup();
  } else if (nIDEvent == IDT_POLL) {
    PollReceives();
  } else if (nIDEvent == IDT_SWEEP) {
    SweepAndRefresh();
  }
  Default();
}

void CMonitorDlg::StartTimers() {
  SetTimer(IDT_SEND, 1000, nullptr);
  SetTimer(IDT_POLL, 50, nullptr);
  SetTimer(IDT_SWEEP, 8000, nullptr);
}

void CMonitorDlg::StopTimers() {
  KillTimer(IDT_SEND);
  KillTimer(IDT_POLL);
  KillTimer(IDT_SWEEP);
}

void CMonitorDlg::SendStatusToGroup() {
  if (!UpdateData(TRUE) || !m_pLanaList) return;
  for (LANA_NODE* node = m_pLanaList->next; node; node = node->next) {
    std::memset(&m_SendNcb, 0, sizeof m_SendNcb);
    std::memcpy(m_SendNcb.ncb_callname, MONITOR_GROUP_NAME, NCBNAMSZ);
    m_SendNcb.ncb_num = node->name_num;
    m_SendNcb.ncb_buffer = reinterpret_cast<UCHAR*>(&node->send_dgram);
    m_SendNcb.ncb_length = STATUS_DGRAM_SIZE;
    m_SendNcb.ncb_lana_num = node->lana_num;
    NbSendDatagram(&m_SendNcb);
  }
}

void CMonitorDlg::PollReceives() {
  if (!UpdateData(TRUE) || !m_pLanaList) return;
  for (LANA_NODE* node = m_pLanaList->next; node; node = node->next) {
    if (g_LanaRecvDone[node->lana_num].load(std::memory_order_acquire) == 0) continue;
    if (node->recv_dgram.station_name[0] != 0) ShowStationDatagram(node);
    std::memset(&node->recv_ncb, 0, sizeof node->recv_ncb);
    node->recv_ncb.ncb_num = node->name_num;
    std::memset(&node->recv_dgram, 0, sizeof node->recv_dgram);
    node->recv_ncb.ncb_buffer = reinterpret_cast<UCHAR*>(&node->recv_dgram);
    node->recv_ncb.ncb_length = STATUS_DGRAM_SIZE;
    node->recv_ncb.ncb_lana_num = node->lana_num;
    g_LanaRecvDone[node->lana_num].store(0, std::memory_order_relaxed);
    NbPostReceive(&node->recv_ncb);
  }
}

void CMonitorDlg::SweepAndRefresh() {
  StopTimers();
  AgeStationList();
  if (!m_pLanaList) return;
  for (LANA_NODE* node = m_pLanaList->next; node; node = node->next) {
    RefreshAdapterStats(node);
    PumpPendingMessages();
    // A close request handled by the pump has released every record: stop, and no restart.
    if (!m_pLanaList) return;
  }
  StartTimers();
}
