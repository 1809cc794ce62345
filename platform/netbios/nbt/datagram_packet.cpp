#include "platform/netbios/nbt/datagram_packet.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kFlagMoreFragments = 0x01;
constexpr std::uint8_t kFlagFirstFragment = 0x02;
constexpr std::uint8_t kBNode = 0x00;  // the node-type bits, 0x0C

std::uint16_t Read16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

void Write16(std::span<std::uint8_t> bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<std::uint8_t>(value >> 8);
  bytes[at + 1] = static_cast<std::uint8_t>(value);
}

// Decodes one name at the start of bytes; names with a scope belong to another scope than
// ours (we have none) and are refused like malformed ones.
std::optional<DecodedName> TakeName(std::span<const std::uint8_t> bytes) {
  auto decoded = DecodeFirstLevelName(bytes);
  if (!decoded || decoded->has_scope) return std::nullopt;
  return decoded;
}

}  // namespace

std::size_t BuildDirectDatagram(const DirectDatagram& datagram,
                                std::span<std::uint8_t, kMaxDirectDatagram> out) {
  const std::size_t data_size = std::min(datagram.user_data.size(), kMaxUserData);
  const std::size_t dgm_length = 2 * kEncodedNameSize + data_size;
  out[0] = datagram.msg_type;
  out[1] = kFlagFirstFragment | kBNode;
  Write16(out, 2, datagram.dgm_id);
  Write16(out, 4, static_cast<std::uint16_t>(datagram.source_ip >> 16));
  Write16(out, 6, static_cast<std::uint16_t>(datagram.source_ip));
  Write16(out, 8, datagram.source_port);
  Write16(out, 10, static_cast<std::uint16_t>(dgm_length));
  Write16(out, 12, 0);  // PACKET_OFFSET
  std::size_t at = kDatagramHeaderSize;
  EncodeFirstLevelName(datagram.source_name, out.subspan(at).first<kEncodedNameSize>());
  at += kEncodedNameSize;
  EncodeFirstLevelName(datagram.destination_name, out.subspan(at).first<kEncodedNameSize>());
  at += kEncodedNameSize;
  std::copy_n(datagram.user_data.begin(), data_size, out.begin() + at);
  return at + data_size;
}

std::optional<DirectDatagram> ParseDirectDatagram(std::span<const std::uint8_t> packet) {
  if (packet.size() < kDatagramHeaderSize) return std::nullopt;
  DirectDatagram datagram{};
  datagram.msg_type = packet[0];
  if (datagram.msg_type != kDirectUnique && datagram.msg_type != kDirectGroup) return std::nullopt;
  const std::uint8_t flags = packet[1];
  if (!(flags & kFlagFirstFragment) || (flags & kFlagMoreFragments)) return std::nullopt;
  if (Read16(packet, 12) != 0) return std::nullopt;  // PACKET_OFFSET of a later fragment
  const std::size_t dgm_length = Read16(packet, 10);
  if (dgm_length > packet.size() - kDatagramHeaderSize) return std::nullopt;
  datagram.dgm_id = Read16(packet, 2);
  datagram.source_ip = static_cast<std::uint32_t>(Read16(packet, 4)) << 16 | Read16(packet, 6);
  datagram.source_port = Read16(packet, 8);

  auto body = packet.subspan(kDatagramHeaderSize, dgm_length);
  const auto source = TakeName(body);
  if (!source) return std::nullopt;
  body = body.subspan(source->length);
  const auto destination = TakeName(body);
  if (!destination) return std::nullopt;
  datagram.source_name = source->name;
  datagram.destination_name = destination->name;
  datagram.user_data = body.subspan(destination->length);
  return datagram;
}
