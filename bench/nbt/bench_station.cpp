#include "bench/nbt/bench_station.h"

#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/netbios/nbt/nbt_service.h"

std::int64_t MonotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

int LanHostNumber(const char* program) {
  const char* host = std::getenv("NETNS_LAN_HOST");
  if (!host) std::fprintf(stderr, "%s: run me through tools/netns-lan.sh -n 2 run\n", program);
  return host ? std::atoi(host) : 0;
}

BenchStation::BenchStation() {
  static_assert(offsetof(BenchStation, receive_) == 0);
  InstallNetbiosService(MakeNbtService());
  NCB ncb{};
  ncb.ncb_command = NCBADDGRNAME;
  std::memcpy(ncb.ncb_name, kBenchGroup, NCBNAMSZ);
  if (Netbios(&ncb) == NRC_GOODRET) name_num_ = ncb.ncb_num;
}

BenchStation::~BenchStation() {
  if (ReadCompletionCode() == NRC_PENDING) {
    NCB cancel{};
    cancel.ncb_command = NCBCANCEL;
    cancel.ncb_buffer = reinterpret_cast<UCHAR*>(&receive_);
    Netbios(&cancel);
  }
  InstallNetbiosService(nullptr);
}

bool BenchStation::Send(const void* data, WORD length) {
  NCB ncb{};
  ncb.ncb_command = NCBDGSEND;
  ncb.ncb_num = name_num_;
  std::memcpy(ncb.ncb_callname, kBenchGroup, NCBNAMSZ);
  ncb.ncb_buffer = static_cast<UCHAR*>(const_cast<void*>(data));
  ncb.ncb_length = length;
  return Netbios(&ncb) == NRC_GOODRET;
}

void BenchStation::PostReceive() {
  posted_at_.store(0, std::memory_order_relaxed);
  receive_ = NCB{};
  receive_.ncb_command = NCBDGRECV | ASYNCH;
  receive_.ncb_num = name_num_;
  receive_.ncb_buffer = buffer_;
  receive_.ncb_length = sizeof buffer_;
  receive_.ncb_post = OnPost;
  Netbios(&receive_);
}

bool BenchStation::WaitReceive(int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (PostedAt() == 0) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
  return true;
}

void BenchStation::OnPost(NCB* ncb) {
  reinterpret_cast<BenchStation*>(ncb)->posted_at_.store(MonotonicNanoseconds(),
                                                         std::memory_order_release);
}

UCHAR BenchStation::ReadCompletionCode() const { return ReadCompletion(receive_); }
