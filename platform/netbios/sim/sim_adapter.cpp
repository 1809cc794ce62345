#include "platform/netbios/sim/sim_adapter.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr UCHAR kHighestNameNumber = 254;

bool SameName(const NAME_BUFFER& entry, const SimName& name) {
  return std::equal(name.begin(), name.end(), entry.name);
}

bool NumberInUse(const SimAdapter& adapter, UCHAR number) {
  return FindNameByNumber(adapter, number) != nullptr;
}

UCHAR FollowingNumber(UCHAR number) { return static_cast<UCHAR>(number % kHighestNameNumber + 1); }

}  // namespace

SimName NameOf(const UCHAR (&bytes)[NCBNAMSZ]) {
  SimName name;
  std::copy(std::begin(bytes), std::end(bytes), name.begin());
  return name;
}

const NAME_BUFFER* FindNameByNumber(const SimAdapter& adapter, UCHAR number) {
  auto it = std::find_if(adapter.names.begin(), adapter.names.end(),
                         [number](const NAME_BUFFER& entry) { return entry.name_num == number; });
  return it == adapter.names.end() ? nullptr : &*it;
}

bool HasName(const SimAdapter& adapter, const SimName& name) {
  return std::any_of(adapter.names.begin(), adapter.names.end(),
                     [&name](const NAME_BUFFER& entry) { return SameName(entry, name); });
}

bool HasNameWithNumber(const SimAdapter& adapter, UCHAR number, const SimName& name) {
  return std::any_of(adapter.names.begin(), adapter.names.end(), [&](const NAME_BUFFER& entry) {
    return entry.name_num == number && SameName(entry, name);
  });
}

ADAPTER_STATUS ReportedStatus(const SimAdapter& adapter) {
  ADAPTER_STATUS status = adapter.status;
  status.name_count = adapter.reported_name_count.value_or(static_cast<WORD>(adapter.names.size()));
  return status;
}

UCHAR AddGroupName(SimAdapter& adapter, const SimName& name, UCHAR* number) {
  if (name[0] == '*' || name[0] == 0) return NRC_NOWILD;
  if (HasName(adapter, name)) return NRC_DUPNAME;
  if (adapter.names.size() >= adapter.name_capacity) return NRC_NAMTFUL;
  // Numbers are handed out in rotation, so a deleted name's number is not reused at once.
  UCHAR candidate = adapter.next_name_number;
  for (int tries = 0; tries < kHighestNameNumber; ++tries, candidate = FollowingNumber(candidate)) {
    if (NumberInUse(adapter, candidate)) continue;
    NAME_BUFFER entry{};
    std::copy(name.begin(), name.end(), entry.name);
    entry.name_num = candidate;
    entry.name_flags = GROUP_NAME | REGISTERED;
    adapter.names.push_back(entry);
    adapter.next_name_number = FollowingNumber(candidate);
    *number = candidate;
    return NRC_GOODRET;
  }
  return NRC_NAMTFUL;
}

std::optional<UCHAR> DeleteName(SimAdapter& adapter, const SimName& name) {
  auto it = std::find_if(adapter.names.begin(), adapter.names.end(),
                         [&name](const NAME_BUFFER& entry) { return SameName(entry, name); });
  if (it == adapter.names.end()) return std::nullopt;
  UCHAR number = it->name_num;
  adapter.names.erase(it);
  return number;
}

UCHAR CopyAdapterStatus(const SimAdapter& adapter, UCHAR* buffer, WORD length, WORD* placed) {
  *placed = 0;
  if (buffer == nullptr || length < sizeof(ADAPTER_STATUS)) return NRC_BUFLEN;
  const ADAPTER_STATUS status = ReportedStatus(adapter);
  std::memcpy(buffer, &status, sizeof status);
  std::size_t room = (length - sizeof status) / sizeof(NAME_BUFFER);
  std::size_t fitting = std::min(room, adapter.names.size());
  if (fitting > 0) {
    std::memcpy(buffer + sizeof status, adapter.names.data(), fitting * sizeof(NAME_BUFFER));
  }
  *placed = static_cast<WORD>(sizeof status + fitting * sizeof(NAME_BUFFER));
  return fitting < adapter.names.size() ? NRC_INCOMP : NRC_GOODRET;
}

std::optional<UCHAR> TakeFault(SimAdapter& adapter, UCHAR command) {
  auto it = adapter.faults.find(command);
  if (it == adapter.faults.end()) return std::nullopt;
  UCHAR code = it->second.code;
  if (it->second.remaining > 0 && --it->second.remaining == 0) adapter.faults.erase(it);
  return code;
}
