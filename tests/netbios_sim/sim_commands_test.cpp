// Synchronous commands of the simulated service: adapter status, the name table, stations.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "tests/netbios_sim/sim_test_support.h"

namespace {

struct StatusReply {
  UCHAR code;
  WORD length;
  std::vector<UCHAR> buffer;

  ADAPTER_STATUS Status() const {
    ADAPTER_STATUS status;
    std::memcpy(&status, buffer.data(), sizeof status);
    return status;
  }
  NAME_BUFFER Entry(std::size_t index) const {
    NAME_BUFFER entry;
    std::memcpy(&entry, buffer.data() + sizeof(ADAPTER_STATUS) + index * sizeof entry,
                sizeof entry);
    return entry;
  }
};

StatusReply QueryStatus(UCHAR lana, WORD length, const SimName& callname) {
  StatusReply reply{0, 0, std::vector<UCHAR>(length, 0xEE)};
  NCB ncb{};
  ncb.ncb_command = NCBASTAT;
  ncb.ncb_lana_num = lana;
  ncb.ncb_buffer = reply.buffer.data();
  ncb.ncb_length = length;
  std::copy(callname.begin(), callname.end(), ncb.ncb_callname);
  reply.code = Netbios(&ncb);
  EXPECT_EQ(reply.code, ReadCompletion(ncb));
  reply.length = ncb.ncb_length;
  return reply;
}

SimName LocalAdapter() {
  SimName name{};
  name[0] = '*';
  return name;
}

bool SameEntry(const NAME_BUFFER& a, const NAME_BUFFER& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Entries with bytes no real table would hold, in no particular order.
std::vector<NAME_BUFFER> OddEntries(std::size_t count) {
  std::vector<NAME_BUFFER> entries(count);
  for (std::size_t i = 0; i < count; ++i) {
    for (int b = 0; b < NCBNAMSZ; ++b) entries[i].name[b] = static_cast<UCHAR>(i * 31 + b * 17);
    entries[i].name_num = static_cast<UCHAR>(255 - i % 256);
    entries[i].name_flags = static_cast<UCHAR>(i * 13);
  }
  return entries;
}

class SimCommandsTest : public SimNetbiosTest {
 protected:
  void SetUp() override { sim_->AddAdapter(kLana0, kSegment, {1, 2, 3, 4, 5, 6}); }
};

TEST_F(SimCommandsTest, AdapterStatusCopiesRecordThenNameTable) {
  ADAPTER_STATUS set{};
  const UCHAR address[6] = {0x00, 0x60, 0x8C, 0x12, 0xAB, 0x0F};
  std::memcpy(set.adapter_address, address, 6);
  set.duration = 65535;
  set.xmit_success = 0x01020304;
  set.recv_success = 0xFFFFFFFF;
  set.iframe_recv_err = 7;
  set.name_count = 99;  // ignored: the table decides
  sim_->SetStatus(kLana0, set);
  const auto entries = OddEntries(5);
  sim_->SetNames(kLana0, entries);

  const StatusReply reply = QueryStatus(0, STATUS_BUFFER_SIZE, LocalAdapter());
  ASSERT_EQ(reply.code, NRC_GOODRET);
  EXPECT_EQ(reply.length, sizeof(ADAPTER_STATUS) + 5 * sizeof(NAME_BUFFER));
  ADAPTER_STATUS expected = set;
  expected.name_count = 5;
  const ADAPTER_STATUS got = reply.Status();
  EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0);
  for (std::size_t i = 0; i < entries.size(); ++i)
    EXPECT_TRUE(SameEntry(reply.Entry(i), entries[i]));
  EXPECT_EQ(reply.buffer[reply.length], 0xEE) << "wrote past the bytes it reported";
}

TEST_F(SimCommandsTest, AdapterStatusFillsWhatFitsAndReportsSetNameCount) {
  struct Case {
    std::size_t entries;
    std::optional<WORD> reported;
    WORD length;
    UCHAR code;
    std::size_t placed_entries;
    WORD name_count;
  };
  const Case cases[] = {
      {300, 300, STATUS_BUFFER_SIZE, NRC_INCOMP, 255, 300},
      {3, std::nullopt, sizeof(ADAPTER_STATUS) + 2 * sizeof(NAME_BUFFER) + 17, NRC_INCOMP, 2, 3},
      {3, 0, sizeof(ADAPTER_STATUS) + 3 * sizeof(NAME_BUFFER), NRC_GOODRET, 3, 0},
      {0, std::nullopt, sizeof(ADAPTER_STATUS), NRC_GOODRET, 0, 0},
      {1, std::nullopt, sizeof(ADAPTER_STATUS), NRC_INCOMP, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.entries << " entries in " << c.length << " bytes");
    const auto entries = OddEntries(c.entries);
    sim_->SetNames(kLana0, entries);
    sim_->SetReportedNameCount(kLana0, c.reported);
    const StatusReply reply = QueryStatus(0, c.length, LocalAdapter());
    EXPECT_EQ(reply.code, c.code);
    EXPECT_EQ(reply.length, sizeof(ADAPTER_STATUS) + c.placed_entries * sizeof(NAME_BUFFER));
    EXPECT_EQ(reply.Status().name_count, c.name_count);
    EXPECT_EQ(sim_->Status(kLana0).name_count, c.name_count);
    for (std::size_t i = 0; i < c.placed_entries; ++i) {
      EXPECT_TRUE(SameEntry(reply.Entry(i), entries[i]));
    }
  }
}

TEST_F(SimCommandsTest, AdapterStatusRefusesShortBuffersAndOtherNames) {
  EXPECT_EQ(QueryStatus(0, sizeof(ADAPTER_STATUS) - 1, LocalAdapter()).code, NRC_BUFLEN);
  EXPECT_EQ(QueryStatus(0, 0, LocalAdapter()).length, 0);
  SimName star_spaces = NameFrom("*", ' ');
  EXPECT_EQ(QueryStatus(0, STATUS_BUFFER_SIZE, star_spaces).code, NRC_NOWILD);
  EXPECT_EQ(QueryStatus(0, STATUS_BUFFER_SIZE, NameFrom("OTHERHOST")).code, NRC_NOWILD);
}

TEST_F(SimCommandsTest, StatusChangedFromAnotherThreadIsReadWhole) {
  std::atomic<bool> done{false};
  std::thread writer([&] {
    ADAPTER_STATUS status{};
    for (DWORD n = 1; n <= 2000; ++n) {
      status.xmit_success = n;
      status.recv_success = n;
      status.t1_timeouts = static_cast<WORD>(n);
      sim_->SetStatus(kLana0, status);
    }
    done = true;
  });
  while (!done) {
    const ADAPTER_STATUS status = QueryStatus(0, STATUS_BUFFER_SIZE, LocalAdapter()).Status();
    ASSERT_EQ(status.xmit_success, status.recv_success);
    ASSERT_EQ(static_cast<WORD>(status.xmit_success), status.t1_timeouts);
  }
  writer.join();
}

TEST_F(SimCommandsTest, AddGroupNameRegistersWithFreshNumber) {
  // Numbers 1 and 2 are taken by entries a test put there.
  sim_->SetNames(kLana0, {NameEntry(NameFrom("HOST", 0x00), 1, REGISTERED),
                          NameEntry(NameFrom("HOST", 0x20), 2, REGISTERED)});
  UCHAR number = 0;
  ASSERT_EQ(AddGroupName(0, kGroup, &number), NRC_GOODRET);
  EXPECT_EQ(number, 3);
  const auto names = sim_->Names(kLana0);
  ASSERT_EQ(names.size(), 3u);
  EXPECT_TRUE(SameEntry(names[2], NameEntry(kGroup, 3, GROUP_NAME | REGISTERED)));

  UCHAR again = 0;
  EXPECT_EQ(AddGroupName(0, kGroup, &again), NRC_DUPNAME);
  EXPECT_EQ(AddGroupName(0, NameFrom("HOST", 0x20), &again), NRC_DUPNAME);
  EXPECT_EQ(sim_->Names(kLana0).size(), 3u);

  // A deleted name's number is not handed out again at once.
  ASSERT_EQ(DeleteName(0, kGroup), NRC_GOODRET);
  ASSERT_EQ(AddGroupName(0, NameFrom("OTHER"), &again), NRC_GOODRET);
  EXPECT_NE(again, 3);
  EXPECT_NE(again, 0);
}

TEST_F(SimCommandsTest, AddGroupNameRefusesWildcardsAndFullTables) {
  UCHAR number = 0;
  EXPECT_EQ(AddGroupName(0, NameFrom("*"), &number), NRC_NOWILD);
  EXPECT_EQ(AddGroupName(0, SimName{}, &number), NRC_NOWILD);

  sim_->SetNameCapacity(kLana0, 2);
  ASSERT_EQ(AddGroupName(0, NameFrom("ONE"), &number), NRC_GOODRET);
  ASSERT_EQ(AddGroupName(0, NameFrom("TWO"), &number), NRC_GOODRET);
  EXPECT_EQ(AddGroupName(0, NameFrom("THREE"), &number), NRC_NAMTFUL);

  // Room in the table but every number from 1 to 254 taken.
  std::vector<NAME_BUFFER> numbered;
  for (int n = 1; n <= 254; ++n) {
    numbered.push_back(NameEntry(NameFrom("N" + std::to_string(n)), static_cast<UCHAR>(n), 0));
  }
  sim_->SetNames(kLana0, numbered);
  sim_->SetNameCapacity(kLana0, 400);
  EXPECT_EQ(AddGroupName(0, NameFrom("THREE"), &number), NRC_NAMTFUL);
}

TEST_F(SimCommandsTest, DeleteNameRemovesOnlyPresentNames) {
  sim_->SetNames(kLana0, {NameEntry(NameFrom("KEEP"), 1, 0), NameEntry(kGroup, 2, GROUP_NAME)});
  EXPECT_EQ(DeleteName(0, NameFrom("ABSENT")), NRC_NOWILD);
  EXPECT_EQ(DeleteName(0, kGroup), NRC_GOODRET);
  EXPECT_EQ(DeleteName(0, kGroup), NRC_NOWILD);
  const auto names = sim_->Names(kLana0);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].name_num, 1);
}

