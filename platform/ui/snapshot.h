// The snapshot: a text file that shows what a user would see, rewritten (temporary file, then
// rename) after every burst of changes to a window's title, visibility or list cells.
//
// Per top-level window, in creation order: "window<TAB>TITLE<TAB>shown|hidden"; for each list
// control in it a line "columns" followed by TAB-separated headers, then one line "row"
// followed by TAB-separated cells per row; a blank line between windows. In titles, headers and
// cells a backslash is written \\, a TAB \t, a line feed \n, any other byte below 0x20 or above
// 0x7E \xHH.
#pragma once

#include <string>
#include <string_view>

namespace ui {

std::string EscapeSnapshotText(std::string_view text);
std::string RenderSnapshot();

// Starts writing to the file named by UI_SNAPSHOT, if set. A path that cannot be written is
// reported in one line on standard error; the program goes on.
void StartSnapshotFromEnvironment();
void StartSnapshot(const std::string& path);
void StopSnapshot();

}  // namespace ui
