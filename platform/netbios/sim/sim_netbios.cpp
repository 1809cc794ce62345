#include "platform/netbios/sim/sim_netbios.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace {

thread_local int t_station = 0;

bool NamesLocalAdapter(const UCHAR (&callname)[NCBNAMSZ]) {
  return callname[0] == '*' &&
         std::all_of(callname + 1, callname + NCBNAMSZ, [](UCHAR byte) { return byte == 0; });
}

// Commands carried out when submitted; issued with ASYNCH, only their completion comes later.
bool CarriedOutAtOnce(UCHAR command) {
  return command == NCBASTAT || command == NCBADDGRNAME || command == NCBDELNAME ||
         command == NCBDGSEND || command == NCBCANCEL;
}

void MarkPending(NCB* ncb) {
  ncb->ncb_retcode = NRC_PENDING;
  std::atomic_ref<UCHAR>(ncb->ncb_cmd_cplt).store(NRC_PENDING, std::memory_order_relaxed);
}

// Places a datagram in a receive's buffer; returns the receive's final code.
UCHAR FillReceive(NCB* ncb, const SimName& source, const std::vector<UCHAR>& data) {
  const WORD room = ncb->ncb_length;
  const auto placed = static_cast<WORD>(std::min<std::size_t>(room, data.size()));
  if (placed > 0) std::memcpy(ncb->ncb_buffer, data.data(), placed);
  ncb->ncb_length = placed;
  std::copy(source.begin(), source.end(), ncb->ncb_callname);
  return data.size() > room ? NRC_INCOMP : NRC_GOODRET;
}

void CompleteOnStation(NCB* ncb, int station, UCHAR code) {
  const int previous = SimNetbios::BindThreadToStation(station);
  CompleteCommand(ncb, code);
  SimNetbios::BindThreadToStation(previous);
}

}  // namespace

SimNetbios::~SimNetbios() = default;

int SimNetbios::BindThreadToStation(int station) { return std::exchange(t_station, station); }

UCHAR SimNetbios::Submit(NCB* ncb) {
  const int station = t_station;
  if (!(ncb->ncb_command & ASYNCH)) {
    UCHAR code;
    {
      std::lock_guard lock(mutex_);
      code = Execute(station, *ncb);
    }
    CompleteCommand(ncb, code);
    return code;
  }
  // Once queued or registered, the block may complete and be released at any moment.
  MarkPending(ncb);
  std::lock_guard lock(mutex_);
  if ((ncb->ncb_command & ~ASYNCH) == NCBDGRECV) {
    AcceptReceive(station, ncb);
  } else {
    QueueCompletion(ncb, station, Execute(station, *ncb));
  }
  return NRC_PENDING;
}

UCHAR SimNetbios::Execute(int station, NCB& ncb) {
  const UCHAR command = ncb.ncb_command & ~ASYNCH;
  if (!CarriedOutAtOnce(command)) return NRC_ILLCMD;
  const SimAdapterId id{station, ncb.ncb_lana_num};
  auto found = adapters_.find(id);
  if (found == adapters_.end()) return NRC_BRIDGE;
  SimAdapter& adapter = found->second;
  const std::optional<UCHAR> fault = TakeFault(adapter, command);
  if (fault && *fault != NRC_PENDING) return *fault;
  switch (command) {
    case NCBASTAT:
      return AdapterStatus(adapter, ncb);
    case NCBADDGRNAME:
      return AddName(adapter, ncb);
    case NCBDELNAME:
      return RemoveName(id, adapter, ncb);
    case NCBDGSEND:
      return Send(id, adapter, ncb);
    default:
      return Cancel(id, ncb, fault.has_value());
  }
}

UCHAR SimNetbios::AdapterStatus(const SimAdapter& adapter, NCB& ncb) const {
  if (!NamesLocalAdapter(ncb.ncb_callname)) return NRC_NOWILD;
  WORD placed = 0;
  const UCHAR code = CopyAdapterStatus(adapter, ncb.ncb_buffer, ncb.ncb_length, &placed);
  ncb.ncb_length = placed;
  return code;
}

