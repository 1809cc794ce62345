#include "netbios/adapter_stats.h"

#include <cstring>

#include "netbios/nb_commands.h"

unsigned ComputeErrorRate(const ADAPTER_STATUS& status) {
  std::uint32_t frames = static_cast<std::uint32_t>(status.frmr_recv) + status.frmr_xmit +
                         status.xmit_success + status.recv_success;
  std::uint32_t hundreds = frames / 100;
  if (hundreds == 0) return 0;
  std::uint32_t errors = static_cast<std::uint32_t>(status.iframe_recv_err) + status.xmit_aborts +
                         status.iframe_xmit_err;
  return errors / hundreds;
}

void RefreshAdapterStats(LANA_NODE* node) {
  alignas(ADAPTER_STATUS) UCHAR buffer[STATUS_BUFFER_SIZE];
  std::memset(buffer, 0, sizeof buffer);
  if (!NbAdapterStatus(buffer, node->lana_num, LOCAL_CALLNAME)) return;
  ADAPTER_STATUS status;
  std::memcpy(&status, buffer, sizeof status);
  SetMinutesRunning(node->send_dgram, status.duration);
  node->send_dgram.error_rate = static_cast<UCHAR>(ComputeErrorRate(status) & 0xFF);
}
