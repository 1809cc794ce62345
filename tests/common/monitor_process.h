// The monitor program running headless inside a network namespace, with the real NetBIOS
// service, and what its snapshot shows.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/common/subprocess.h"

// One row of the station list, cells as the snapshot writes them.
struct StationRow {
  std::string lana, name, node, minutes, status, error;
  bool operator==(const StationRow&) const = default;
};

// The rows of the first list in snapshot file `path`; none while the file is missing.
std::vector<StationRow> ReadStationRows(const std::string& path);

// The rows one per line, for failure messages.
std::string DescribeRows(const std::vector<StationRow>& rows);

class MonitorProcess {
 public:
  // Starts the program in namespace ns (through `wrapper`, e.g. a command that drops
  // privilege) as station `computer_name`, headless, writing its snapshot to snapshot_path.
  MonitorProcess(const std::string& ns, const std::string& computer_name,
                 const std::string& snapshot_path, const std::vector<std::string>& wrapper = {});
  // Ends the program with SIGTERM if it still runs.
  ~MonitorProcess();
  MonitorProcess(const MonitorProcess&) = delete;
  MonitorProcess& operator=(const MonitorProcess&) = delete;

  pid_t Pid() const { return process_.Pid(); }
  std::vector<StationRow> Rows() const { return ReadStationRows(snapshot_path_); }
  // Polls the snapshot until `done` holds for its rows; false after timeout_ms.
  bool WaitForRows(const std::function<bool(const std::vector<StationRow>&)>& done,
                   int timeout_ms) const;
  void Signal(int signal) { process_.Signal(signal); }
  // The exit status after up to timeout_ms (-1 while it still runs, 128 + signal when killed).
  int WaitForExit(int timeout_ms) { return process_.CloseAndWait(timeout_ms); }
  Subprocess& Process() { return process_; }

 private:
  std::string snapshot_path_;
  Subprocess process_;
};