UCHAR SimNetbios::AddName(SimAdapter& adapter, NCB& ncb) {
  UCHAR number = 0;
  const UCHAR code = AddGroupName(adapter, NameOf(ncb.ncb_name), &number);
  if (code == NRC_GOODRET) ncb.ncb_num = number;
  return code;
}

UCHAR SimNetbios::RemoveName(SimAdapterId id, SimAdapter& adapter, const NCB& ncb) {
  const std::optional<UCHAR> number = DeleteName(adapter, NameOf(ncb.ncb_name));
  if (!number) return NRC_NOWILD;
  if (FindNameByNumber(adapter, *number)) return NRC_GOODRET;  // the number still names an entry
  std::erase_if(receives_, [&](const PendingReceive& receive) {
    if (receive.where != id || receive.name_number != *number || receive.never_completes) {
      return false;
    }
    QueueCompletion(receive.ncb, id.station, NRC_NAMERR);
    return true;
  });
  return NRC_GOODRET;
}

UCHAR SimNetbios::Send(SimAdapterId id, const SimAdapter& adapter, const NCB& ncb) {
  const NAME_BUFFER* source = FindNameByNumber(adapter, ncb.ncb_num);
  if (source == nullptr) return NRC_NAMERR;
  if (ncb.ncb_length > kMaxSendLength || (ncb.ncb_buffer == nullptr && ncb.ncb_length > 0)) {
    return NRC_BUFLEN;
  }
  const std::span<const UCHAR> data(ncb.ncb_buffer, ncb.ncb_length);
  SimSentDatagram sent{++send_sequence_, id, NameOf(source->name), NameOf(ncb.ncb_callname),
                       std::vector<UCHAR>(data.begin(), data.end())};
  Deliver(adapter.segment, sent.source, sent.destination, data);
  sent_.push_back(std::move(sent));
  return NRC_GOODRET;
}

UCHAR SimNetbios::Cancel(SimAdapterId id, const NCB& ncb, bool target_never_completes) {
  const auto* target = reinterpret_cast<const NCB*>(ncb.ncb_buffer);
  auto receive = std::find_if(receives_.begin(), receives_.end(), [&](const PendingReceive& r) {
    return r.ncb == target && r.where == id;
  });
  if (receive == receives_.end()) return NRC_CANOCCR;
  if (!receive->never_completes && !target_never_completes) {
    QueueCompletion(receive->ncb, id.station, NRC_CMDCAN);
  }
  receives_.erase(receive);
  return NRC_GOODRET;
}

void SimNetbios::AcceptReceive(int station, NCB* ncb) {
  const SimAdapterId id{station, ncb->ncb_lana_num};
  auto found = adapters_.find(id);
  if (found == adapters_.end()) return QueueCompletion(ncb, station, NRC_BRIDGE);
  SimAdapter& adapter = found->second;
  const std::optional<UCHAR> fault = TakeFault(adapter, NCBDGRECV);
  if (fault && *fault != NRC_PENDING) return QueueCompletion(ncb, station, *fault);
  if (ncb->ncb_num != kAnyNameNumber && !FindNameByNumber(adapter, ncb->ncb_num)) {
    return QueueCompletion(ncb, station, NRC_NAMERR);
  }
  if (ncb->ncb_buffer == nullptr && ncb->ncb_length > 0) {
    return QueueCompletion(ncb, station, NRC_BUFLEN);
  }
  receives_.push_back({ncb, id, ncb->ncb_num, fault.has_value()});
}

void SimNetbios::Deliver(int segment, const SimName& source, const SimName& destination,
                         std::span<const UCHAR> data) {
  std::shared_ptr<const std::vector<UCHAR>> copy;
  for (const auto& [id, adapter] : adapters_) {
    if (adapter.segment != segment) continue;
    auto receive = ReceiverFor(id, adapter, destination);
    if (receive == receives_.end()) continue;
    if (!copy) copy = std::make_shared<const std::vector<UCHAR>>(data.begin(), data.end());
    completions_.Queue([ncb = receive->ncb, station = id.station, source, copy] {
      CompleteOnStation(ncb, station, FillReceive(ncb, source, *copy));
    });
    receives_.erase(receive);
  }
}

