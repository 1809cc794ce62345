// A child process for tests, with its standard input, output and error on pipes.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

class Subprocess {
 public:
  enum class Stream { kOut, kErr };

  explicit Subprocess(const std::vector<std::string>& argv);
  // Closes standard input, then ends the child (SIGTERM, then SIGKILL) if it has not exited.
  ~Subprocess();
  Subprocess(const Subprocess&) = delete;
  Subprocess& operator=(const Subprocess&) = delete;

  bool Started() const { return pid_ > 0; }
  pid_t Pid() const { return pid_; }
  // Sends a signal to the child unless it has already been reaped.
  void Signal(int signal);
  bool WriteLine(const std::string& line);
  // The next line of the stream without its newline, or nothing after timeout_ms or at its end.
  std::optional<std::string> ReadLine(Stream stream, int timeout_ms);
  // Closes standard input and waits up to timeout_ms for the exit; the exit status, -1 if still
  // running, 128 + signal when killed by one.
  int CloseAndWait(int timeout_ms);
  // Everything the stream still holds until its end (the child must have exited).
  std::string Rest(Stream stream);

 private:
  struct Pipe {
    int fd = -1;
    std::string pending;
  };
  Pipe& PipeOf(Stream stream) { return stream == Stream::kOut ? out_ : err_; }
  void Reap(int timeout_ms);

  pid_t pid_ = -1;
  int in_ = -1;
  Pipe out_, err_;
  std::optional<int> status_;
};
