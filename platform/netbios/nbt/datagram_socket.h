// The one UDP socket on the NetBIOS datagram port, shared with other programs that share it
// (SO_REUSEADDR), able to broadcast, and telling on which interface each packet arrived.
#pragma once

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/netbios/nbt/datagram_packet.h"

struct PortOpening {
  int fd;               // -1 on failure
  std::string problem;  // on failure: one line naming the cause and the fix
};

PortOpening OpenDatagramPort();

// Sends packet from source to destination:kDatagramPort out of the interface ifindex.
bool SendOnInterface(int fd, int ifindex, in_addr source, in_addr destination,
                     std::span<const std::uint8_t> packet);

// Packets read in one go, each with the index of the interface it arrived on.
struct ReceiveBatch {
  static constexpr std::size_t kPackets = 32;
  static constexpr std::size_t kPacketBytes = 1500;
  std::uint8_t bytes[kPackets][kPacketBytes];
  std::size_t sizes[kPackets];
  int ifindex[kPackets];
};

// Reads the packets waiting on fd without blocking; returns how many (0 when none).
std::size_t ReceivePackets(int fd, ReceiveBatch& batch);
