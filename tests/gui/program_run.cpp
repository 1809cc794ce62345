#include "tests/gui/program_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "tests/gui/wait_until.h"

namespace gui_test {

ProgramRun::ProgramRun(int stations) {
  char path[] = "/tmp/pellorin-gui-stderr-XXXXXX";
  int error_fd = mkstemp(path);
  error_path_ = path;
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    for (const char* drop : {"NB_SERVICE=", "UI_HEADLESS=", "WAYLAND_DISPLAY=", "UI_SNAPSHOT="})
      if (entry.rfind(drop, 0) == 0) entry.clear();
    if (!entry.empty()) env.push_back(entry);
  }
  env.push_back("NB_SERVICE=sim:" + std::to_string(stations));
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string program = PELLORIN_PROGRAM;
  char* argv[] = {program.data(), nullptr};
  started_ = std::chrono::steady_clock::now();
  pid_ = fork();
  if (pid_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dup2(error_fd, STDERR_FILENO);
    execve(argv[0], argv, envp.data());
    _exit(127);
  }
  close(error_fd);
}

ProgramRun::~ProgramRun() {
  if (pid_ > 0 && !Exited()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  unlink(error_path_.c_str());
}

bool ProgramRun::Exited() {
  if (!exited_ && pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == pid_) exited_ = true;
  return exited_;
}

bool ProgramRun::WaitForExit(std::chrono::milliseconds timeout) {
  return WaitUntil([this] { return Exited(); }, timeout);
}

long ProgramRun::ResidentKiB() const {
  std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return 0;
}

std::string ProgramRun::ErrorOutput() const {
  std::ifstream in(error_path_);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string ProgramRun::FaultReports() const {
  std::istringstream lines(ErrorOutput());
  std::string line, faults;
  while (std::getline(lines, line))
    for (const char* mark : {"Sanitizer", "runtime error:", "wx check failed"})
      if (line.find(mark) != std::string::npos) {
        faults += line + "\n";
        break;
      }
  return faults;
}

}  // namespace gui_test
