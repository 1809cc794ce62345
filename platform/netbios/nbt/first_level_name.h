// First-level encoding of a NetBIOS name (RFC 1001 section 14.1): a length byte 0x20, the
// 16 bytes as 32 letters 'A' + nibble, then the scope labels ending in a zero byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/netbios/nbt/netbios_name.h"

// Bytes of an encoded name without scope: length byte, 32 letters, terminating zero.
constexpr std::size_t kEncodedNameSize = 34;

struct DecodedName {
  NetbiosName name;
  bool has_scope;      // scope labels followed the 32 letters
  std::size_t length;  // bytes the encoded name took, terminating zero included
};

// Writes the name without scope into out (kEncodedNameSize bytes).
void EncodeFirstLevelName(const NetbiosName& name, std::span<std::uint8_t, kEncodedNameSize> out);

// Decodes the name at the start of bytes. Fails on a wrong length byte, a letter outside
// 'A'..'P', a label that is a compression pointer or runs past the end, or a name longer than
// 255 bytes.
std::optional<DecodedName> DecodeFirstLevelName(std::span<const std::uint8_t> bytes);
