// One run of the monitor program on the simulated LAN, on the test's display. The program
// never runs on the real network from here: NB_SERVICE is always sim:N.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

namespace gui_test {

class ProgramRun {
 public:
  // Starts the program with NB_SERVICE=sim:<stations> and DISPLAY as set now.
  explicit ProgramRun(int stations = 3);
  ~ProgramRun();  // kills the program if it still runs
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  pid_t pid() const { return pid_; }
  std::chrono::steady_clock::time_point started() const { return started_; }
  // True once the program has exited (within `timeout`).
  bool WaitForExit(std::chrono::milliseconds timeout);
  bool Exited();
  // Resident memory now, in KiB; 0 when the program is gone.
  long ResidentKiB() const;
  // What the program wrote to standard error so far.
  std::string ErrorOutput() const;
  // The lines of that which report a fault: sanitizer findings, failed checks of wx.
  std::string FaultReports() const;

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
  std::string error_path_;
  std::chrono::steady_clock::time_point started_;
};

}  // namespace gui_test