TEST_F(SimCommandsTest, UnknownCommandsAndLanasFail) {
  NCB ncb{};
  ncb.ncb_command = 0x7F;
  EXPECT_EQ(Netbios(&ncb), NRC_ILLCMD);
  EXPECT_EQ(ncb.ncb_cmd_cplt, NRC_ILLCMD);

  // A receive is only taken asynchronously.
  UCHAR buffer[30];
  ncb = NCB{};
  ncb.ncb_command = NCBDGRECV;
  ncb.ncb_buffer = buffer;
  ncb.ncb_length = sizeof buffer;
  EXPECT_EQ(Netbios(&ncb), NRC_ILLCMD);

  EXPECT_EQ(QueryStatus(1, STATUS_BUFFER_SIZE, LocalAdapter()).code, NRC_BRIDGE);
  UCHAR number = 0;
  EXPECT_EQ(AddGroupName(7, kGroup, &number), NRC_BRIDGE);
}

TEST_F(SimCommandsTest, ThreadsSeeOnlyTheAdaptersOfTheirStation) {
  sim_->AddAdapter({1, 0}, kSegment, {0xA1, 0, 0, 0, 0, 0});
  sim_->AddAdapter({1, 5}, kSegment, {0xA5, 0, 0, 0, 0, 0});
  auto first_address_byte = [](UCHAR lana) {
    const StatusReply reply = QueryStatus(lana, STATUS_BUFFER_SIZE, LocalAdapter());
    return reply.code == NRC_GOODRET ? int{reply.Status().adapter_address[0]} : -reply.code;
  };

  EXPECT_EQ(first_address_byte(0), 1) << "unbound threads are station 0";
  EXPECT_EQ(first_address_byte(5), -NRC_BRIDGE);

  std::thread station1([&] {
    SimNetbios::BindThreadToStation(1);
    EXPECT_EQ(first_address_byte(0), 0xA1);
    EXPECT_EQ(first_address_byte(5), 0xA5);
    EXPECT_EQ(first_address_byte(1), -NRC_BRIDGE);
  });
  station1.join();

  EXPECT_EQ(SimNetbios::BindThreadToStation(2), 0);
  EXPECT_EQ(first_address_byte(0), -NRC_BRIDGE);
  EXPECT_EQ(SimNetbios::BindThreadToStation(0), 2);
  EXPECT_EQ(first_address_byte(0), 1);
}

TEST_F(SimCommandsTest, AsynchronousCommandCompletesThroughPostOnServiceThread) {
  NCB ncb{};
  ncb.ncb_command = NCBADDGRNAME | ASYNCH;
  std::copy(kGroup.begin(), kGroup.end(), ncb.ncb_name);
  ncb.ncb_post = RecordPost;
  EXPECT_EQ(Netbios(&ncb), NRC_PENDING);
  EXPECT_TRUE(PostedOnce(&ncb, NRC_GOODRET));
  EXPECT_EQ(ncb.ncb_num, sim_->Names(kLana0).at(0).name_num);
}

TEST_F(SimCommandsTest, AddingAnExistingAdapterThrows) {
  EXPECT_THROW(sim_->AddAdapter(kLana0, 2, {}), std::invalid_argument);
  EXPECT_THROW(sim_->Names({0, 9}), std::out_of_range);
}

}  // namespace
