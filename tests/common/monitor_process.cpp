#include "tests/common/monitor_process.h"

#include <signal.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> cells;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
    cells.push_back(line.substr(start, tab - start));
  cells.push_back(line.substr(start));
  return cells;
}

std::vector<std::string> ProgramArgv(const std::string& ns, const std::string& computer_name,
                                     const std::string& snapshot_path,
                                     const std::vector<std::string>& wrapper) {
  std::vector<std::string> argv = {"ip", "netns", "exec", ns};
  argv.insert(argv.end(), wrapper.begin(), wrapper.end());
  // The real service: NB_SERVICE must not choose the simulated one.
  const std::vector<std::string> command = {"env",
                                            "-u",
                                            "NB_SERVICE",
                                            "UI_HEADLESS=1",
                                            "UI_SNAPSHOT=" + snapshot_path,
                                            "NB_COMPUTERNAME=" + computer_name,
                                            PELLORIN_PROGRAM};
  argv.insert(argv.end(), command.begin(), command.end());
  return argv;
}

}  // namespace

std::vector<StationRow> ReadStationRows(const std::string& path) {
  std::ifstream in(path);
  std::vector<StationRow> rows;
  bool in_list = false;
  for (std::string line; std::getline(in, line);) {
    const std::vector<std::string> cells = SplitTabs(line);
    if (cells[0] == "columns") {
      if (in_list) break;
      in_list = true;
    } else if (in_list && cells[0] == "row") {
      StationRow row;
      std::string* fields[] = {&row.lana,    &row.name,   &row.node,
                               &row.minutes, &row.status, &row.error};
      for (std::size_t i = 0; i < std::size(fields) && i + 1 < cells.size(); ++i)
        *fields[i] = cells[i + 1];
      rows.push_back(row);
    } else if (in_list) {
      break;
    }
  }
  return rows;
}

std::string DescribeRows(const std::vector<StationRow>& rows) {
  std::ostringstream text;
  for (const StationRow& row : rows)
    text << "  [" << row.lana << "|" << row.name << "|" << row.node << "|" << row.minutes << "|"
         << row.status << "|" << row.error << "]\n";
  return rows.empty() ? "  (no rows)\n" : text.str();
}

MonitorProcess::MonitorProcess(const std::string& ns, const std::string& computer_name,
                               const std::string& snapshot_path,
                               const std::vector<std::string>& wrapper)
    : snapshot_path_(snapshot_path),
      process_(ProgramArgv(ns, computer_name, snapshot_path, wrapper)) {}

MonitorProcess::~MonitorProcess() { process_.Signal(SIGTERM); }

bool MonitorProcess::WaitForRows(const std::function<bool(const std::vector<StationRow>&)>& done,
                                 int timeout_ms) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done(Rows())) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}
