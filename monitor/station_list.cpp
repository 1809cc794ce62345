// The station list: the list control is the only store of the stations heard. A datagram finds
// its row again by the texts its LANA and node address produce.
#include <cstring>
#include <string>

#include "monitor/monitor_dlg.h"
#include "res/resource.h"

namespace {

struct ColumnSpec {
  UINT header_id;
  int width;
};

constexpr ColumnSpec kColumns[] = {
    {IDS_COLUMN_ADAPTER, 30}, {IDS_COLUMN_NAME, 100},  {IDS_COLUMN_NODE, 100},
    {IDS_COLUMN_MINUTES, 50}, {IDS_COLUMN_STATUS, 50}, {IDS_COLUMN_ERROR, 50},
};

enum Column { kAdapter = 0, kName = 1, kNode = 2, kMinutes = 3, kStatus = 4, kError = 5 };

// Bytes of a name up to its first zero byte, at most `limit` of them.
CString NameText(const UCHAR* name, std::size_t limit) {
  std::size_t n = 0;
  while (n < limit && name[n] != 0) ++n;
  return CString(reinterpret_cast<const char*>(name), static_cast<int>(n));
}

CString CutTo14(const CString& text) { return text.GetLength() > 14 ? text.Left(14) : text; }

}  // namespace

void CMonitorDlg::CreateStationColumns() {
  for (int col = 0; col < static_cast<int>(std::size(kColumns)); ++col) {
    CString header;
    header.LoadString(kColumns[col].header_id);
    m_StationList.InsertColumn(col, header, LVCFMT_LEFT, kColumns[col].width);
  }
}

void CMonitorDlg::ShowStationDatagram(const LANA_NODE* node) {
  const STATUS_DGRAM& dgram = node->recv_dgram;
  CString lanaText, nodeText, minutesText, errorText;
  lanaText.Format("%02X", node->lana_num);
  const UCHAR* a = dgram.node_address;
  nodeText.Format("%02X%02X%02X%02X%02X%02X", a[0], a[1], a[2], a[3], a[4], a[5]);
  minutesText.Format("%d", GetMinutesRunning(dgram));
  errorText.Format("%d%%", dgram.error_rate);
  CString localName = NameText(node->send_dgram.station_name, NCBNAMSZ);

  int count = m_StationList.GetItemCount();
  for (int row = 0; row < count; ++row) {
    if (m_StationList.GetItemText(row, kNode) != nodeText) continue;
    if (m_StationList.GetItemText(row, kAdapter) != lanaText) continue;
    m_StationList.SetItem(row, kMinutes, LVIF_TEXT, minutesText, 0, 0, 0, 0);
    m_StationList.SetItem(row, kError, LVIF_TEXT, errorText, 0, 0, 0, 0);
    CString status;
    bool local = CutTo14(m_StationList.GetItemText(row, kName)) == CutTo14(localName);
    status.LoadString(local ? IDS_STATUS_LOCAL : IDS_STATUS_ACTIVE);
    m_StationList.SetItem(row, kStatus, LVIF_TEXT, status, 0, 0, 0, 0);
    return;
  }

  m_StationList.InsertItem(LVIF_TEXT, count, lanaText, 0, 0, 0, 0);
  m_StationList.SetItem(count, kName, LVIF_TEXT, NameText(dgram.station_name, 15), 0, 0, 0, 0);
  m_StationList.SetItem(count, kNode, LVIF_TEXT, nodeText, 0, 0, 0, 0);
  m_StationList.SetItem(count, kMinutes, LVIF_TEXT, minutesText, 0, 0, 0, 0);
  m_StationList.SetItem(count, kError, LVIF_TEXT, errorText, 0, 0, 0, 0);
}

void CMonitorDlg::AgeStationList() {
  CString local, inactive;
  local.LoadString(IDS_STATUS_LOCAL);
  inactive.LoadString(IDS_STATUS_INACTIVE);
  int count = m_StationList.GetItemCount();
  for (int row = 0; row < count; ++row) {
    if (m_StationList.GetItemText(row, kStatus) != local)
      m_StationList.SetItem(row, kStatus, LVIF_TEXT, inactive, 0, 0, 0, 0);
  }
}
