// Reading a monitor dialog's station list from any thread, under the window layer's lock.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/win_types.h"

using ListRow = std::vector<std::string>;

std::vector<ListRow> ListRows(HWND dialog);
std::vector<std::string> ListHeaders(HWND dialog);

// The Name cell of a station whose name is the text padded with spaces: its first 15 bytes.
std::string NameCell(const std::string& text);
// A row as the list shows it: "#A", Name, Node Address, Minutes Running, Status, Error.
ListRow StationRow(int lana, const std::string& name, const std::string& node, int minutes,
                   const std::string& status, int rate);
