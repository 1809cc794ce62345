// Datagrams through the simulated service: sends, receives completed on the service's thread,
// delivery on a segment, cancel, injection, WaitIdle and destruction.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <set>
#include <thread>

#include "tests/netbios_sim/sim_test_support.h"

namespace {

constexpr UCHAR kGroupNumber = 3;
constexpr WORD kRecordLength = 30;

struct Receive {
  NCB ncb{};
  std::array<UCHAR, kRecordLength> buffer{};
};

class SimDatagramsTest : public SimNetbiosTest {
 protected:
  void SetUp() override { AddAdapterWithGroup(kLana0, kSegment, kGroupNumber); }

  UCHAR Post(Receive& receive, UCHAR lana = 0, UCHAR number = kGroupNumber) {
    return PostReceive(receive.ncb, lana, number, receive.buffer.data(), kRecordLength);
  }

  // Runs fn on a thread bound to station.
  template <typename Fn>
  static void OnStation(int station, Fn fn) {
    std::thread([&] {
      SimNetbios::BindThreadToStation(station);
      fn();
    }).join();
  }
};

TEST_F(SimDatagramsTest, ReceiveCompletesOnServiceThreadWithDatagram) {
  Receive receive;
  EXPECT_EQ(Post(receive), NRC_PENDING);
  EXPECT_EQ(ReadCompletion(receive.ncb), NRC_PENDING);

  const auto data = Pattern(kRecordLength);
  ASSERT_EQ(Send(0, kGroupNumber, kGroup, data), NRC_GOODRET);
  ASSERT_TRUE(PostedOnce(&receive.ncb, NRC_GOODRET));
  EXPECT_EQ(receive.ncb.ncb_length, kRecordLength);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), receive.buffer.begin()));
  EXPECT_TRUE(std::equal(kGroup.begin(), kGroup.end(), receive.ncb.ncb_callname))
      << "the sender's name is its name numbered ncb_num";

  const auto sent = sim_->SentDatagrams();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].sequence, 1u);
  EXPECT_EQ(sent[0].sender, kLana0);
  EXPECT_EQ(sent[0].source, kGroup);
  EXPECT_EQ(sent[0].destination, kGroup);
  EXPECT_EQ(sent[0].data, data);
}

TEST_F(SimDatagramsTest, InjectedDatagramsOfAnyLengthFillAtMostTheBuffer) {
  const SimName foreign = NameFrom("FOREIGN", 0x03);
  for (std::size_t length : {0u, 1u, 17u, 29u, 30u, 31u, 512u, 513u, 600u, 1500u}) {
    SCOPED_TRACE(length);
    Receive receive;
    receive.buffer.fill(0xEE);
    ASSERT_EQ(Post(receive), NRC_PENDING);
    const auto data = Pattern(length);
    sim_->InjectDatagram(kSegment, foreign, kGroup, data);
    ASSERT_TRUE(PostedOnce(&receive.ncb, length > kRecordLength ? NRC_INCOMP : NRC_GOODRET));
    const std::size_t placed = std::min<std::size_t>(length, kRecordLength);
    EXPECT_EQ(receive.ncb.ncb_length, placed);
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + placed, receive.buffer.begin()));
    EXPECT_TRUE(std::all_of(receive.buffer.begin() + placed, receive.buffer.end(),
                            [](UCHAR b) { return b == 0xEE; }));
    EXPECT_TRUE(std::equal(foreign.begin(), foreign.end(), receive.ncb.ncb_callname));
  }
  EXPECT_TRUE(sim_->SentDatagrams().empty()) << "injected datagrams are not captured";
}

