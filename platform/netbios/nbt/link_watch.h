// Notice of changes to the machine's links and IPv4 addresses (rtnetlink multicast groups),
// so the service re-reads its interfaces only when something changed.
#pragma once

// A non-blocking socket that becomes readable on every link or address change; -1 on failure.
int OpenLinkWatch();

// Reads and discards the notices waiting on fd.
void DrainLinkWatch(int fd);