std::list<SimNetbios::PendingReceive>::iterator SimNetbios::ReceiverFor(
    SimAdapterId id, const SimAdapter& adapter, const SimName& destination) {
  auto waiting_here = [id](const PendingReceive& receive) {
    return receive.where == id && !receive.never_completes;
  };
  auto for_name = std::find_if(receives_.begin(), receives_.end(), [&](const PendingReceive& r) {
    return waiting_here(r) && r.name_number != kAnyNameNumber &&
           HasNameWithNumber(adapter, r.name_number, destination);
  });
  if (for_name != receives_.end() || !HasName(adapter, destination)) return for_name;
  return std::find_if(receives_.begin(), receives_.end(), [&](const PendingReceive& r) {
    return waiting_here(r) && r.name_number == kAnyNameNumber;
  });
}

void SimNetbios::QueueCompletion(NCB* ncb, int station, UCHAR code) {
  completions_.Queue([ncb, station, code] { CompleteOnStation(ncb, station, code); });
}

SimAdapter& SimNetbios::AdapterOf(SimAdapterId id) { return adapters_.at(id); }

const SimAdapter& SimNetbios::AdapterOf(SimAdapterId id) const { return adapters_.at(id); }

void SimNetbios::AddAdapter(SimAdapterId id, int segment, const SimNodeAddress& address) {
  SimAdapter adapter;
  adapter.segment = segment;
  std::copy(address.begin(), address.end(), adapter.status.adapter_address);
  adapter.status.max_dgram_size = kMaxSendLength;
  std::lock_guard lock(mutex_);
  if (!adapters_.emplace(id, std::move(adapter)).second) {
    throw std::invalid_argument("SimNetbios: adapter already exists");
  }
}

void SimNetbios::SetStatus(SimAdapterId id, const ADAPTER_STATUS& status) {
  std::lock_guard lock(mutex_);
  AdapterOf(id).status = status;
}

ADAPTER_STATUS SimNetbios::Status(SimAdapterId id) const {
  std::lock_guard lock(mutex_);
  return ReportedStatus(AdapterOf(id));
}

void SimNetbios::SetNames(SimAdapterId id, std::vector<NAME_BUFFER> names) {
  std::lock_guard lock(mutex_);
  AdapterOf(id).names = std::move(names);
}

std::vector<NAME_BUFFER> SimNetbios::Names(SimAdapterId id) const {
  std::lock_guard lock(mutex_);
  return AdapterOf(id).names;
}

void SimNetbios::SetReportedNameCount(SimAdapterId id, std::optional<WORD> count) {
  std::lock_guard lock(mutex_);
  AdapterOf(id).reported_name_count = count;
}

void SimNetbios::SetNameCapacity(SimAdapterId id, std::size_t capacity) {
  std::lock_guard lock(mutex_);
  AdapterOf(id).name_capacity = capacity;
}

void SimNetbios::FailCommand(SimAdapterId id, UCHAR command, UCHAR code, int times) {
  command &= ~ASYNCH;
  if (times == 0) throw std::invalid_argument("SimNetbios: a fault needs at least one hit");
  if (code == NRC_PENDING && command != NCBDGRECV && command != NCBCANCEL) {
    throw std::invalid_argument("SimNetbios: only receives and cancels can never complete");
  }
  std::lock_guard lock(mutex_);
  AdapterOf(id).faults[command] = SimFault{code, times};
}

void SimNetbios::ClearFaults(SimAdapterId id) {
  std::lock_guard lock(mutex_);
  AdapterOf(id).faults.clear();
}

void SimNetbios::InjectDatagram(int segment, const SimName& source, const SimName& destination,
                                std::span<const UCHAR> data) {
  std::lock_guard lock(mutex_);
  Deliver(segment, source, destination, data);
}

std::vector<SimSentDatagram> SimNetbios::SentDatagrams() const {
  std::lock_guard lock(mutex_);
  return sent_;
}

void SimNetbios::ClearSentDatagrams() {
  std::lock_guard lock(mutex_);
  sent_.clear();
}

void SimNetbios::WaitIdle() { completions_.WaitIdle(); }
