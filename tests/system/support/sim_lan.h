// Building simulated stations: names, adapters carrying the redirector, their statistics and
// status datagrams as another station would send them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "exchange/status_dgram.h"
#include "platform/netbios/sim/sim_netbios.h"

// The text cut or padded with spaces to 15 bytes, then the suffix byte (2: the redirector).
SimName PaddedName(std::string_view text, UCHAR suffix = 0x02);
NAME_BUFFER NameEntry(const SimName& name, UCHAR number = 1);
SimName GroupName();
// Whether the monitor's group name is in the name table.
bool HasGroupName(const std::vector<NAME_BUFFER>& names);

// Node address 02 00 00 00 <station> <lana>, and its text as the list shows it.
SimNodeAddress NodeOf(SimAdapterId id);
std::string NodeText(SimAdapterId id);

// Adds an adapter whose name table holds the station's redirector name.
void AddStationAdapter(SimNetbios& sim, SimAdapterId id, int segment, std::string_view name);
// Sets the adapter's duration, its frames (all counted as sent) and errors (as receive errors).
void SetFigures(SimNetbios& sim, SimAdapterId id, WORD minutes, DWORD frames, WORD errors);

STATUS_DGRAM MakeDatagram(const SimName& name, WORD minutes, UCHAR rate,
                          const SimNodeAddress& node);
std::vector<UCHAR> BytesOf(const STATUS_DGRAM& dgram);
