#include "platform/ui/wx/cell_text.h"

#include <cstdint>
#include <cstdio>

namespace ui::wx {
namespace {

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Length of the well-formed UTF-8 sequence at the start of `s` (2 to 4 bytes, shortest form,
// no surrogates), with its code point; 0 when there is none.
std::size_t DecodeMultiByte(std::string_view s, char32_t* code) {
  auto lead = static_cast<std::uint8_t>(s[0]);
  std::size_t length;
  char32_t c, min;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, c = lead & 0x1F, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, c = lead & 0x0F, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, c = lead & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (s.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    auto b = static_cast<std::uint8_t>(s[i]);
    if ((b & 0xC0) != 0x80) return 0;
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  *code = c;
  return length;
}

}  // namespace

std::string VisibleCellText(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    auto byte = static_cast<std::uint8_t>(bytes[0]);
    char32_t code = byte;
    std::size_t used = byte >= 0x80 ? DecodeMultiByte(bytes, &code) : 1;
    if (used == 0) {
      code = byte;  // not UTF-8: the byte as Latin-1
      used = 1;
    }
    if (IsControl(code)) {
      // Control characters, whether a single byte or a UTF-8 sequence, are escaped bytewise.
      for (std::size_t i = 0; i < used; ++i) {
        char escape[5];
        std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<std::uint8_t>(bytes[i]));
        out += escape;
      }
    } else {
      AppendUtf8(code, &out);
    }
    bytes.remove_prefix(used);
  }
  return out;
}

}  // namespace ui::wx
