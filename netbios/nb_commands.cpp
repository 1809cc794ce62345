#include "netbios/nb_commands.h"

#include <cstring>
#include <memory>
#include <new>

std::atomic<std::uint32_t> g_LanaRecvDone[256];

bool NbAdapterStatus(UCHAR* buffer, UCHAR lana, const UCHAR* callname) {
  NCB ncb;
  std::memset(&ncb, 0, sizeof ncb);
  ncb.ncb_command = NCBASTAT;
  ncb.ncb_buffer = buffer;
  ncb.ncb_length = STATUS_BUFFER_SIZE;
  std::memcpy(ncb.ncb_callname, callname, NCBNAMSZ);
  ncb.ncb_lana_num = lana;
  Netbios(&ncb);
  return ncb.ncb_cmd_cplt == NRC_GOODRET;
}

namespace {

// Adds or deletes a name on a LANA; the completed block.
NCB IssueNameCommand(UCHAR command, UCHAR lana, const UCHAR* name) {
  NCB ncb;
  std::memset(&ncb, 0, sizeof ncb);
  ncb.ncb_command = command;
  std::memcpy(ncb.ncb_name, name, NCBNAMSZ);
  ncb.ncb_lana_num = lana;
  Netbios(&ncb);
  return ncb;
}

}  // namespace

UCHAR NbAddGroupName(UCHAR lana, const UCHAR* name) {
  NCB ncb = IssueNameCommand(NCBADDGRNAME, lana, name);
  return ncb.ncb_cmd_cplt == NRC_GOODRET ? ncb.ncb_num : 0;
}

bool NbDeleteName(UCHAR lana, const UCHAR* name) {
  return IssueNameCommand(NCBDELNAME, lana, name).ncb_cmd_cplt == NRC_GOODRET;
}

bool NbSendDatagram(NCB* ncb) {
  ncb->ncb_command = NCBDGSEND;
  Netbios(ncb);
  return ncb->ncb_cmd_cplt == NRC_GOODRET;
}

bool NbPostReceive(NCB* ncb) {
  ncb->ncb_command = NCBDGRECV | ASYNCH;
  ncb->ncb_post = NetbiosPost;
  Netbios(ncb);
  // The service thread may be completing the block right now: read the code atomically.
  return ReadCompletion(*ncb) == NRC_GOODRET;
}

UCHAR NbCancel(NCB* outstanding, UCHAR lana) {
  auto ncb = std::unique_ptr<NCB>(new (std::nothrow) NCB);
  if (!ncb) return NRC_SYSTEM;
  std::memset(ncb.get(), 0, sizeof *ncb);
  ncb->ncb_command = NCBCANCEL;
  ncb->ncb_buffer = reinterpret_cast<UCHAR*>(outstanding);
  ncb->ncb_lana_num = lana;
  Netbios(ncb.get());
  return ncb->ncb_cmd_cplt;
}

void NetbiosPost(NCB* ncb) {
  if (ncb->ncb_command == (NCBDGRECV | ASYNCH) && ReadCompletion(*ncb) != NRC_PENDING)
    g_LanaRecvDone[ncb->ncb_lana_num].store(1, std::memory_order_release);
}
