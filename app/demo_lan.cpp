#include "app/demo_lan.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "exchange/status_dgram.h"
#include "platform/netbios/nbt/redirector_name.h"
#include "platform/netbios/sim/sim_netbios.h"

namespace {

constexpr int kSegment = 1;
constexpr SimAdapterId kLocalAdapter{0, 0};
constexpr SimNodeAddress kLocalNode{0x02, 0x00, 0x4C, 0x4F, 0x43, 0x41};
// Stations send a pair of datagrams every second, as the monitor does, each at its own phase on
// a 10 ms grid. A LANA takes one datagram per receive and posts the next receive up to 50 ms
// later, so stations sending in the same instant hide each other; the simulated stations also
// keep clear of the 100 ms before and the 60 ms after each of the monitor's own sends, so that
// neither hides the other.
constexpr auto kTick = std::chrono::milliseconds(10);
constexpr int kTicksPerSend = 100;
constexpr int kClearBefore = 10;
constexpr int kClearAfter = 6;
constexpr int kTicksPerMinute = 6000;

const char* const kStationNames[] = {"ALDER",  "BIRCH",    "CEDAR",  "DOGWOOD",  "ELM",
                                     "FIR",    "GINKGO",   "HAZEL",  "IRONWOOD", "JUNIPER",
                                     "LARCH",  "MAPLE",    "OAK",    "PINE",     "ROWAN",
                                     "SPRUCE", "SYCAMORE", "WALNUT", "WILLOW",   "YEW"};

struct DemoStation {
  STATUS_DGRAM status{};
  ADAPTER_STATUS counters{};
  int next_send = 0;     // tick of its next send
  int paused_sends = 0;  // while positive the station sends nothing
  int noise = 0;         // how error-prone its adapter is
};

SimName ToSimName(const UCHAR* bytes) {
  SimName name;
  std::memcpy(name.data(), bytes, name.size());
  return name;
}

SimNodeAddress NodeAddress(int index) {
  return {0x02, 0x00, 0x4C, 0x4E, static_cast<UCHAR>(index >> 8), static_cast<UCHAR>(index)};
}

std::string StationName(int index) {
  int count = static_cast<int>(std::size(kStationNames));
  std::string name = kStationNames[index % count];
  if (index >= count) name += std::to_string(index / count + 1);
  return name;
}

// Traffic of a busy adapter over one send period; `noise` sets how many receive errors come
// with it (0: none; about noise / 2 a period).
void AdvanceCounters(ADAPTER_STATUS& c, std::mt19937& random, int noise) {
  c.xmit_success += 2 + random() % 5;
  c.recv_success += 10 + random() % 40;
  if (noise > 0) c.iframe_recv_err = static_cast<WORD>(c.iframe_recv_err + random() % (noise + 1));
}

}  // namespace

struct DemoLan::State {
  SimNetbios* service = nullptr;
  std::vector<DemoStation> stations;
  std::mt19937 random{20261211};
  ADAPTER_STATUS local{};
  int last_local_send = -1;
  bool monitor_ready = false;
  std::mutex mutex;
  std::condition_variable stop_signal;
  bool stopping = false;
  std::thread thread;

  // Whether a send now could meet the monitor's own, last seen or predicted a period later.
  bool NearLocalSend(int tick) const {
    if (last_local_send < 0) return false;
    int since = (tick - last_local_send) % kTicksPerSend;
    return since < kClearAfter || kTicksPerSend - since <= kClearBefore;
  }

  bool MonitorRegistered() const {
    for (const NAME_BUFFER& entry : service->Names(kLocalAdapter))
      if (std::memcmp(entry.name, MONITOR_GROUP_NAME, NCBNAMSZ) == 0) return true;
    return false;
  }

  // The stations start sending once the monitor has registered the group name, which is when
  // its timers start: its sends then come a period later and every period after, and the
  // stations take phases between them.
  void StartStations(int tick) {
    monitor_ready = true;
    last_local_send = tick;
    int count = static_cast<int>(stations.size());
    for (int i = 0; i < count; ++i)
      stations[static_cast<std::size_t>(i)].next_send =
          tick + kClearAfter + 10 + i * (kTicksPerSend - kClearBefore - kClearAfter - 20) / count;
  }

