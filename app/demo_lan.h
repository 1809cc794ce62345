// A demonstration LAN without a network: the simulated service with this station's adapter on
// LANA 0 and `stations` simulated stations on the same simulated LAN. Each sends its status
// twice a second as the monitor does, with statistics that move; now and then one stops for a
// while and starts again, so stations can be watched appearing, updating and going inactive.
#pragma once

#include <memory>

class DemoLan {
 public:
  static constexpr int kMaxStations = 64;

  // Installs the simulated service as the process's NetBIOS service and starts the stations.
  explicit DemoLan(int stations);
  ~DemoLan();
  DemoLan(const DemoLan&) = delete;
  DemoLan& operator=(const DemoLan&) = delete;

 private:
  struct State;
  std::unique_ptr<State> state_;
};
