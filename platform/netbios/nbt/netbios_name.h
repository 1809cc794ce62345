// A NetBIOS name as it travels: exactly 16 bytes, no terminator.
#pragma once

#include <array>
#include <cstring>

#include "platform/netbios/nb30.h"

using NetbiosName = std::array<UCHAR, NCBNAMSZ>;

inline NetbiosName NameFromBytes(const UCHAR* bytes) {
  NetbiosName name;
  std::memcpy(name.data(), bytes, name.size());
  return name;
}
