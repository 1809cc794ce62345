// A NetBIOS station for the benchmarks: the real service installed in this process (which
// runs inside a namespace of tools/netns-lan.sh), one group name on LANA 0, and one receive
// at a time whose post routine notes when it ran.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/netbios/nb30.h"

constexpr char kBenchGroup[] = "NbtBenchGroupNam";  // 16 bytes

std::int64_t MonotonicNanoseconds();

// The number of the host (1, 2, ...) that tools/netns-lan.sh runs this process on; 0, with a
// message on standard error, when it was not started that way.
int LanHostNumber(const char* program);

class BenchStation {
 public:
  // Installs the service and adds the group name; Ok() tells whether that worked.
  BenchStation();
  ~BenchStation();
  bool Ok() const { return name_num_ != 0; }

  bool Send(const void* data, WORD length);
  // Posts the receive (the previous one must have completed).
  void PostReceive();
  // Waits up to timeout_ms for the posted receive; true when it completed.
  bool WaitReceive(int timeout_ms);
  // Of the completed receive: the bytes, their number, the code, and when the post ran.
  const UCHAR* Data() const { return buffer_; }
  WORD Length() const { return receive_.ncb_length; }
  UCHAR Code() const { return ReadCompletionCode(); }
  std::int64_t PostedAt() const { return posted_at_.load(std::memory_order_acquire); }

 private:
  static void OnPost(NCB* ncb);
  UCHAR ReadCompletionCode() const;

  NCB receive_{};  // first member: the post routine finds the station from its address
  UCHAR buffer_[512];
  UCHAR name_num_ = 0;
  std::atomic<std::int64_t> posted_at_{0};
};
