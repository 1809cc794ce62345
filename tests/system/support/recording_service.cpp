#include "tests/system/support/recording_service.h"

#include "platform/netbios/sim/sim_netbios.h"
#include "platform/ui/clock.h"

namespace {

int CallerStation() {
  int station = SimNetbios::BindThreadToStation(0);
  SimNetbios::BindThreadToStation(station);
  return station;
}

}  // namespace

RecordingService::RecordingService(std::unique_ptr<NetbiosService> inner)
    : inner_(std::move(inner)) {}

UCHAR RecordingService::Submit(NCB* ncb) {
  IssuedCommand entry{ui::NowMs(), CallerStation(), ncb, *ncb, std::nullopt, 0, {}};
  if (ncb->ncb_command == NCBDGSEND && ncb->ncb_buffer)
    entry.data.assign(ncb->ncb_buffer, ncb->ncb_buffer + ncb->ncb_length);
  std::size_t index;
  {
    std::lock_guard lock(mutex_);
    index = commands_.size();
    commands_.push_back(entry);
  }
  if (hook_) hook_(entry);
  UCHAR result = inner_->Submit(ncb);
  // An asynchronous block belongs to the service now: only synchronous ones are read back.
  if (!(entry.issued.ncb_command & ASYNCH)) {
    std::lock_guard lock(mutex_);
    commands_[index].code = ncb->ncb_cmd_cplt;
    commands_[index].num_after = ncb->ncb_num;
  }
  return result;
}

std::vector<IssuedCommand> RecordingService::Commands() const {
  std::lock_guard lock(mutex_);
  return commands_;
}

std::vector<IssuedCommand> RecordingService::Commands(UCHAR command) const {
  std::vector<IssuedCommand> matching;
  std::lock_guard lock(mutex_);
  for (const IssuedCommand& c : commands_)
    if (c.Command() == command) matching.push_back(c);
  return matching;
}

std::size_t RecordingService::Count(UCHAR command) const { return Commands(command).size(); }

std::vector<int> LanasOf(const std::vector<IssuedCommand>& commands) {
  std::vector<int> lanas;
  for (const IssuedCommand& c : commands) lanas.push_back(c.Lana());
  return lanas;
}

std::vector<std::uint64_t> TimesOf(const std::vector<IssuedCommand>& commands) {
  std::vector<std::uint64_t> times;
  for (const IssuedCommand& c : commands) times.push_back(c.at_ms);
  return times;
}
