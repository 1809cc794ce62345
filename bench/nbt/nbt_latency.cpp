// Latency from a datagram send on one station to the post routine of the receive on another.
// Run through tools/netns-lan.sh with two hosts: host 1 receives, host 2 sends.
//   tools/netns-lan.sh -n 2 run nbt_latency [SAMPLES]
// Host 1 prints the samples' p50, p99 and max.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "bench/nbt/bench_station.h"

namespace {

constexpr int kWarmUp = 50;
constexpr auto kSpacing = std::chrono::milliseconds(2);

#pragma pack(push, 1)  // 30 bytes, like a status datagram
struct Probe {
  std::int64_t sent_at;  // 0 ends the run
  std::int32_t sequence;
  UCHAR filler[18];
};
#pragma pack(pop)
static_assert(sizeof(Probe) == 30);

int Receive(BenchStation& station, int samples) {
  std::vector<double> latencies_us;
  station.PostReceive();
  while (station.WaitReceive(10000)) {
    Probe probe{};
    std::memcpy(&probe, station.Data(), std::min<std::size_t>(station.Length(), sizeof probe));
    const std::int64_t posted_at = station.PostedAt();
    if (probe.sent_at == 0) break;
    if (probe.sequence >= kWarmUp) latencies_us.push_back((posted_at - probe.sent_at) / 1000.0);
    station.PostReceive();
  }
  if (latencies_us.empty()) {
    std::fprintf(stderr, "nbt_latency: no datagram received\n");
    return 1;
  }
  std::sort(latencies_us.begin(), latencies_us.end());
  const auto at = [&](double q) {
    return latencies_us[static_cast<std::size_t>(q * (latencies_us.size() - 1))];
  };
  std::printf("send -> post routine, %zu of %d datagrams: p50 %.1f us, p99 %.1f us, max %.1f us\n",
              latencies_us.size(), samples, at(0.50), at(0.99), latencies_us.back());
  return 0;
}

int Send(BenchStation& station, int samples) {
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the receiver starts
  for (int i = 0; i < kWarmUp + samples; ++i) {
    Probe probe{};
    probe.sequence = i;
    probe.sent_at = MonotonicNanoseconds();
    if (!station.Send(&probe, sizeof probe)) return 1;
    std::this_thread::sleep_for(kSpacing);
  }
  const Probe end{};
  for (int i = 0; i < 5; ++i) {
    station.Send(&end, sizeof end);
    std::this_thread::sleep_for(kSpacing);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int host = LanHostNumber("nbt_latency");
  if (!host) return 2;
  const int samples = argc > 1 ? std::atoi(argv[1]) : 2000;
  BenchStation station;
  if (!station.Ok()) return 1;
  return host == 1 ? Receive(station, samples) : Send(station, samples);
}
