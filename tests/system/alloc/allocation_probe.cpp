#include "tests/system/alloc/allocation_probe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

thread_local bool t_counting = false;
thread_local std::size_t t_count = 0;
std::atomic<std::size_t> g_refuseSize{0};
std::atomic<int> g_refuseCountdown{0};

void* Allocate(std::size_t size) {
  if (t_counting) ++t_count;
  return std::malloc(size ? size : 1);
}

bool Refused(std::size_t size) {
  if (g_refuseSize.load() != size) return false;
  int left = g_refuseCountdown.load();
  while (left > 0 && !g_refuseCountdown.compare_exchange_weak(left, left - 1)) {
  }
  return left == 1;
}

}  // namespace

namespace allocation_probe {

void StartCounting() {
  t_count = 0;
  t_counting = true;
}

std::size_t StopCounting() {
  t_counting = false;
  return t_count;
}

void RefuseNothrowAllocation(std::size_t size, int nth) {
  g_refuseCountdown = nth;
  g_refuseSize = size;
}

}  // namespace allocation_probe

void* operator new(std::size_t size) {
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}

void* operator new[](std::size_t size) { return operator new(size); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return Refused(size) ? nullptr : Allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
