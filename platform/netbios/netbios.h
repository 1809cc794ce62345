// Netbios(): hands a control block to the one NetBIOS service of the process.
//
// Every service honours this contract:
// - A synchronous command completes before Netbios() returns; its final code is in
//   ncb_cmd_cplt (and ncb_retcode) and is also the return value.
// - An ASYNCH receive returns at once with NRC_PENDING in ncb_cmd_cplt. Later, on a thread of
//   the service, never the caller's, the service fills the buffer, sets ncb_length to the bytes
//   placed (NRC_INCOMP when the datagram was longer), ncb_callname to the sender's name, stores
//   the final code last and then calls ncb_post. A receive the service cannot accept (no such
//   LANA, bad name number) completes the same way with its error code, so every receive ends
//   in exactly one call of its post routine.
// - While a command is outstanding, ncb_cmd_cplt is only accessed atomically (ReadCompletion),
//   so the submitting thread may look at it without racing the service thread.
// - A datagram that arrives while no receive is outstanding for its name is discarded.
// - NCBCANCEL names the outstanding block in ncb_buffer; the cancelled receive completes with
//   NRC_CMDCAN through its post routine, on the service's thread.
#pragma once

#include <memory>

#include "platform/netbios/nb30.h"

class NetbiosService {
 public:
  virtual ~NetbiosService() = default;
  // Carries out one command; returns the code Netbios() returns.
  virtual UCHAR Submit(NCB* ncb) = 0;
};

UCHAR Netbios(NCB* ncb);

// Replaces the service of the process and returns the previous one. Without an installed
// service, Netbios() behaves as a service with no adapter: every command fails with NRC_BRIDGE.
std::unique_ptr<NetbiosService> InstallNetbiosService(std::unique_ptr<NetbiosService> service);

// Reads a control block's completion code without racing the thread that completes it.
UCHAR ReadCompletion(const NCB& ncb);

// For services: completes a command. Stores the final code with release ordering (after
// every other field the service filled) and, for an asynchronous command, calls ncb_post.
void CompleteCommand(NCB* ncb, UCHAR code);
