// The six NetBIOS commands the monitor issues, the post routine of its receives and the
// receive-completion table through which a completion reaches the main thread.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/netbios/netbios.h"

// One entry per LANA: nonzero when no receive is outstanding on that LANA's record. The post
// routine stores 1 with release ordering; the main thread loads with acquire ordering, so the
// received datagram is visible once the entry reads 1.
extern std::atomic<std::uint32_t> g_LanaRecvDone[256];

// Status of the local adapter (call name "*") into buffer, which holds STATUS_BUFFER_SIZE bytes.
bool NbAdapterStatus(UCHAR* buffer, UCHAR lana, const UCHAR* callname);
// The group name's number on the LANA, or 0 on failure.
UCHAR NbAddGroupName(UCHAR lana, const UCHAR* name);
bool NbDeleteName(UCHAR lana, const UCHAR* name);
bool NbSendDatagram(NCB* ncb);
// Hands ncb to the service as an asynchronous receive; it belongs to the service until
// NetbiosPost has run for it. True only when it completed at once.
bool NbPostReceive(NCB* ncb);
// The cancel command's own completion code (0: cancelled).
UCHAR NbCancel(NCB* outstanding, UCHAR lana);

void NetbiosPost(NCB* ncb);
