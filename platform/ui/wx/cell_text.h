// How the bytes of a list cell are drawn: text as it stands, and bytes that have no glyph as
// visible escapes, so that nothing a station sent is silently dropped.
#pragma once

#include <string>
#include <string_view>

namespace ui::wx {

// Returns UTF-8 for display. Printable ASCII and well-formed UTF-8 sequences of printable
// characters stay as they are; control bytes (0x00-0x1F, 0x7F, 0x80-0x9F) become "\xHH"; any
// other byte is read as Latin-1.
std::string VisibleCellText(std::string_view bytes);

}  // namespace ui::wx