  void Tick(int tick) {
    if (!monitor_ready) {
      if (!MonitorRegistered()) return;
      StartStations(tick);
    }
    if (!service->SentDatagrams().empty()) {
      last_local_send = tick;
      service->ClearSentDatagrams();
    }
    if (tick % kTicksPerSend == 0) {
      AdvanceCounters(local, random, 0);
      local.duration = static_cast<WORD>(tick / kTicksPerMinute);
      service->SetStatus(kLocalAdapter, local);
    }
    for (auto& s : stations) {
      if (tick < s.next_send) continue;
      if (NearLocalSend(tick)) {
        s.next_send = tick + 1;
        continue;
      }
      s.next_send = tick + kTicksPerSend;
      if (tick % kTicksPerMinute < kTicksPerSend)
        SetMinutesRunning(s.status, static_cast<WORD>(GetMinutesRunning(s.status) + 1));
      if (s.paused_sends > 0) {
        --s.paused_sends;
        continue;
      }
      // After the first minute a station stops now and then, for 15 to 45 s.
      if (tick > kTicksPerMinute && random() % 200 == 0)
        s.paused_sends = 15 + static_cast<int>(random() % 30);
      AdvanceCounters(s.counters, random, s.noise);
      std::uint32_t frames = s.counters.xmit_success + s.counters.recv_success;
      s.status.error_rate =
          frames >= 100 ? static_cast<UCHAR>(s.counters.iframe_recv_err / (frames / 100)) : 0;
      auto bytes =
          std::span<const UCHAR>(reinterpret_cast<const UCHAR*>(&s.status), sizeof s.status);
      for (int copy = 0; copy < 2; ++copy)
        service->InjectDatagram(kSegment, ToSimName(s.status.station_name),
                                ToSimName(MONITOR_GROUP_NAME), bytes);
    }
  }

  void Run() {
    auto next = std::chrono::steady_clock::now();
    for (int tick = 1;; ++tick) {
      next += kTick;
      std::unique_lock lock(mutex);
      if (stop_signal.wait_until(lock, next, [&] { return stopping; })) return;
      lock.unlock();
      Tick(tick);
    }
  }
};

DemoLan::DemoLan(int stations) : state_(std::make_unique<State>()) {
  auto service = std::make_unique<SimNetbios>();
  service->AddAdapter(kLocalAdapter, kSegment, kLocalNode);
  NetbiosName redirector = LocalRedirectorName();
  NAME_BUFFER entry{};
  std::memcpy(entry.name, redirector.data(), NCBNAMSZ);
  entry.name_num = 1;
  entry.name_flags = REGISTERED;
  service->SetNames(kLocalAdapter, {entry});
  std::memcpy(state_->local.adapter_address, kLocalNode.data(), kLocalNode.size());
  service->SetStatus(kLocalAdapter, state_->local);

  for (int i = 0; i < stations; ++i) {
    DemoStation s;
    std::string name = StationName(i);
    std::memset(s.status.station_name, ' ', 15);
    std::memcpy(s.status.station_name, name.data(), std::min<std::size_t>(name.size(), 15));
    s.status.station_name[15] = 0x02;
    SimNodeAddress node = NodeAddress(i + 1);
    std::memcpy(s.status.node_address, node.data(), node.size());
    SetMinutesRunning(s.status, static_cast<WORD>(state_->random() % 2000));
    s.noise = i % 4 == 3 ? 3 : i % 4 == 1 ? 1 : 0;  // a few stations with a poor line
    state_->stations.push_back(s);
  }
  state_->service = service.get();
  InstallNetbiosService(std::move(service));
  state_->thread = std::thread([state = state_.get()] { state->Run(); });
}

DemoLan::~DemoLan() {
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = true;
  }
  state_->stop_signal.notify_all();
  state_->thread.join();
}
