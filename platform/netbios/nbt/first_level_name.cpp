#include "platform/netbios/nbt/first_level_name.h"

namespace {

constexpr std::uint8_t kHalfLength = 0x20;    // 32 letters for 16 bytes
constexpr std::size_t kMaxEncodedName = 255;  // a whole name, labels included
constexpr std::uint8_t kMaxLabel = 63;

}  // namespace

void EncodeFirstLevelName(const NetbiosName& name, std::span<std::uint8_t, kEncodedNameSize> out) {
  out[0] = kHalfLength;
  for (std::size_t i = 0; i < name.size(); ++i) {
    out[1 + 2 * i] = static_cast<std::uint8_t>('A' + (name[i] >> 4));
    out[2 + 2 * i] = static_cast<std::uint8_t>('A' + (name[i] & 0x0F));
  }
  out[kEncodedNameSize - 1] = 0;
}

std::optional<DecodedName> DecodeFirstLevelName(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kEncodedNameSize || bytes[0] != kHalfLength) return std::nullopt;
  DecodedName decoded{};
  for (std::size_t i = 0; i < decoded.name.size(); ++i) {
    const std::uint8_t high = bytes[1 + 2 * i] - 'A';
    const std::uint8_t low = bytes[2 + 2 * i] - 'A';
    if (high > 0x0F || low > 0x0F) return std::nullopt;
    decoded.name[i] = static_cast<UCHAR>(high << 4 | low);
  }
  std::size_t at = 1 + 2 * decoded.name.size();
  while (true) {
    if (at >= bytes.size() || at >= kMaxEncodedName) return std::nullopt;
    const std::uint8_t label = bytes[at];
    if (label == 0) break;
    if (label > kMaxLabel) return std::nullopt;
    decoded.has_scope = true;
    at += 1 + label;
  }
  decoded.length = at + 1;
  return decoded;
}
