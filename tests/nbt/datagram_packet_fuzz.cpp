// libFuzzer target: the datagram parser on arbitrary bytes. Whatever it accepts must point
// inside the input and build back into a packet it accepts again.
#include <cstdlib>

#include "platform/netbios/nbt/datagram_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> packet(data, size);
  const auto datagram = ParseDirectDatagram(packet);
  if (!datagram) return 0;
  const auto& user = datagram->user_data;
  if (!user.empty() && (user.data() < data || user.data() + user.size() > data + size))
    std::abort();
  if (user.size() > kMaxUserData) return 0;
  std::array<std::uint8_t, kMaxDirectDatagram> rebuilt;
  const std::size_t rebuilt_size = BuildDirectDatagram(*datagram, rebuilt);
  const auto again = ParseDirectDatagram({rebuilt.data(), rebuilt_size});
  if (!again || again->source_name != datagram->source_name ||
      again->destination_name != datagram->destination_name ||
      again->user_data.size() != user.size())
    std::abort();
  return 0;
}
