// Injected faults: commands failing with a chosen code, for a number of calls or until cleared,
// and receives and cancels that never complete.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <thread>

#include "tests/netbios_sim/sim_test_support.h"

namespace {

constexpr UCHAR kGroupNumber = 2;

class SimFaultsTest : public SimNetbiosTest {
 protected:
  void SetUp() override { AddAdapterWithGroup(kLana0, kSegment, kGroupNumber); }

  UCHAR Status() {
    NCB ncb{};
    ncb.ncb_command = NCBASTAT;
    ncb.ncb_callname[0] = '*';
    ncb.ncb_buffer = status_buffer_.data();
    ncb.ncb_length = STATUS_BUFFER_SIZE;
    return Netbios(&ncb);
  }

  UCHAR PostGroupReceive(NCB& ncb) {
    return PostReceive(ncb, 0, kGroupNumber, buffer_.data(), buffer_.size());
  }

  std::array<UCHAR, STATUS_BUFFER_SIZE> status_buffer_{};
  std::array<UCHAR, 30> buffer_{};
};

TEST_F(SimFaultsTest, FailedCommandsChangeNothingUntilCleared) {
  NCB outstanding{};
  ASSERT_EQ(PostGroupReceive(outstanding), NRC_PENDING);
  const SimName added = NameFrom("ADDED");
  struct Case {
    UCHAR command;
    UCHAR code;
    std::function<UCHAR()> issue;
  };
  UCHAR number = 0;
  const Case cases[] = {
      {NCBASTAT, NRC_SYSTEM, [&] { return Status(); }},
      {NCBADDGRNAME, NRC_NAMCONF, [&] { return AddGroupName(0, added, &number); }},
      {NCBDELNAME, NRC_INUSE, [&] { return DeleteName(0, kGroup); }},
      {NCBDGSEND, NRC_SYSTEM, [&] { return Send(0, kGroupNumber, kGroup, Pattern(8)); }},
      {NCBCANCEL, NRC_CANCEL, [&] { return Cancel(0, &outstanding); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "command 0x" << std::hex << int{c.command});
    sim_->FailCommand(kLana0, c.command, c.code);
    EXPECT_EQ(c.issue(), c.code);
    EXPECT_EQ(c.issue(), c.code) << "a fault lasts until cleared";
    sim_->WaitIdle();
    EXPECT_EQ(sim_->Names(kLana0).size(), 1u);
    EXPECT_TRUE(sim_->SentDatagrams().empty());
    EXPECT_TRUE(TakePosts().empty());
    EXPECT_EQ(ReadCompletion(outstanding), NRC_PENDING);
    sim_->ClearFaults(kLana0);
  }
  EXPECT_EQ(Status(), NRC_GOODRET);
  EXPECT_EQ(AddGroupName(0, added, &number), NRC_GOODRET);
  EXPECT_EQ(Send(0, kGroupNumber, kGroup, Pattern(8)), NRC_GOODRET);
  EXPECT_TRUE(PostedOnce(&outstanding, NRC_GOODRET)) << "the send completed the receive";
}

TEST_F(SimFaultsTest, CountedFaultHitsTheNextCallsOnly) {
  sim_->FailCommand(kLana0, NCBASTAT, NRC_SYSTEM, 2);
  EXPECT_EQ(Status(), NRC_SYSTEM);
  EXPECT_EQ(Status(), NRC_SYSTEM);
  EXPECT_EQ(Status(), NRC_GOODRET);
  EXPECT_EQ(Status(), NRC_GOODRET);
}

TEST_F(SimFaultsTest, FaultsBelongToOneAdapter) {
  AddAdapterWithGroup({0, 1}, kSegment, kGroupNumber);
  AddAdapterWithGroup({1, 0}, kSegment, kGroupNumber);
  sim_->FailCommand(kLana0, NCBDGSEND | ASYNCH, NRC_SYSTEM);
  EXPECT_EQ(Send(0, kGroupNumber, kGroup, Pattern(1)), NRC_SYSTEM)
      << "ASYNCH is not part of the key";
  EXPECT_EQ(Send(1, kGroupNumber, kGroup, Pattern(1)), NRC_GOODRET);
  std::thread([&] {
    SimNetbios::BindThreadToStation(1);
    EXPECT_EQ(Send(0, kGroupNumber, kGroup, Pattern(1)), NRC_GOODRET);
  }).join();
}

TEST_F(SimFaultsTest, FailedReceiveCompletesThroughPost) {
  sim_->FailCommand(kLana0, NCBDGRECV, NRC_SYSTEM, 1);
  NCB failing{}, working{};
  EXPECT_EQ(PostGroupReceive(failing), NRC_PENDING);
  EXPECT_TRUE(PostedOnce(&failing, NRC_SYSTEM));

  EXPECT_EQ(PostGroupReceive(working), NRC_PENDING);
  sim_->InjectDatagram(kSegment, kGroup, kGroup, Pattern(3));
  EXPECT_TRUE(PostedOnce(&working, NRC_GOODRET));
}

TEST_F(SimFaultsTest, ReceiveThatNeverCompletes) {
  sim_->FailCommand(kLana0, NCBDGRECV, NRC_PENDING, 1);
  NCB hung{}, next{};
  EXPECT_EQ(PostGroupReceive(hung), NRC_PENDING);
  EXPECT_EQ(PostGroupReceive(next), NRC_PENDING);
  sim_->InjectDatagram(kSegment, kGroup, kGroup, Pattern(3));
  EXPECT_TRUE(PostedOnce(&next, NRC_GOODRET)) << "the hung receive takes no datagram";

  EXPECT_EQ(Cancel(0, &hung), NRC_GOODRET);
  sim_->WaitIdle();
  EXPECT_TRUE(TakePosts().empty());
  EXPECT_EQ(ReadCompletion(hung), NRC_PENDING);
}

TEST_F(SimFaultsTest, CancelWhoseReceiveNeverCompletes) {
  NCB receive{};
  ASSERT_EQ(PostGroupReceive(receive), NRC_PENDING);
  sim_->FailCommand(kLana0, NCBCANCEL, NRC_PENDING);
  EXPECT_EQ(Cancel(0, &receive), NRC_GOODRET);
  sim_->InjectDatagram(kSegment, kGroup, kGroup, Pattern(3));
  sim_->WaitIdle();
  EXPECT_TRUE(TakePosts().empty());
  EXPECT_EQ(ReadCompletion(receive), NRC_PENDING);
  EXPECT_EQ(Cancel(0, &receive), NRC_CANOCCR) << "no longer outstanding";
}

TEST_F(SimFaultsTest, RejectsFaultsThatCannotHappen) {
  EXPECT_THROW(sim_->FailCommand(kLana0, NCBASTAT, NRC_PENDING), std::invalid_argument);
  EXPECT_THROW(sim_->FailCommand(kLana0, NCBDGSEND, NRC_SYSTEM, 0), std::invalid_argument);
  EXPECT_THROW(sim_->FailCommand({5, 5}, NCBDGSEND, NRC_SYSTEM), std::out_of_range);
}

}  // namespace