TEST_F(SimDatagramsTest, EveryAdapterOnTheSegmentGetsOneCopy) {
  AddAdapterWithGroup({0, 1}, kSegment, 9);      // the sender's station, another adapter
  AddAdapterWithGroup({1, 0}, kSegment, 5);      // another station
  AddAdapterWithGroup({2, 0}, kSegment + 1, 5);  // another segment
  sim_->AddAdapter({3, 0}, kSegment, {});        // without the name
  // Two receives on the sender's adapter: a second copy would complete the second one.
  Receive own_first, own_second, other_lana, other_station, other_segment, nameless;
  Post(own_first);
  Post(own_second);
  Post(other_lana, 1, 9);
  OnStation(1, [&] { Post(other_station, 0, 5); });
  OnStation(2, [&] { Post(other_segment, 0, 5); });
  OnStation(3, [&] { Post(nameless, 0, 0xFF); });

  ASSERT_EQ(Send(0, kGroupNumber, kGroup, Pattern(4)), NRC_GOODRET);
  sim_->WaitIdle();
  const auto posts = TakePosts();
  std::set<NCB*> completed;
  for (const PostRecord& post : posts) completed.insert(post.ncb);
  EXPECT_EQ(posts.size(), 3u);
  EXPECT_EQ(completed, (std::set<NCB*>{&own_first.ncb, &other_lana.ncb, &other_station.ncb}));
  for (const PostRecord& post : posts) EXPECT_EQ(post.code, NRC_GOODRET);
  EXPECT_EQ(ReadCompletion(own_second.ncb), NRC_PENDING);
  EXPECT_EQ(ReadCompletion(other_segment.ncb), NRC_PENDING);
  EXPECT_EQ(ReadCompletion(nameless.ncb), NRC_PENDING);

  EXPECT_EQ(Cancel(0, &own_second.ncb), NRC_GOODRET);
  OnStation(2, [&] { EXPECT_EQ(Cancel(0, &other_segment.ncb), NRC_GOODRET); });
  OnStation(3, [&] { EXPECT_EQ(Cancel(0, &nameless.ncb), NRC_GOODRET); });
  sim_->WaitIdle();
}

TEST_F(SimDatagramsTest, DatagramWithoutOutstandingReceiveIsDiscarded) {
  ASSERT_EQ(Send(0, kGroupNumber, kGroup, Pattern(4)), NRC_GOODRET);
  Receive receive;
  Post(receive);
  sim_->WaitIdle();
  EXPECT_TRUE(TakePosts().empty());
  EXPECT_EQ(ReadCompletion(receive.ncb), NRC_PENDING);
  EXPECT_EQ(sim_->SentDatagrams().size(), 1u) << "a discarded datagram was still sent";
  Cancel(0, &receive.ncb);
  sim_->WaitIdle();
}

TEST_F(SimDatagramsTest, NamedReceivePrecedesAnyNameReceive) {
  const SimName other = NameFrom("OTHER", 0x01);
  sim_->SetNames(kLana0, {NameEntry(kGroup, kGroupNumber, GROUP_NAME | REGISTERED),
                          NameEntry(other, 4, REGISTERED)});
  Receive any, named;
  Post(any, 0, 0xFF);
  Post(named);

  sim_->InjectDatagram(kSegment, other, kGroup, Pattern(1));
  EXPECT_TRUE(PostedOnce(&named.ncb, NRC_GOODRET));

  sim_->InjectDatagram(kSegment, kGroup, other, Pattern(2));
  sim_->InjectDatagram(kSegment, kGroup, NameFrom("NOBODY"), Pattern(3));
  EXPECT_TRUE(PostedOnce(&any.ncb, NRC_GOODRET));
  EXPECT_EQ(any.ncb.ncb_length, 2);
}

TEST_F(SimDatagramsTest, CompletionsRunInSendOrder) {
  constexpr int kCount = 40;
  std::vector<Receive> receives(kCount);
  for (Receive& receive : receives) Post(receive);
  for (int i = 0; i < kCount; ++i) {
    sim_->InjectDatagram(kSegment, kGroup, kGroup, std::vector<UCHAR>{static_cast<UCHAR>(i)});
  }
  sim_->WaitIdle();
  const auto posts = TakePosts();
  ASSERT_EQ(posts.size(), std::size_t{kCount});
  for (int i = 0; i < kCount; ++i) {
    EXPECT_EQ(posts[i].ncb, &receives[i].ncb) << "oldest receive first";
    EXPECT_EQ(receives[i].buffer[0], i);
  }
}

