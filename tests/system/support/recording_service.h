// A NetBIOS service decorator that records every command handed to the service it wraps, with
// the virtual time and the simulated station of the caller, and can run a hook before passing a
// command on (to post messages to a dialog from inside a command, say).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/netbios/netbios.h"

struct IssuedCommand {
  std::uint64_t at_ms;
  int station;
  NCB* ncb;
  NCB issued;                 // the block as handed over
  std::optional<UCHAR> code;  // synchronous commands: the final code
  UCHAR num_after = 0;        // synchronous commands: ncb_num after completion
  std::vector<UCHAR> data;    // NCBDGSEND: the bytes sent

  UCHAR Command() const { return issued.ncb_command; }
  UCHAR Lana() const { return issued.ncb_lana_num; }
};

// The LANA, and the virtual time, of each command in turn.
std::vector<int> LanasOf(const std::vector<IssuedCommand>& commands);
std::vector<std::uint64_t> TimesOf(const std::vector<IssuedCommand>& commands);

class RecordingService final : public NetbiosService {
 public:
  explicit RecordingService(std::unique_ptr<NetbiosService> inner);

  UCHAR Submit(NCB* ncb) override;

  // Runs on the submitting thread once the command is recorded, before it is passed on. Set it
  // before any thread issues commands.
  void SetHook(std::function<void(const IssuedCommand&)> hook) { hook_ = std::move(hook); }

  std::vector<IssuedCommand> Commands() const;
  // Only the commands with this code (ASYNCH included in the comparison).
  std::vector<IssuedCommand> Commands(UCHAR command) const;
  std::size_t Count(UCHAR command) const;

 private:
  std::unique_ptr<NetbiosService> inner_;
  std::function<void(const IssuedCommand&)> hook_;
  mutable std::mutex mutex_;
  std::vector<IssuedCommand> commands_;
};
