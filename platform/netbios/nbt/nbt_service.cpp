#include "platform/netbios/nbt/nbt_service.h"

#include <arpa/inet.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/netbios/nbt/adapter_status.h"
#include "platform/netbios/nbt/completion_queue.h"
#include "platform/netbios/nbt/datagram_packet.h"
#include "platform/netbios/nbt/datagram_socket.h"
#include "platform/netbios/nbt/interfaces.h"
#include "platform/netbios/nbt/link_watch.h"
#include "platform/netbios/nbt/name_table.h"
#include "platform/netbios/nbt/redirector_name.h"

namespace {

struct Lana {
  std::string interface_name;
  std::optional<InterfaceInfo> link;  // set while the interface is usable
  NameTable names;
  std::deque<NCB*> receives;  // outstanding, oldest first
};

void MarkPending(NCB* ncb) {
  std::atomic_ref<UCHAR>(ncb->ncb_cmd_cplt).store(NRC_PENDING, std::memory_order_relaxed);
}

class NbtService;
thread_local const NbtService* t_serving = nullptr;  // set on a service's own thread

class NbtService final : public NetbiosService {
 public:
  NbtService();
  ~NbtService() override;
  UCHAR Submit(NCB* ncb) override;

 private:
  UCHAR RunAdapterStatus(NCB& ncb);
  UCHAR RunAddGroupName(NCB& ncb);
  UCHAR RunDeleteName(NCB& ncb);
  UCHAR RunSendDatagram(NCB& ncb);
  UCHAR RunCancel(NCB& ncb);
  UCHAR PostReceive(NCB* ncb);
  // Completes a command: at once for a synchronous one, on the service thread for ASYNCH.
  UCHAR Finish(NCB* ncb, UCHAR code);

  // These require mutex_.
  Lana* FindLana(UCHAR lana_num);
  Lana* LanaOnInterface(int ifindex);
  template <typename Predicate>
  void EndReceives(Lana& lana, Predicate which, UCHAR code);

  // Waits until every completion queued so far has been delivered, unless called on the
  // service thread itself (from a post routine), where that would never happen.
  void WaitForDelivery(std::uint64_t sequence);

  void Serve();
  void RefreshLinks();
  void DeliverArrivals(ReceiveBatch& batch);