TEST_F(SimDatagramsTest, CancelCompletesReceiveWithCmdcanThroughPost) {
  Receive receive;
  Post(receive);
  EXPECT_EQ(Cancel(0, &receive.ncb), NRC_GOODRET);
  EXPECT_TRUE(PostedOnce(&receive.ncb, NRC_CMDCAN));

  EXPECT_EQ(Cancel(0, &receive.ncb), NRC_CANOCCR) << "already completed";
  NCB never_issued{};
  EXPECT_EQ(Cancel(0, &never_issued), NRC_CANOCCR);
  EXPECT_EQ(Cancel(0, nullptr), NRC_CANOCCR);
  EXPECT_EQ(Cancel(4, &receive.ncb), NRC_BRIDGE);
}

TEST_F(SimDatagramsTest, CancelOnlyReachesReceivesOfItsStationAndLana) {
  AddAdapterWithGroup({0, 1}, kSegment, kGroupNumber);
  AddAdapterWithGroup({1, 0}, kSegment, kGroupNumber);
  Receive receive;
  Post(receive);
  EXPECT_EQ(Cancel(1, &receive.ncb), NRC_CANOCCR);
  OnStation(1, [&] { EXPECT_EQ(Cancel(0, &receive.ncb), NRC_CANOCCR); });
  sim_->WaitIdle();
  EXPECT_TRUE(TakePosts().empty());
  EXPECT_EQ(Cancel(0, &receive.ncb), NRC_GOODRET);
  sim_->WaitIdle();
}

TEST_F(SimDatagramsTest, DatagramClaimsItsReceiveWhenSent) {
  // The datagram claims the receive when it is sent, so a cancel right after it comes too late.
  Receive receive;
  Post(receive);
  ASSERT_EQ(Send(0, kGroupNumber, kGroup, Pattern(3)), NRC_GOODRET);
  EXPECT_EQ(Cancel(0, &receive.ncb), NRC_CANOCCR);
  EXPECT_TRUE(PostedOnce(&receive.ncb, NRC_GOODRET));
}

TEST_F(SimDatagramsTest, UnacceptableReceivesCompleteThroughPost) {
  Receive no_lana, no_name, no_buffer;
  EXPECT_EQ(Post(no_lana, 6), NRC_PENDING);
  EXPECT_TRUE(PostedOnce(&no_lana.ncb, NRC_BRIDGE));
  EXPECT_EQ(Post(no_name, 0, 77), NRC_PENDING);
  EXPECT_TRUE(PostedOnce(&no_name.ncb, NRC_NAMERR));
  EXPECT_EQ(PostReceive(no_buffer.ncb, 0, kGroupNumber, nullptr, 10), NRC_PENDING);
  EXPECT_TRUE(PostedOnce(&no_buffer.ncb, NRC_BUFLEN));
}

TEST_F(SimDatagramsTest, DeletingANameCompletesItsReceives) {
  Receive named, any;
  Post(named);
  Post(any, 0, 0xFF);
  ASSERT_EQ(DeleteName(0, kGroup), NRC_GOODRET);
  EXPECT_TRUE(PostedOnce(&named.ncb, NRC_NAMERR));
  EXPECT_EQ(ReadCompletion(any.ncb), NRC_PENDING);
  Cancel(0, &any.ncb);
  sim_->WaitIdle();
}

TEST_F(SimDatagramsTest, SendChecksNameNumberAndLength) {
  EXPECT_EQ(Send(0, 77, kGroup, Pattern(4)), NRC_NAMERR);
  EXPECT_EQ(Send(0, kGroupNumber, kGroup, Pattern(513)), NRC_BUFLEN);
  EXPECT_EQ(Send(0, kGroupNumber, kGroup, Pattern(512)), NRC_GOODRET);
  EXPECT_EQ(Send(0, kGroupNumber, kGroup, {}), NRC_GOODRET);
  EXPECT_EQ(Send(2, kGroupNumber, kGroup, Pattern(4)), NRC_BRIDGE);
  const auto sent = sim_->SentDatagrams();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].data.size(), 512u);
  EXPECT_TRUE(sent[1].data.empty());
}

