// The machine's network interfaces as the kernel reports them (getifaddrs): IPv4 address,
// broadcast address, flags, hardware address and packet counters.
#pragma once

#include <netinet/in.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct InterfaceCounters {
  std::uint32_t tx_packets;
  std::uint32_t rx_packets;
  std::uint32_t rx_errors;
  std::uint32_t tx_errors;
  std::uint32_t tx_aborted_errors;
};

struct InterfaceInfo {
  int index;
  std::string name;
  unsigned flags;                        // IFF_*
  in_addr address;                       // first IPv4 address
  in_addr broadcast;                     // its broadcast address
  std::array<std::uint8_t, 6> hardware;  // zero when the interface has none
  InterfaceCounters counters;
};

// Every interface that has an IPv4 address, in interface-index order.
std::vector<InterfaceInfo> ReadIpv4Interfaces();

// Up, broadcast-capable, not loopback, with a broadcast address: a NetBIOS adapter.
bool IsUsableAdapter(const InterfaceInfo& info);

const InterfaceInfo* FindInterface(const std::vector<InterfaceInfo>& interfaces,
                                   const std::string& name);
