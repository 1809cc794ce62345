// A NetBIOS service inside the process, for tests and the demo mode.
//
// Segments are simulated LANs, named by any integer the caller picks. Adapters sit on one segment
// each and belong to a station (an integer); an adapter is identified by its station and LANA
// number, which need only be unique within the station. A thread acts as the station it is bound
// to (BindThreadToStation; unbound threads are station 0) and Netbios() on that thread sees only
// that station's adapters: a command for any other LANA fails with NRC_BRIDGE.
//
// Commands:
// - NCBASTAT, call name '*' and 15 zero bytes: the adapter's status record, then as many whole
//   name entries as fit in ncb_length (NRC_INCOMP when not all fit; NRC_BUFLEN when not even the
//   status record fits); ncb_length becomes the bytes placed. Any other call name: NRC_NOWILD
//   (no remote adapter ever answers).
// - NCBADDGRNAME: adds ncb_name as a registered group name and returns its number (1..254,
//   handed out in rotation, unique within the adapter) in ncb_num. NRC_DUPNAME when the name is
//   in the table, NRC_NAMTFUL when the table is at capacity, NRC_NOWILD when the name starts
//   with '*' or a zero byte.
// - NCBDELNAME: removes ncb_name; NRC_NOWILD when it is not in the table. Receives outstanding
//   for the deleted name's number complete with NRC_NAMERR.
// - NCBDGSEND: sends ncb_length bytes (at most 512, else NRC_BUFLEN) from the name numbered
//   ncb_num (NRC_NAMERR when no entry has that number) to ncb_callname. Every adapter on the
//   sender's segment, the sender's own included, gets one copy; it completes one receive there:
//   the oldest outstanding for that name's number, else the oldest for any name (0xFF). Without
//   such a receive the copy is discarded. Receives are matched when the datagram is sent.
// - NCBDGRECV: asynchronous only (without ASYNCH: NRC_ILLCMD). ncb_num is a name number or 0xFF
//   for any name of the adapter. Completes on the service's thread with the data, ncb_length,
//   ncb_callname set, NRC_INCOMP when the datagram was longer than ncb_length. A receive that
//   cannot be accepted (NRC_BRIDGE, NRC_NAMERR for a number not in the table, NRC_BUFLEN for a
//   null buffer with a nonzero length) completes the same way with that code.
// - NCBCANCEL: ncb_buffer names a receive outstanding on the same station and LANA; it completes
//   with NRC_CMDCAN and the cancel returns NRC_GOODRET. NRC_CANOCCR when it is not outstanding.
// - Anything else: NRC_ILLCMD.
// Every command issued with ASYNCH returns NRC_PENDING and completes through its post routine on
// the service's thread, in the order the completions arose. The post routine runs with its thread
// bound to the command's station. Name state flags are not interpreted: every table entry counts
// as a registered name.
//
// Thread safety: every member may be called from any thread, except WaitIdle from a post routine.
// Functions taking a SimAdapterId throw std::out_of_range when there is no such adapter.
//
// Destruction stops the service's thread after the post routine it is running, if any.
// Receives still outstanding, and completions not yet run, are dropped: their blocks and buffers
// are never touched again and no post routine runs for them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <list>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "platform/netbios/netbios.h"
#include "platform/netbios/sim/sim_adapter.h"
#include "platform/netbios/sim/sim_completion_thread.h"

using SimNodeAddress = std::array<UCHAR, 6>;

struct SimAdapterId {
  int station;
  UCHAR lana;
  auto operator<=>(const SimAdapterId&) const = default;
};

struct SimSentDatagram {
  std::uint64_t sequence;  // 1, 2, ... in send order over the service's life
  SimAdapterId sender;
  SimName source;
  SimName destination;
  std::vector<UCHAR> data;
};

class SimNetbios final : public NetbiosService {
 public:
  // For FailCommand: the fault stays until ClearFaults.
  static constexpr int kUntilCleared = -1;
  static constexpr WORD kMaxSendLength = 512;