TEST_F(SimDatagramsTest, CaptureLogClearsButKeepsCounting) {
  Send(0, kGroupNumber, kGroup, Pattern(1));
  Send(0, kGroupNumber, kGroup, Pattern(2));
  sim_->ClearSentDatagrams();
  EXPECT_TRUE(sim_->SentDatagrams().empty());
  Send(0, kGroupNumber, NameFrom("ELSEWHERE"), Pattern(3));
  const auto sent = sim_->SentDatagrams();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].sequence, 3u);
  EXPECT_EQ(sent[0].destination, NameFrom("ELSEWHERE"));
}

TEST_F(SimDatagramsTest, WaitIdleWaitsForSlowPostRoutines) {
  constexpr int kCount = 20;
  static std::atomic<int> finished;
  finished = 0;
  std::vector<Receive> receives(kCount);
  for (Receive& receive : receives) {
    receive.ncb.ncb_command = NCBDGRECV | ASYNCH;
    receive.ncb.ncb_num = kGroupNumber;
    receive.ncb.ncb_buffer = receive.buffer.data();
    receive.ncb.ncb_length = kRecordLength;
    receive.ncb.ncb_post = [](NCB*) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      finished.fetch_add(1);
    };
    ASSERT_EQ(Netbios(&receive.ncb), NRC_PENDING);
  }
  for (int i = 0; i < kCount; ++i) sim_->InjectDatagram(kSegment, kGroup, kGroup, Pattern(1));
  sim_->WaitIdle();
  EXPECT_EQ(finished.load(), kCount);
}

TEST_F(SimDatagramsTest, PostRoutineRunsBoundToItsStationAndMayIssueCommands) {
  // Station 1 has only LANA 3; its post routine posts the next receive there.
  AddAdapterWithGroup({1, 3}, kSegment, kGroupNumber);
  static Receive receive;
  static std::atomic<int> posts;
  posts = 0;
  receive = Receive{};
  receive.ncb.ncb_command = NCBDGRECV | ASYNCH;
  receive.ncb.ncb_lana_num = 3;
  receive.ncb.ncb_num = kGroupNumber;
  receive.ncb.ncb_buffer = receive.buffer.data();
  receive.ncb.ncb_length = kRecordLength;
  receive.ncb.ncb_post = [](NCB* ncb) {
    if (posts.fetch_add(1) == 0 && ReadCompletion(*ncb) == NRC_GOODRET) {
      ncb->ncb_length = kRecordLength;
      Netbios(ncb);
    }
  };
  OnStation(1, [&] { ASSERT_EQ(Netbios(&receive.ncb), NRC_PENDING); });

  sim_->InjectDatagram(kSegment, kGroup, kGroup, Pattern(5));
  sim_->WaitIdle();
  ASSERT_EQ(posts.load(), 1);
  EXPECT_EQ(ReadCompletion(receive.ncb), NRC_PENDING) << "re-posted on station 1's LANA 3";

  sim_->InjectDatagram(kSegment, kGroup, kGroup, Pattern(6));
  sim_->WaitIdle();
  EXPECT_EQ(posts.load(), 2);
  EXPECT_EQ(ReadCompletion(receive.ncb), NRC_GOODRET);
  EXPECT_EQ(receive.ncb.ncb_length, 6);
}

TEST(SimNetbiosLifetime, OutstandingReceivesAreDroppedAtDestruction) {
  TakePosts();
  auto receive = std::make_unique<Receive>();
  {
    SimNetbios sim;
    sim.AddAdapter({0, 0}, 1, {});
    sim.SetNames({0, 0}, {NameEntry(NameFrom("G"), 1, GROUP_NAME | REGISTERED)});
    receive->ncb.ncb_command = NCBDGRECV | ASYNCH;
    receive->ncb.ncb_num = 1;
    receive->ncb.ncb_buffer = receive->buffer.data();
    receive->ncb.ncb_length = kRecordLength;
    receive->ncb.ncb_post = RecordPost;
    ASSERT_EQ(sim.Submit(&receive->ncb), NRC_PENDING);
    receive.reset();  // the caller gives up the block; the service must never touch it again
  }
  EXPECT_TRUE(TakePosts().empty());
}

}  // namespace
