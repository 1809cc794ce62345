#include "tests/common/subprocess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <utility>

extern char** environ;

Subprocess::Subprocess(const std::vector<std::string>& argv) {
  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) || pipe2(out, O_CLOEXEC) || pipe2(err, O_CLOEXEC)) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  if (posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  in_ = in[1];
  out_.fd = out[0];
  err_.fd = err[0];
  signal(SIGPIPE, SIG_IGN);
}

Subprocess::~Subprocess() {
  if (CloseAndWait(3000) == -1 && pid_ > 0) {
    kill(pid_, SIGTERM);
    Reap(2000);
    if (!status_) {
      kill(pid_, SIGKILL);
      Reap(-1);
    }
  }
  if (out_.fd >= 0) close(out_.fd);
  if (err_.fd >= 0) close(err_.fd);
}

void Subprocess::Signal(int signal) {
  if (pid_ > 0 && !status_) kill(pid_, signal);
}

bool Subprocess::WriteLine(const std::string& line) {
  const std::string text = line + "\n";
  return in_ >= 0 && write(in_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

std::optional<std::string> Subprocess::ReadLine(Stream stream, int timeout_ms) {
  Pipe& pipe = PipeOf(stream);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (true) {
    const auto newline = pipe.pending.find('\n');
    if (newline != std::string::npos) {
      std::string line = pipe.pending.substr(0, newline);
      pipe.pending.erase(0, newline + 1);
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (pipe.fd < 0 || left.count() <= 0) return std::nullopt;
    pollfd fd{pipe.fd, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
    char buffer[4096];
    const ssize_t n = read(pipe.fd, buffer, sizeof buffer);
    if (n <= 0) return std::nullopt;
    pipe.pending.append(buffer, static_cast<std::size_t>(n));
  }
}

int Subprocess::CloseAndWait(int timeout_ms) {
  if (in_ >= 0) {
    close(in_);
    in_ = -1;
  }
  Reap(timeout_ms);
  return status_.value_or(-1);
}

std::string Subprocess::Rest(Stream stream) {
  Pipe& pipe = PipeOf(stream);
  char buffer[4096];
  ssize_t n;
  while (pipe.fd >= 0 && (n = read(pipe.fd, buffer, sizeof buffer)) > 0)
    pipe.pending.append(buffer, static_cast<std::size_t>(n));
  return std::exchange(pipe.pending, {});
}

void Subprocess::Reap(int timeout_ms) {
  if (pid_ <= 0 || status_) return;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (true) {
    int raw;
    const pid_t done = waitpid(pid_, &raw, timeout_ms < 0 ? 0 : WNOHANG);
    if (done == pid_) {
      status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
      return;
    }
    if (done < 0 || std::chrono::steady_clock::now() >= deadline) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}