  int socket_ = -1;
  int link_watch_ = -1;
  CompletionQueue completions_;
  std::mutex mutex_;
  std::vector<Lana> lanas_;
  std::uint16_t next_dgm_id_ = 1;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

NbtService::NbtService() {
  PortOpening port = OpenDatagramPort();
  if (port.fd < 0) {
    std::fprintf(stderr, "%s\n", port.problem.c_str());
  } else {
    socket_ = port.fd;
    link_watch_ = OpenLinkWatch();  // before reading, so that no change is missed
    const NetbiosName redirector = LocalRedirectorName();
    for (const InterfaceInfo& info : ReadIpv4Interfaces()) {
      if (lanas_.size() > MAX_LANA) break;
      if (IsUsableAdapter(info)) lanas_.push_back({info.name, info, MakeNameTable(redirector), {}});
    }
  }
  thread_ = std::thread([this] { Serve(); });
}

// Receives still outstanding end with the service, without a call of their post routine: at
// process exit their blocks may already be gone.
NbtService::~NbtService() {
  stopping_.store(true, std::memory_order_release);
  completions_.Wake();
  thread_.join();
  if (socket_ >= 0) close(socket_);
  if (link_watch_ >= 0) close(link_watch_);
}

UCHAR NbtService::Submit(NCB* ncb) {
  switch (ncb->ncb_command & ~ASYNCH) {
    case NCBASTAT:
      return Finish(ncb, RunAdapterStatus(*ncb));
    case NCBADDGRNAME:
      return Finish(ncb, RunAddGroupName(*ncb));
    case NCBDELNAME:
      return Finish(ncb, RunDeleteName(*ncb));
    case NCBDGSEND:
      return Finish(ncb, RunSendDatagram(*ncb));
    case NCBDGRECV:
      return PostReceive(ncb);
    case NCBCANCEL:
      return Finish(ncb, RunCancel(*ncb));
    default:
      return Finish(ncb, NRC_ILLCMD);
  }
}

UCHAR NbtService::Finish(NCB* ncb, UCHAR code) {
  if (!(ncb->ncb_command & ASYNCH)) {
    CompleteCommand(ncb, code);
    return code;
  }
  MarkPending(ncb);
  completions_.Push(ncb, code);
  return NRC_PENDING;
}

Lana* NbtService::FindLana(UCHAR lana_num) {
  return lana_num < lanas_.size() ? &lanas_[lana_num] : nullptr;
}

Lana* NbtService::LanaOnInterface(int ifindex) {
  for (Lana& lana : lanas_)
    if (lana.link && lana.link->index == ifindex) return &lana;
  return nullptr;
}

template <typename Predicate>
void NbtService::EndReceives(Lana& lana, Predicate which, UCHAR code) {
  std::erase_if(lana.receives, [&](NCB* receive) {
    if (!which(receive)) return false;
    completions_.Push(receive, code);
    return true;
  });
}

void NbtService::WaitForDelivery(std::uint64_t sequence) {
  if (t_serving != this) completions_.WaitUntilDelivered(sequence);
}

UCHAR NbtService::RunAdapterStatus(NCB& ncb) {
  std::string interface_name;
  std::vector<NAME_BUFFER> names;
  {
    std::lock_guard lock(mutex_);
    const Lana* lana = FindLana(ncb.ncb_lana_num);
    if (!lana) return NRC_BRIDGE;
    interface_name = lana->interface_name;
    names = ListNames(lana->names);
  }
  if (ncb.ncb_callname[0] != '*') return NRC_ILLCMD;  // remote status needs the name service
  if (!ncb.ncb_buffer && ncb.ncb_length) return NRC_BUFLEN;
  const std::vector<InterfaceInfo> interfaces = ReadIpv4Interfaces();
  const InterfaceInfo* info = FindInterface(interfaces, interface_name);
  if (!info || !IsUsableAdapter(*info)) return NRC_SYSTEM;
  return WriteAdapterStatus(*info, MinutesSinceBoot(), names, ncb.ncb_buffer, ncb.ncb_length,
                            ncb.ncb_length);
}

UCHAR NbtService::RunAddGroupName(NCB& ncb) {
  std::lock_guard lock(mutex_);
  Lana* lana = FindLana(ncb.ncb_lana_num);
  if (!lana) return NRC_BRIDGE;
  UCHAR number = 0;
  const UCHAR code = AddGroupName(lana->names, NameFromBytes(ncb.ncb_name), number);
  if (code == NRC_GOODRET) ncb.ncb_num = number;
  return code;
}

UCHAR NbtService::RunDeleteName(NCB& ncb) {
  std::uint64_t sequence;
  {
    std::lock_guard lock(mutex_);
    Lana* lana = FindLana(ncb.ncb_lana_num);
    if (!lana) return NRC_BRIDGE;
    UCHAR number = 0;
    const UCHAR code = DeleteName(lana->names, NameFromBytes(ncb.ncb_name), number);
    if (code != NRC_GOODRET) return code;
    EndReceives(
        *lana, [number](const NCB* receive) { return receive->ncb_num == number; }, NRC_NAMERR);
    sequence = completions_.LastQueued();
  }
  WaitForDelivery(sequence);
  return NRC_GOODRET;
}

UCHAR NbtService::RunSendDatagram(NCB& ncb) {
  DirectDatagram datagram{};
  int ifindex;
  in_addr broadcast;
  {
    std::lock_guard lock(mutex_);
    Lana* lana = FindLana(ncb.ncb_lana_num);
    if (!lana) return NRC_BRIDGE;
    if (ncb.ncb_length > kMaxUserData || (!ncb.ncb_buffer && ncb.ncb_length)) return NRC_BUFLEN;
    const NameEntry* source = FindNameNumber(lana->names, ncb.ncb_num);
    if (!source) return NRC_NOWILD;
    if (!lana->link) return NRC_SYSTEM;
    datagram.source_name = source->name;
    datagram.destination_name = NameFromBytes(ncb.ncb_callname);
    // A group name of our own table goes as a group datagram. Without a name service any
    // other name cannot be resolved to one station: it goes to the same broadcast address as
    // a unique datagram, and only its holder takes it.
    const NameEntry* destination = FindName(lana->names, datagram.destination_name);
    datagram.msg_type =
        destination && (destination->flags & GROUP_NAME) ? kDirectGroup : kDirectUnique;
    datagram.dgm_id = next_dgm_id_++;
    datagram.source_ip = ntohl(lana->link->address.s_addr);
    datagram.source_port = kDatagramPort;
    ifindex = lana->link->index;
    broadcast = lana->link->broadcast;
  }
  datagram.user_data = {ncb.ncb_buffer, ncb.ncb_length};
  std::array<std::uint8_t, kMaxDirectDatagram> packet;
  const std::size_t size = BuildDirectDatagram(datagram, packet);
  in_addr source{htonl(datagram.source_ip)};
  return SendOnInterface(socket_, ifindex, source, broadcast, {packet.data(), size}) ? NRC_GOODRET
                                                                                     : NRC_SYSTEM;
}

UCHAR NbtService::PostReceive(NCB* ncb) {
  if (!(ncb->ncb_command & ASYNCH)) return Finish(ncb, NRC_ILLCMD);  // would block for ever
  UCHAR code;
  {
    std::lock_guard lock(mutex_);
    Lana* lana = FindLana(ncb->ncb_lana_num);
    if (!lana) {
      code = NRC_BRIDGE;
    } else if (!FindNameNumber(lana->names, ncb->ncb_num)) {
      code = NRC_NOWILD;
    } else if (!ncb->ncb_buffer && ncb->ncb_length) {
      code = NRC_BUFLEN;
    } else if (!lana->link) {
      code = NRC_SYSTEM;
    } else {
      MarkPending(ncb);
      lana->receives.push_back(ncb);
      return NRC_PENDING;
    }
  }
  return Finish(ncb, code);
}

// Returns once the cancelled receive's post routine has run, so the caller may release its
// block right away.
UCHAR NbtService::RunCancel(NCB& ncb) {
  NCB* target = reinterpret_cast<NCB*>(ncb.ncb_buffer);
  if (!target) return NRC_CANCEL;
  bool found = false;
  std::uint64_t sequence;
  {
    std::lock_guard lock(mutex_);
    Lana* lana = FindLana(ncb.ncb_lana_num);
    if (!lana) return NRC_BRIDGE;
    EndReceives(
        *lana,
        [&](const NCB* receive) {
          if (receive != target) return false;
          found = true;
          return true;
        },
        NRC_CMDCAN);
    sequence = completions_.LastQueued();
  }
  WaitForDelivery(sequence);  // also lets a completion already under way finish
  if (found) return NRC_GOODRET;
  return (target->ncb_command & ~ASYNCH) == NCBDGRECV ? NRC_CANOCCR : NRC_CANCEL;
}

void NbtService::Serve() {
  t_serving = this;
  auto batch = std::make_unique<ReceiveBatch>();
  pollfd fds[] = {
      {completions_.WakeFd(), POLLIN, 0}, {socket_, POLLIN, 0}, {link_watch_, POLLIN, 0}};
  while (!stopping_.load(std::memory_order_acquire)) {
    if (poll(fds, std::size(fds), -1) < 0) continue;  // EINTR
    if (fds[0].revents) completions_.ClearWake();
    if (fds[2].revents) {
      DrainLinkWatch(link_watch_);
      RefreshLinks();
    }
    if (fds[1].revents) DeliverArrivals(*batch);
    completions_.RunPending();
  }
}

void NbtService::RefreshLinks() {
  const std::vector<InterfaceInfo> interfaces = ReadIpv4Interfaces();
  std::lock_guard lock(mutex_);
  for (Lana& lana : lanas_) {
    const InterfaceInfo* info = FindInterface(interfaces, lana.interface_name);
    if (info && IsUsableAdapter(*info)) {
      lana.link = *info;
    } else {
      lana.link.reset();
      EndReceives(
          lana, [](const NCB*) { return true; }, NRC_SYSTEM);
    }
  }
}

void NbtService::DeliverArrivals(ReceiveBatch& batch) {
  const std::size_t count = ReceivePackets(socket_, batch);
  std::optional<DirectDatagram> datagrams[ReceiveBatch::kPackets];
  bool any = false;
  for (std::size_t i = 0; i < count; ++i) {
    datagrams[i] = ParseDirectDatagram({batch.bytes[i], batch.sizes[i]});
    any |= datagrams[i].has_value();
  }
  if (!any) return;
  std::lock_guard lock(mutex_);
  for (std::size_t i = 0; i < count; ++i) {
    if (!datagrams[i]) continue;
    Lana* lana = LanaOnInterface(batch.ifindex[i]);
    if (!lana) continue;
    const NameEntry* name = FindName(lana->names, datagrams[i]->destination_name);
    if (!name) continue;
    const auto waiting =
        std::find_if(lana->receives.begin(), lana->receives.end(),
                     [&](const NCB* receive) { return receive->ncb_num == name->number; });
    if (waiting == lana->receives.end()) continue;  // nobody listens: discarded
    NCB* receive = *waiting;
    lana->receives.erase(waiting);
    const auto data = datagrams[i]->user_data;
    const std::size_t placed = std::min<std::size_t>(data.size(), receive->ncb_length);
    if (placed) std::copy_n(data.begin(), placed, receive->ncb_buffer);
    receive->ncb_length = static_cast<WORD>(placed);
    std::copy(datagrams[i]->source_name.begin(), datagrams[i]->source_name.end(),
              receive->ncb_callname);
    completions_.Push(receive, placed < data.size() ? NRC_INCOMP : NRC_GOODRET);
  }
}

}  // namespace

std::unique_ptr<NetbiosService> MakeNbtService() { return std::make_unique<NbtService>(); }
