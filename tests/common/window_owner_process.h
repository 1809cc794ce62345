// A forked process that owns hidden top-level windows and serves them to other processes, as a
// running copy does: the other side of a test of finding and activating a running copy.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class WindowOwnerProcess {
 public:
  // Forks a child that makes hidden windows with these titles, in order (the last is
  // topmost), and returns once the child serves them. The child ends once the window titled
  // `watched` is shown, or after five seconds.
  WindowOwnerProcess(const std::vector<std::string>& titles, const std::string& watched);
  ~WindowOwnerProcess();
  WindowOwnerProcess(const WindowOwnerProcess&) = delete;
  WindowOwnerProcess& operator=(const WindowOwnerProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  // Waits for the child to end; true when its watched window was shown.
  bool WatchedWindowWasShown();

 private:
  pid_t pid_ = -1;
};
