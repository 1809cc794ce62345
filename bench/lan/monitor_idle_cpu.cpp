// The CPU an idle monitor takes: three stations headless on a LAN of network namespaces, each
// listing all three, measured over a span from /proc/PID/stat (user + system time, in clock
// ticks) and, finer, from the scheduler's run time of each thread (/proc/PID/task/*/schedstat).
// Root.
//   monitor_idle_cpu [SECONDS]    (default 10)
// Prints each station's share of one core; exits 1 when one is above the target of 1 %.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/common/monitor_process.h"
#include "tests/common/netns_lan.h"

namespace {

constexpr int kStations = 3;
constexpr double kTargetPercent = 1.0;

// User plus system time of the whole process so far, in seconds.
double CpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto name_end = stat.rfind(')');
  if (name_end == std::string::npos) return -1;
  std::istringstream fields(stat.substr(name_end + 2));  // from field 3, the state
  std::string skip;
  for (int field = 3; field < 14; ++field) fields >> skip;
  long user = 0, system = 0;
  fields >> user >> system;
  return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Time the threads now alive have run on a CPU, in seconds.
double RunSeconds(pid_t pid) {
  double total = 0;
  std::error_code error;
  for (const auto& task :
       std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
    std::ifstream schedstat(task.path() / "schedstat");
    double nanoseconds = 0;
    if (schedstat >> nanoseconds) total += nanoseconds / 1e9;
  }
  return total;
}

bool ListsAllStations(const std::vector<StationRow>& rows) {
  if (rows.size() != kStations) return false;
  for (const StationRow& row : rows)
    if (row.status != "Local" && row.status != "Active") return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10;
  const std::string why = WhyNoNamespaces();
  if (!why.empty()) {
    std::fprintf(stderr, "monitor_idle_cpu: %s\n", why.c_str());
    return 2;
  }
  NetnsLan lan(kStations, false);
  if (!lan.Ready()) {
    std::fprintf(stderr, "monitor_idle_cpu: tools/netns-lan.sh did not build the LAN\n");
    return 2;
  }
  char directory[] = "/tmp/pellorin-idle-XXXXXX";
  if (!mkdtemp(directory)) return 2;
  std::vector<std::string> snapshots;
  std::vector<std::unique_ptr<MonitorProcess>> stations;
  for (int host = 1; host <= kStations; ++host) {
    // Spread over the second, as stations on a LAN start: see tests/lan/monitor_lan.h.
    if (host > 1) std::this_thread::sleep_for(std::chrono::milliseconds(1000 / kStations));
    snapshots.push_back(std::string(directory) + "/host" + std::to_string(host) + ".snapshot");
    stations.push_back(std::make_unique<MonitorProcess>(
        lan.Host(host), "idle" + std::to_string(host), snapshots.back()));
  }
  int status = 0;
  for (auto& station : stations) {
    if (!station->WaitForRows(ListsAllStations, 5000)) {
      std::fprintf(stderr, "monitor_idle_cpu: a station does not list all three:\n%s",
                   DescribeRows(station->Rows()).c_str());
      status = 2;
    }
  }
  if (status == 0) {
    std::vector<double> before, run_before;
    for (auto& station : stations) {
      before.push_back(CpuSeconds(station->Pid()));
      run_before.push_back(RunSeconds(station->Pid()));
    }
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (int i = 0; i < kStations; ++i) {
      const double cpu = CpuSeconds(stations[i]->Pid()) - before[i];
      const double run = RunSeconds(stations[i]->Pid()) - run_before[i];
      const double percent = 100 * cpu / wall;
      std::printf(
          "idle monitor on host %d: %.2f %% of one core (%.0f ms CPU in %.1f s; run time of its "
          "threads %.1f ms, %.3f %%)\n",
          i + 1, percent, cpu * 1000, wall, run * 1000, 100 * run / wall);
      if (percent >= kTargetPercent) status = 1;
    }
    std::printf("target: under %.0f %% of one core: %s\n", kTargetPercent,
                status == 0 ? "met" : "NOT met");
  }
  stations.clear();
  for (const std::string& snapshot : snapshots) std::remove(snapshot.c_str());
  rmdir(directory);
  return status;
}
