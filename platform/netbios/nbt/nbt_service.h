// NetBIOS over TCP/IP (RFC 1001/1002 datagram service, B node) on this machine's IPv4
// interfaces: the real NetBIOS service of the process.
//
// LANAs are the interfaces that are up, broadcast-capable and not loopback when the service
// starts, in interface-index order. A LANA stays bound to its interface by name: while the
// interface is down or gone, its sends and status queries fail with NRC_SYSTEM and its
// receives complete with NRC_SYSTEM; when it is back, it works again.
//
// When the datagram port cannot be opened, the service writes one line on standard error with
// the cause and the fix, and offers no adapter (every command ends with NRC_BRIDGE).
#pragma once

#include <memory>

#include "platform/netbios/netbios.h"

// Install with InstallNetbiosService(MakeNbtService()).
std::unique_ptr<NetbiosService> MakeNbtService();
