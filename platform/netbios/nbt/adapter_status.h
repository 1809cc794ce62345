// The local adapter status (NCBASTAT with call name '*'): an ADAPTER_STATUS record made from
// the interface's data, followed by the LANA's name table.
#pragma once

#include <cstdint>
#include <span>

#include "platform/netbios/nb30.h"
#include "platform/netbios/nbt/interfaces.h"

// Whole minutes since boot (the interface counters run from then), saturating at 65535.
WORD MinutesSinceBoot();

// Writes the record and as many whole NAME_BUFFER entries as fit into buffer (capacity bytes),
// with name_count the number of entries written. Sets length to the bytes written; returns
// NRC_GOODRET, or NRC_INCOMP when not everything fitted.
UCHAR WriteAdapterStatus(const InterfaceInfo& info, WORD duration,
                         std::span<const NAME_BUFFER> names, UCHAR* buffer, WORD capacity,
                         WORD& length);
