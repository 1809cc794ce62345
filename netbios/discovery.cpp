// Adapter discovery: one record per adapter that carries the redirector, with the group name
// registered on it. Members of the monitor dialog, which holds the list head.
#include <algorithm>
#include <cstring>
#include <new>

#include "monitor/monitor_dlg.h"
#include "netbios/adapter_stats.h"
#include "netbios/message_pump.h"
#include "netbios/nb_commands.h"
#include "res/resource.h"

int CMonitorDlg::DiscoverAdapters(UCHAR name_suffix) {
  int count = 0;
  alignas(ADAPTER_STATUS) UCHAR buffer[STATUS_BUFFER_SIZE];
  for (int lana = 0; lana <= MAX_LANA; ++lana) {
    std::memset(buffer, 0, sizeof buffer);
    if (!NbAdapterStatus(buffer, static_cast<UCHAR>(lana), LOCAL_CALLNAME)) continue;
    ADAPTER_STATUS status;
    std::memcpy(&status, buffer, sizeof status);
    int names = std::min<int>(status.name_count, MAX_STATUS_NAMES);
    for (int i = 0; i < names; ++i) {
      NAME_BUFFER entry;
      std::memcpy(&entry, buffer + sizeof(ADAPTER_STATUS) + i * sizeof(NAME_BUFFER), sizeof entry);
      bool matched = entry.name[NCBNAMSZ - 1] == name_suffix;
      if (matched) {
        UCHAR name_num = NbAddGroupName(static_cast<UCHAR>(lana), MONITOR_GROUP_NAME);
        if (name_num == 0) {
          AfxMessageBox(IDS_GROUPNAME_FAILED, MB_ICONSTOP);
          return 0;
        }
        unsigned rate = ComputeErrorRate(status);
        if (AppendLanaNode(static_cast<UCHAR>(lana), name_num, entry.name, status, status.duration,
                           rate))
          ++count;
      }
      PumpPendingMessages();
      // A close request handled by the pump has released the list: stop walking it.
      if (!m_pLanaList) return count;
      if (matched) break;
    }
  }
  return count;
}

BOOL CMonitorDlg::AppendLanaNode(UCHAR lana, UCHAR name_num, const UCHAR* station_name,
                                 const ADAPTER_STATUS& status, WORD minutes, unsigned error_rate) {
  LANA_NODE* last = m_pLanaList;
  while (last->next) last = last->next;
  auto* node = new (std::nothrow) LANA_NODE;
  if (!node) return FALSE;
  std::memset(node, 0, sizeof *node);
  std::memcpy(node->send_dgram.node_address, status.adapter_address, 6);
  std::memcpy(node->send_dgram.station_name, station_name, NCBNAMSZ);
  node->lana_num = lana;
  node->name_num = name_num;
  g_LanaRecvDone[lana].store(1, std::memory_order_relaxed);
  SetMinutesRunning(node->send_dgram, minutes);
  node->send_dgram.error_rate = static_cast<UCHAR>(error_rate & 0xFF);
  node->next = nullptr;
  last->next = node;
  return TRUE;
}
