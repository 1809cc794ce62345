// How fast one LANA absorbs hostile and foreign packets on the datagram port, and at what CPU
// cost. Run through tools/netns-lan.sh with two hosts:
//   tools/netns-lan.sh -n 2 run nbt_absorb [RATE_PER_S] [SECONDS]
// Host 2 floods host 1's port 138 with malformed datagrams, other message types and datagrams
// to names host 1 does not have, at RATE_PER_S for SECONDS, then sends one datagram to the
// group name. Host 1 runs the service with a receive outstanding on the group name: none of
// the flood may complete it, the last datagram must. Host 1 prints the rate its socket took
// in, the drops and the CPU its process spent.
#include <arpa/inet.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/nbt/bench_station.h"
#include "platform/netbios/nbt/datagram_packet.h"

namespace {

constexpr char kTarget[] = "10.213.0.1";
constexpr std::size_t kBatch = 32;

#pragma pack(push, 1)  // 30 bytes, like a status datagram
struct FloodReport {
  std::int64_t nanoseconds;  // of the flood
  std::int64_t packets;
  UCHAR filler[14];
};
#pragma pack(pop)
static_assert(sizeof(FloodReport) == 30);

// The Udp counters of this namespace.
std::map<std::string, long> UdpCounters() {
  std::ifstream snmp("/proc/net/snmp");
  std::string header, values;
  std::map<std::string, long> counters;
  while (std::getline(snmp, header) && std::getline(snmp, values)) {
    if (header.rfind("Udp:", 0) != 0) continue;
    std::istringstream names(header.substr(4)), numbers(values.substr(4));
    std::string name;
    long number;
    while (names >> name && numbers >> number) counters[name] = number;
  }
  return counters;
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int Absorb(BenchStation& station) {
  station.PostReceive();
  auto before = UdpCounters();
  const double cpu_before = CpuSeconds();
  if (!station.WaitReceive(60000)) {
    std::fprintf(stderr, "nbt_absorb: the closing datagram never came\n");
    return 1;
  }
  const double cpu = CpuSeconds() - cpu_before;
  auto after = UdpCounters();
  FloodReport report{};
  if (station.Code() != NRC_GOODRET || station.Length() != sizeof report) {
    std::fprintf(stderr, "nbt_absorb: a flood packet completed the receive (code %02x, %u bytes)\n",
                 station.Code(), station.Length());
    return 1;
  }
  std::memcpy(&report, station.Data(), sizeof report);
  const double seconds = report.nanoseconds / 1e9;
  const long taken = after["InDatagrams"] - before["InDatagrams"] - 1;
  const long dropped = after["RcvbufErrors"] - before["RcvbufErrors"];
  std::printf(
      "absorbed %ld of %lld flood packets in %.2f s: %.0f packets/s, %ld dropped, "
      "CPU %.2f cores (%.2f us per packet)\n",
      taken, static_cast<long long>(report.packets), seconds, taken / seconds, dropped,
      cpu / seconds, taken ? cpu * 1e6 / taken : 0.0);
  return 0;
}

// The flood: one well-formed datagram to a foreign name and variants that must be dropped.
std::vector<std::vector<std::uint8_t>> FloodPackets() {
  DirectDatagram datagram{};
  datagram.msg_type = kDirectGroup;
  datagram.source_ip = 0x0AD50002;
  datagram.source_port = kDatagramPort;
  std::memcpy(datagram.source_name.data(), "FLOODER        \x02", NCBNAMSZ);
  std::memcpy(datagram.destination_name.data(), "SomeOtherGroupNm", NCBNAMSZ);
  const std::uint8_t data[30] = {};
  datagram.user_data = data;
  std::array<std::uint8_t, kMaxDirectDatagram> out;
  const std::vector<std::uint8_t> foreign(out.begin(),
                                          out.begin() + BuildDirectDatagram(datagram, out));

  std::vector<std::vector<std::uint8_t>> packets(8, foreign);
  packets[1][11] += 1;       // DGM_LENGTH past the packet
  packets[2][20] = 'Z';      // bad first-level letter
  packets[3][1] = 0x03;      // a fragment
  packets[4][0] = 0x14;      // query request
  packets[5].resize(10);     // cut in the header
  packets[6][14 + 33] = 60;  // scope label past the end
  packets[7][0] = 0x12;      // broadcast datagram
  std::memcpy(datagram.destination_name.data(), kBenchGroup, NCBNAMSZ);
  packets[7].assign(out.begin(), out.begin() + BuildDirectDatagram(datagram, out));
  packets[7][0] = 0x12;  // ... to the group name itself
  return packets;
}

int Flood(BenchStation& station, double rate, double seconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(700));  // the absorber starts
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(kDatagramPort);
  inet_pton(AF_INET, kTarget, &to.sin_addr);
  auto packets = FloodPackets();
  iovec data[kBatch];
  mmsghdr messages[kBatch] = {};
  for (std::size_t i = 0; i < kBatch; ++i) {
    auto& packet = packets[i % packets.size()];
    data[i] = {packet.data(), packet.size()};
    messages[i].msg_hdr.msg_name = &to;
    messages[i].msg_hdr.msg_namelen = sizeof to;
    messages[i].msg_hdr.msg_iov = &data[i];
    messages[i].msg_hdr.msg_iovlen = 1;
  }
  const std::int64_t start = MonotonicNanoseconds();
  const auto total = static_cast<std::int64_t>(rate * seconds);
  std::int64_t sent = 0;
  while (sent < total) {
    const std::int64_t due =
        static_cast<std::int64_t>((MonotonicNanoseconds() - start) * rate / 1e9);
    if (sent >= due) {
      std::this_thread::sleep_for(std::chrono::microseconds(100));
      continue;
    }
    const int n = sendmmsg(fd, messages, kBatch, 0);
    if (n > 0) sent += n;
  }
  FloodReport report{};
  report.nanoseconds = MonotonicNanoseconds() - start;
  report.packets = sent;
  close(fd);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  return station.Send(&report, sizeof report) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const int host = LanHostNumber("nbt_absorb");
  if (!host) return 2;
  const double rate = argc > 1 ? std::atof(argv[1]) : 100000;
  const double seconds = argc > 2 ? std::atof(argv[2]) : 3;
  BenchStation station;
  if (!station.Ok()) return 1;
  return host == 1 ? Absorb(station) : Flood(station, rate, seconds);
}