  SimNetbios() = default;
  ~SimNetbios() override;

  UCHAR Submit(NCB* ncb) override;

  // Binds the calling thread to a station; returns the station it was bound to.
  static int BindThreadToStation(int station);

  // Adds an adapter with an empty name table and a zero status apart from adapter_address and
  // max_dgram_size. Throws std::invalid_argument when the id is taken.
  void AddAdapter(SimAdapterId id, int segment, const SimNodeAddress& address);

  // Replaces the status record, adapter_address included; its name_count is ignored (see
  // SetReportedNameCount). Status() returns the record as NCBASTAT reports it.
  void SetStatus(SimAdapterId id, const ADAPTER_STATUS& status);
  ADAPTER_STATUS Status(SimAdapterId id) const;

  // The name table as it is reported, in order; entries may hold any bytes.
  void SetNames(SimAdapterId id, std::vector<NAME_BUFFER> names);
  std::vector<NAME_BUFFER> Names(SimAdapterId id) const;
  // The name_count NCBASTAT reports; nothing: the number of entries.
  void SetReportedNameCount(SimAdapterId id, std::optional<WORD> count);
  // Entries the table may hold before NCBADDGRNAME fails with NRC_NAMTFUL (default 254).
  void SetNameCapacity(SimAdapterId id, std::size_t capacity);

  // Makes the command (ASYNCH ignored) on this adapter fail with code for the next `times` calls,
  // or until cleared. The failing command changes nothing and completes with code (a receive:
  // through its post routine). Code NRC_PENDING, for NCBDGRECV and NCBCANCEL only, means never
  // complete: the receive stays pending whatever arrives and whatever cancels it; the cancel
  // returns NRC_GOODRET but the receive it names never completes. Throws std::invalid_argument
  // for NRC_PENDING on another command or for times 0.
  void FailCommand(SimAdapterId id, UCHAR command, UCHAR code, int times = kUntilCleared);
  void ClearFaults(SimAdapterId id);

  // Puts a datagram on a segment as if a station outside the simulation had sent it. It is
  // delivered like a sent one and not captured.
  void InjectDatagram(int segment, const SimName& source, const SimName& destination,
                      std::span<const UCHAR> data);

  // The datagrams sent with NCBDGSEND, oldest first.
  std::vector<SimSentDatagram> SentDatagrams() const;
  void ClearSentDatagrams();

  // Blocks until every completion queued so far, and any those queue in turn, has run its post
  // routine.
  void WaitIdle();

 private:
  struct PendingReceive {
    NCB* ncb;
    SimAdapterId where;
    UCHAR name_number;
    bool never_completes;
  };

  SimAdapter& AdapterOf(SimAdapterId id);
  const SimAdapter& AdapterOf(SimAdapterId id) const;

  UCHAR Execute(int station, NCB& ncb);
  UCHAR AdapterStatus(const SimAdapter& adapter, NCB& ncb) const;
  UCHAR AddName(SimAdapter& adapter, NCB& ncb);
  UCHAR RemoveName(SimAdapterId id, SimAdapter& adapter, const NCB& ncb);
  UCHAR Send(SimAdapterId id, const SimAdapter& adapter, const NCB& ncb);
  UCHAR Cancel(SimAdapterId id, const NCB& ncb, bool target_never_completes);
  void AcceptReceive(int station, NCB* ncb);

  void Deliver(int segment, const SimName& source, const SimName& destination,
               std::span<const UCHAR> data);
  std::list<PendingReceive>::iterator ReceiverFor(SimAdapterId id, const SimAdapter& adapter,
                                                  const SimName& destination);
  void QueueCompletion(NCB* ncb, int station, UCHAR code);

  mutable std::mutex mutex_;
  std::map<SimAdapterId, SimAdapter> adapters_;
  std::list<PendingReceive> receives_;  // in the order they were issued
  std::vector<SimSentDatagram> sent_;
  std::uint64_t send_sequence_ = 0;
  SimCompletionThread completions_;  // last: stopped before the state above goes
};
