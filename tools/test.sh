#!/usr/bin/env bash
# Builds Pellorin three ways and runs every test: a plain build, one with AddressSanitizer and
# UndefinedBehaviorSanitizer, and one with ThreadSanitizer (the GUI tests run in the plain one); then the
# datagram parser's fuzzer for a bounded time. Tests that need root, network namespaces or a
# display skip with a reason when these are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
failed=0

build() {  # dir, extra cmake args...
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
}

run_tests() {  # dir, label, extra ctest args...
  local dir=$1 label=$2
  shift 2
  echo "=== tests: $label ==="
  if ! (cd "$dir" && ctest --output-on-failure --timeout 300 -j"$jobs" "$@"); then failed=1; fi
}

build build
run_tests build plain

build build-asan -DPELLORIN_SANITIZE=address,undefined -DPELLORIN_WITH_WX=OFF -DPELLORIN_BENCHMARKS=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_tests build-asan "address+undefined" -LE gui

build build-tsan -DPELLORIN_SANITIZE=thread -DPELLORIN_WITH_WX=OFF -DPELLORIN_BENCHMARKS=OFF
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" run_tests build-tsan thread -LE gui

if command -v clang++ >/dev/null; then
  echo "=== fuzzing the datagram parser ==="
  CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPELLORIN_FUZZ=ON -DPELLORIN_WITH_WX=OFF -DPELLORIN_BENCHMARKS=OFF >/dev/null
  cmake --build build-fuzz -j"$jobs" --target datagram_packet_fuzz
  if [ -x build-fuzz/tests/nbt/datagram_packet_fuzz ]; then
    mkdir -p build-fuzz/corpus
    build-fuzz/tests/nbt/datagram_packet_fuzz -max_total_time="${FUZZ_SECONDS:-60}" \
      -print_final_stats=1 build-fuzz/corpus tests/nbt/fuzz_seeds || failed=1
  fi
fi

exit $failed
