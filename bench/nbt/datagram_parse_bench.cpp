// The datagram parser alone on the packets of the absorb flood: its share of the cost of a
// hostile packet, without sockets.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/netbios/nbt/datagram_packet.h"

namespace {

std::vector<std::uint8_t> Valid() {
  DirectDatagram datagram{};
  datagram.msg_type = kDirectGroup;
  std::memcpy(datagram.source_name.data(), "FLOODER        \x02", NCBNAMSZ);
  std::memcpy(datagram.destination_name.data(), "SomeOtherGroupNm", NCBNAMSZ);
  static const std::uint8_t data[30] = {};
  datagram.user_data = data;
  std::array<std::uint8_t, kMaxDirectDatagram> out;
  return {out.begin(), out.begin() + BuildDirectDatagram(datagram, out)};
}

void ParseWellFormed(benchmark::State& state) {
  const auto packet = Valid();
  for (auto _ : state) benchmark::DoNotOptimize(ParseDirectDatagram(packet));
}
BENCHMARK(ParseWellFormed);

void ParseBadLetterInDestination(benchmark::State& state) {
  auto packet = Valid();
  packet[14 + 34 + 30] = 'Z';
  for (auto _ : state) benchmark::DoNotOptimize(ParseDirectDatagram(packet));
}
BENCHMARK(ParseBadLetterInDestination);

}  // namespace

BENCHMARK_MAIN();
