// Datagrams that are not what a monitor sends, arriving through the simulated service: empty
// names, short and long datagrams, and bytes without any zero to stop a reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/system/support/list_view.h"
#include "tests/system/support/sim_lan.h"
#include "tests/system/virtual_lan.h"

namespace {

class DatagramInputTest : public VirtualLanTest {};

TEST_F(DatagramInputTest, EachDatagramIsReadWithinItsThirtyBytes) {
  AddStationAdapter(Sim(), {1, 0}, 1, "VIEWER");
  StationThread& station = AddStation(1);

  std::vector<UCHAR> nameless(30, 'Z');
  nameless[0] = 0;
  const std::vector<UCHAR> name_only = [] {
    SimName name = PaddedName("SHORT");
    return std::vector<UCHAR>(name.begin(), name.end());
  }();
  std::vector<UCHAR> too_long =
      BytesOf(MakeDatagram(PaddedName("LONG"), 7, 9, {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F}));
  too_long.insert(too_long.end(), 10, 0xEE);
  const std::vector<UCHAR> no_zero(30, 'A');
  // One datagram per poll period, each while a receive is outstanding.
  const std::vector<std::vector<UCHAR>> datagrams = {nameless, name_only, too_long, no_zero};
  for (std::size_t i = 0; i < datagrams.size(); ++i) {
    At(75 + 100 * i, [this, &datagrams, i] {
      Sim().InjectDatagram(1, PaddedName("SENDER"), GroupName(), datagrams[i]);
    });
  }
  std::vector<ListRow> rows;
  At(500, [&] { rows = ListRows(station.Dlg().Window()); });
  RunStations(510);

  EXPECT_EQ(rows,
            (std::vector<ListRow>{{"00", NameCell("SHORT"), "000000000000", "0", "", "0%"},
                                  {"00", NameCell("LONG"), "0A0B0C0D0E0F", "7", "", "9%"},
                                  {"00", "AAAAAAAAAAAAAAA", "414141414141", "16705", "", "65%"}}));
}

}  // namespace
