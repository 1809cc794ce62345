// NetBIOS datagram service packets (RFC 1002 section 4.4): building the direct datagrams
// this service sends and checking every packet that arrives on the datagram port.
// Pure functions on byte spans: no sockets, no state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/netbios/nbt/first_level_name.h"

constexpr std::uint8_t kDirectUnique = 0x10;
constexpr std::uint8_t kDirectGroup = 0x11;
constexpr std::uint16_t kDatagramPort = 138;
constexpr std::size_t kMaxUserData = 512;
constexpr std::size_t kDatagramHeaderSize = 14;
constexpr std::size_t kMaxDirectDatagram =
    kDatagramHeaderSize + 2 * kEncodedNameSize + kMaxUserData;

struct DirectDatagram {
  std::uint8_t msg_type;  // kDirectUnique or kDirectGroup
  std::uint16_t dgm_id;
  std::uint32_t source_ip;  // host byte order
  std::uint16_t source_port;
  NetbiosName source_name;
  NetbiosName destination_name;
  std::span<const std::uint8_t> user_data;  // points into the parsed packet
};

// Writes a whole (unfragmented) B-node direct datagram without scope into out and returns its
// size. user_data must be at most kMaxUserData bytes.
std::size_t BuildDirectDatagram(const DirectDatagram& datagram,
                                std::span<std::uint8_t, kMaxDirectDatagram> out);

// Accepts only a whole direct datagram (unique or group, first fragment, no more fragments,
// packet offset 0) whose names carry no scope and whose DGM_LENGTH lies within the packet;
// bytes past DGM_LENGTH are ignored. Anything else, including broadcast, error and query
// messages, yields nothing.
std::optional<DirectDatagram> ParseDirectDatagram(std::span<const std::uint8_t> packet);
