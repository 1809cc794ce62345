#include "tests/system/support/sim_lan.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

SimName PaddedName(std::string_view text, UCHAR suffix) {
  SimName name;
  name.fill(' ');
  std::copy_n(text.begin(), std::min<std::size_t>(text.size(), 15), name.begin());
  name[15] = suffix;
  return name;
}

NAME_BUFFER NameEntry(const SimName& name, UCHAR number) {
  NAME_BUFFER entry{};
  std::copy(name.begin(), name.end(), entry.name);
  entry.name_num = number;
  entry.name_flags = REGISTERED;
  return entry;
}

SimName GroupName() {
  SimName name;
  std::copy(std::begin(MONITOR_GROUP_NAME), std::end(MONITOR_GROUP_NAME), name.begin());
  return name;
}

bool HasGroupName(const std::vector<NAME_BUFFER>& names) {
  return std::any_of(names.begin(), names.end(),
                     [](const NAME_BUFFER& entry) { return NameOf(entry.name) == GroupName(); });
}

SimNodeAddress NodeOf(SimAdapterId id) {
  return {0x02, 0x00, 0x00, 0x00, static_cast<UCHAR>(id.station), id.lana};
}

std::string NodeText(SimAdapterId id) {
  SimNodeAddress a = NodeOf(id);
  char text[13];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X%02X%02X", a[0], a[1], a[2], a[3], a[4], a[5]);
  return text;
}

void AddStationAdapter(SimNetbios& sim, SimAdapterId id, int segment, std::string_view name) {
  sim.AddAdapter(id, segment, NodeOf(id));
  sim.SetNames(id, {NameEntry(PaddedName(name))});
}

void SetFigures(SimNetbios& sim, SimAdapterId id, WORD minutes, DWORD frames, WORD errors) {
  ADAPTER_STATUS status = sim.Status(id);
  status.duration = minutes;
  status.xmit_success = frames;
  status.iframe_recv_err = errors;
  sim.SetStatus(id, status);
}

STATUS_DGRAM MakeDatagram(const SimName& name, WORD minutes, UCHAR rate,
                          const SimNodeAddress& node) {
  STATUS_DGRAM dgram{};
  std::copy(name.begin(), name.end(), dgram.station_name);
  SetMinutesRunning(dgram, minutes);
  dgram.error_rate = rate;
  std::copy(node.begin(), node.end(), dgram.node_address);
  return dgram;
}

std::vector<UCHAR> BytesOf(const STATUS_DGRAM& dgram) {
  const auto* bytes = reinterpret_cast<const UCHAR*>(&dgram);
  return std::vector<UCHAR>(bytes, bytes + sizeof dgram);
}
