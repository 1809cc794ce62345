#include "tests/system/support/list_view.h"

#include <cstdio>
#include <mutex>

#include "platform/ui/detail/window_registry.h"
#include "platform/ui/window.h"
#include "res/resource.h"

namespace {

template <typename Fn>
auto ReadList(HWND dialog, Fn&& read) -> decltype(read(std::declval<const ui::WindowState&>())) {
  HWND list = GetDlgItem(dialog, IDC_STATION_LIST);
  std::lock_guard lock(ui::WindowMutex());
  const ui::WindowState* w = ui::FindWindowState(list);
  return w ? read(*w) : decltype(read(*w)){};
}

}  // namespace

std::vector<ListRow> ListRows(HWND dialog) {
  return ReadList(dialog, [](const ui::WindowState& w) { return w.rows; });
}

std::vector<std::string> ListHeaders(HWND dialog) {
  return ReadList(dialog, [](const ui::WindowState& w) {
    std::vector<std::string> headers;
    for (const ui::ListColumn& c : w.columns) headers.push_back(c.header);
    return headers;
  });
}

std::string NameCell(const std::string& text) {
  return (text + std::string(15, ' ')).substr(0, 15);
}

ListRow StationRow(int lana, const std::string& name, const std::string& node, int minutes,
                   const std::string& status, int rate) {
  char lana_text[3];
  std::snprintf(lana_text, sizeof lana_text, "%02X", lana);
  return {
      lana_text, NameCell(name), node, std::to_string(minutes), status, std::to_string(rate) + "%"};
}
