// One simulated adapter: its segment, status record, name table and injected faults, with the
// table operations the simulated service performs on it. Callers hold the service's lock.
#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <vector>

#include "platform/netbios/nb30.h"

using SimName = std::array<UCHAR, NCBNAMSZ>;

// The number a receive uses to take datagrams for any name of its adapter.
constexpr UCHAR kAnyNameNumber = 0xFF;

constexpr std::size_t kDefaultNameCapacity = 254;

struct SimFault {
  UCHAR code;
  int remaining;  // calls left to hit; negative: until cleared
};

struct SimAdapter {
  int segment = 0;
  ADAPTER_STATUS status{};  // name_count is not used: see reported_name_count
  std::vector<NAME_BUFFER> names;
  std::optional<WORD> reported_name_count;  // empty: the size of names
  std::size_t name_capacity = kDefaultNameCapacity;
  UCHAR next_name_number = 1;
  std::map<UCHAR, SimFault> faults;  // by command, without ASYNCH
};

SimName NameOf(const UCHAR (&bytes)[NCBNAMSZ]);

// The entry with this number, or null.
const NAME_BUFFER* FindNameByNumber(const SimAdapter& adapter, UCHAR number);

bool HasName(const SimAdapter& adapter, const SimName& name);

// True when an entry holds this name under this number.
bool HasNameWithNumber(const SimAdapter& adapter, UCHAR number, const SimName& name);

// The status record as NCBASTAT reports it, name_count included.
ADAPTER_STATUS ReportedStatus(const SimAdapter& adapter);

// Adds a registered group name. Returns NRC_GOODRET and stores its number in *number, or
// NRC_NOWILD ('*' or 0 as first byte), NRC_DUPNAME (already in the table), NRC_NAMTFUL (table at
// capacity, or no number in 1..254 left).
UCHAR AddGroupName(SimAdapter& adapter, const SimName& name, UCHAR* number);

// Removes the first entry with this name and returns its number, or nothing when absent.
std::optional<UCHAR> DeleteName(SimAdapter& adapter, const SimName& name);

// Writes the status record and as many whole name entries as fit into buffer. Returns the final
// code (NRC_GOODRET, NRC_INCOMP when not every entry fit, NRC_BUFLEN when not even the status
// fits) and sets *placed to the bytes written.
UCHAR CopyAdapterStatus(const SimAdapter& adapter, UCHAR* buffer, WORD length, WORD* placed);

// Consumes one hit of the fault set for this command, if any, and returns its code.
std::optional<UCHAR> TakeFault(SimAdapter& adapter, UCHAR command);
