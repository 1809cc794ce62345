#include "platform/netbios/nbt/name_table.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr UCHAR kRedirectorNumber = 1;
constexpr UCHAR kFirstAddedNumber = 2;
constexpr std::size_t kMaxAdded = MAX_STATUS_NAMES - 1;

UCHAR LowestFreeNumber(const NameTable& table) {
  UCHAR number = kFirstAddedNumber;
  while (FindNameNumber(table, number)) ++number;
  return number;
}

}  // namespace

NameTable MakeNameTable(const NetbiosName& redirector) {
  return NameTable{{redirector, kRedirectorNumber, REGISTERED}, {}};
}

UCHAR AddGroupName(NameTable& table, const NetbiosName& name, UCHAR& number) {
  if (name[0] == '*' || name[0] == 0) return NRC_NOWILD;
  if (FindName(table, name)) return NRC_DUPNAME;
  if (table.added.size() >= kMaxAdded) return NRC_NAMTFUL;
  number = LowestFreeNumber(table);
  table.added.push_back({name, number, static_cast<UCHAR>(GROUP_NAME | REGISTERED)});
  return NRC_GOODRET;
}

UCHAR DeleteName(NameTable& table, const NetbiosName& name, UCHAR& number) {
  const auto it = std::find_if(table.added.begin(), table.added.end(),
                               [&](const NameEntry& entry) { return entry.name == name; });
  if (it == table.added.end()) return NRC_NOWILD;
  number = it->number;
  table.added.erase(it);
  return NRC_GOODRET;
}

const NameEntry* FindName(const NameTable& table, const NetbiosName& name) {
  if (table.redirector.name == name) return &table.redirector;
  for (const NameEntry& entry : table.added)
    if (entry.name == name) return &entry;
  return nullptr;
}

const NameEntry* FindNameNumber(const NameTable& table, UCHAR number) {
  if (table.redirector.number == number) return &table.redirector;
  for (const NameEntry& entry : table.added)
    if (entry.number == number) return &entry;
  return nullptr;
}

std::vector<NAME_BUFFER> ListNames(const NameTable& table) {
  std::vector<NAME_BUFFER> names;
  names.reserve(1 + table.added.size());
  const auto append = [&](const NameEntry& entry) {
    NAME_BUFFER buffer{};
    std::memcpy(buffer.name, entry.name.data(), NCBNAMSZ);
    buffer.name_num = entry.number;
    buffer.name_flags = entry.flags;
    names.push_back(buffer);
  };
  append(table.redirector);
  for (const NameEntry& entry : table.added) append(entry);
  return names;
}
