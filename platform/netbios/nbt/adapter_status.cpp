#include "platform/netbios/nbt/adapter_status.h"

#include <time.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/netbios/nbt/datagram_packet.h"

namespace {

constexpr UCHAR kNetbiosRevision = 3;
constexpr UCHAR kEthernetAdapter = 0xFE;

WORD Saturate16(std::uint64_t value) {
  return static_cast<WORD>(std::min<std::uint64_t>(value, std::numeric_limits<WORD>::max()));
}

ADAPTER_STATUS MakeAdapterStatus(const InterfaceInfo& info, WORD duration, WORD name_count) {
  ADAPTER_STATUS status{};
  std::memcpy(status.adapter_address, info.hardware.data(), sizeof status.adapter_address);
  status.rev_major = kNetbiosRevision;
  status.adapter_type = kEthernetAdapter;
  status.duration = duration;
  status.iframe_recv_err = Saturate16(info.counters.rx_errors);
  status.xmit_aborts = Saturate16(info.counters.tx_aborted_errors);
  status.xmit_success = info.counters.tx_packets;
  status.recv_success = info.counters.rx_packets;
  status.iframe_xmit_err = Saturate16(info.counters.tx_errors);
  status.max_dgram_size = kMaxUserData;
  status.name_count = name_count;
  return status;
}

}  // namespace

WORD MinutesSinceBoot() {
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return Saturate16(static_cast<std::uint64_t>(now.tv_sec) / 60);
}

UCHAR WriteAdapterStatus(const InterfaceInfo& info, WORD duration,
                         std::span<const NAME_BUFFER> names, UCHAR* buffer, WORD capacity,
                         WORD& length) {
  const std::size_t fitting =
      capacity < sizeof(ADAPTER_STATUS)
          ? 0
          : std::min(names.size(), (capacity - sizeof(ADAPTER_STATUS)) / sizeof(NAME_BUFFER));
  const ADAPTER_STATUS status = MakeAdapterStatus(info, duration, static_cast<WORD>(fitting));
  const std::size_t head = std::min<std::size_t>(capacity, sizeof status);
  if (head) std::memcpy(buffer, &status, head);
  if (fitting) std::memcpy(buffer + head, names.data(), fitting * sizeof(NAME_BUFFER));
  length = static_cast<WORD>(head + fitting * sizeof(NAME_BUFFER));
  return fitting == names.size() && head == sizeof status ? NRC_GOODRET : NRC_INCOMP;
}
