// The status buffer: the record's fields from the interface data, saturation of 16-bit
// counters, and filling no more than the caller's length.
#include "platform/netbios/nbt/adapter_status.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

InterfaceInfo Interface() {
  InterfaceInfo info{};
  info.hardware = {0x00, 0x60, 0x8C, 0x12, 0xAB, 0x0F};
  info.counters = {.tx_packets = 4000000000u,
                   .rx_packets = 1234,
                   .rx_errors = 70000,
                   .tx_errors = 3,
                   .tx_aborted_errors = 65535};
  return info;
}

std::vector<NAME_BUFFER> Names(int count) {
  std::vector<NAME_BUFFER> names(count);
  for (int i = 0; i < count; ++i) {
    std::memset(names[i].name, 'A' + i, NCBNAMSZ);
    names[i].name_num = static_cast<UCHAR>(i + 1);
  }
  return names;
}

TEST(AdapterStatus, CarriesTheInterfaceDataAndSaturates) {
  std::vector<UCHAR> buffer(STATUS_BUFFER_SIZE, 0xCC);
  WORD length = 0;
  const auto names = Names(2);
  ASSERT_EQ(WriteAdapterStatus(Interface(), 300, names, buffer.data(), STATUS_BUFFER_SIZE, length),
            NRC_GOODRET);
  EXPECT_EQ(length, sizeof(ADAPTER_STATUS) + 2 * sizeof(NAME_BUFFER));
  ADAPTER_STATUS status;
  std::memcpy(&status, buffer.data(), sizeof status);
  const UCHAR mac[6] = {0x00, 0x60, 0x8C, 0x12, 0xAB, 0x0F};
  EXPECT_EQ(std::memcmp(status.adapter_address, mac, 6), 0);
  EXPECT_EQ(status.duration, 300);
  EXPECT_EQ(status.xmit_success, 4000000000u);
  EXPECT_EQ(status.recv_success, 1234u);
  EXPECT_EQ(status.iframe_recv_err, 65535);  // 70000 saturates
  EXPECT_EQ(status.iframe_xmit_err, 3);
  EXPECT_EQ(status.xmit_aborts, 65535);
  EXPECT_EQ(status.frmr_recv, 0);
  EXPECT_EQ(status.frmr_xmit, 0);
  EXPECT_EQ(status.name_count, 2);
  EXPECT_EQ(std::memcmp(buffer.data() + sizeof status, names.data(), 2 * sizeof(NAME_BUFFER)), 0);
  EXPECT_EQ(buffer[length], 0xCC);
}

TEST(AdapterStatus, FillsOnlyTheLengthGivenAndSaysIncomplete) {
  const auto names = Names(3);
  struct Case {
    WORD capacity;
    WORD placed;
    WORD name_count;  // of the record, when it fitted
  };
  const Case cases[] = {
      {0, 0, 0},
      {20, 20, 0},
      {60, 60, 0},
      {60 + 18 + 17, 60 + 18, 1},
      {60 + 2 * 18, 60 + 2 * 18, 2},
  };
  for (const Case& c : cases) {
    std::vector<UCHAR> storage(c.capacity + 1, 0xCC);
    UCHAR* buffer = c.capacity ? storage.data() : nullptr;
    WORD length = 0;
    EXPECT_EQ(WriteAdapterStatus(Interface(), 1, names, buffer, c.capacity, length), NRC_INCOMP)
        << c.capacity;
    EXPECT_EQ(length, c.placed) << c.capacity;
    EXPECT_EQ(storage[c.capacity], 0xCC) << c.capacity;
    if (c.capacity >= sizeof(ADAPTER_STATUS)) {
      ADAPTER_STATUS status;
      std::memcpy(&status, storage.data(), sizeof status);
      EXPECT_EQ(status.name_count, c.name_count) << c.capacity;
    }
  }
}

TEST(AdapterStatus, DurationIsWholeMinutesSinceBoot) {
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  const long minutes = now.tv_sec / 60;
  EXPECT_NEAR(MinutesSinceBoot(), std::min(minutes, 65535L), 1);
}

}  // namespace
