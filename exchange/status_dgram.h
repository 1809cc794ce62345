// The status datagram every copy sends to the group name, and the group name itself.
#pragma once

#include <cstddef>

#include "platform/netbios/nb30.h"

// Exactly 16 bytes, no terminator: every byte is a character of the name.
inline constexpr UCHAR MONITOR_GROUP_NAME[NCBNAMSZ] = {'B', 'r', 'u', 'm', 'w', 'i', 'c', 'k',
                                                       'P', 'E', 'L', 'L', 'O', 'R', 'I', 'N'};

#pragma pack(push, 1)
struct STATUS_DGRAM {
  UCHAR station_name[NCBNAMSZ];  // the sender's redirector name, 16th byte included
  UCHAR minutes_running[2];      // little-endian
  UCHAR error_rate;
  UCHAR spare1[4];
  UCHAR node_address[6];  // at offset 23: nothing aligns it
  UCHAR spare2;
};
#pragma pack(pop)

static_assert(sizeof(STATUS_DGRAM) == 30);
static_assert(offsetof(STATUS_DGRAM, minutes_running) == 16);
static_assert(offsetof(STATUS_DGRAM, error_rate) == 18);
static_assert(offsetof(STATUS_DGRAM, spare1) == 19);
static_assert(offsetof(STATUS_DGRAM, node_address) == 23);
static_assert(offsetof(STATUS_DGRAM, spare2) == 29);

constexpr WORD STATUS_DGRAM_SIZE = sizeof(STATUS_DGRAM);

inline WORD GetMinutesRunning(const STATUS_DGRAM& d) {
  return static_cast<WORD>(d.minutes_running[0] | (d.minutes_running[1] << 8));
}

inline void SetMinutesRunning(STATUS_DGRAM& d, WORD minutes) {
  d.minutes_running[0] = static_cast<UCHAR>(minutes & 0xFF);
  d.minutes_running[1] = static_cast<UCHAR>(minutes >> 8);
}
