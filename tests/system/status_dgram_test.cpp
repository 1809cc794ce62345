// The status datagram as it leaves a running monitor, byte by byte, and its addressing.
#include "exchange/status_dgram.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/system/support/sim_lan.h"
#include "tests/system/virtual_lan.h"

namespace {

class StatusDatagramTest : public VirtualLanTest {};

TEST_F(StatusDatagramTest, SentDatagramHasTheThirtyByteLayout) {
  constexpr SimAdapterId kAdapter{1, 0};
  Sim().AddAdapter(kAdapter, 1, {0x00, 0x60, 0x8C, 0x12, 0xAB, 0x0F});
  // The name table's filler bytes go out exactly as listed, 16th byte included.
  SimName name = {'L',  'A',  'Y',  'O',  'U',  'T',  0x00, 0x20,
                  0xFF, 0x01, 0x20, 0x20, 0x20, 0x20, 0x20, 0x02};
  Sim().SetNames(kAdapter, {NameEntry(name)});
  // 300 minutes; 300 errors in one hundred frames: a rate of 300, which travels as 44.
  SetFigures(Sim(), kAdapter, 300, 100, 300);

  StationThread& station = AddStation(1);
  RunStations(1010);

  const std::vector<UCHAR> expected = {'L',  'A',  'Y',  'O',  'U',  'T',
                                       0x00, 0x20, 0xFF, 0x01,              // station_name
                                       0x20, 0x20, 0x20, 0x20, 0x20, 0x02,  //
                                       0x2C, 0x01,                          // minutes_running
                                       44,                                  // error_rate
                                       0x00, 0x00, 0x00, 0x00,              // spare1
                                       0x00, 0x60, 0x8C, 0x12, 0xAB, 0x0F,  // node_address
                                       0x00};                               // spare2
  auto sent = Sim().SentDatagrams();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.front().data, expected);
  EXPECT_EQ(sent.front().destination, GroupName());
  EXPECT_EQ(sent.front().source, GroupName());

  // Sends and receives use the number the group name was given on that LANA.
  auto added = Recorder().Commands(NCBADDGRNAME);
  ASSERT_EQ(added.size(), 1u);
  const UCHAR number = added.front().num_after;
  for (const IssuedCommand& send : Recorder().Commands(NCBDGSEND)) {
    EXPECT_EQ(send.issued.ncb_num, number);
    EXPECT_EQ(send.issued.ncb_length, 30);
    EXPECT_EQ(send.issued.ncb_lana_num, 0);
    EXPECT_EQ(SimName(std::to_array(send.issued.ncb_callname)), GroupName());
  }
  auto receives = Recorder().Commands(NCBDGRECV | ASYNCH);
  ASSERT_FALSE(receives.empty());
  const NCB& receive = receives.front().issued;
  EXPECT_EQ(receive.ncb_num, number);
  EXPECT_EQ(receive.ncb_length, 30);
  EXPECT_EQ(SimName(std::to_array(receive.ncb_callname)), SimName{});
  EXPECT_EQ(station.Result(), IDCANCEL);
}

}  // namespace
