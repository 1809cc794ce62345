// The six NetBIOS commands as the monitor issues them, and the post routine of its receives.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "exchange/status_dgram.h"
#include "netbios/lana_node.h"
#include "netbios/nb_commands.h"
#include "platform/netbios/sim/sim_netbios.h"
#include "tests/system/support/immediate_service.h"
#include "tests/system/support/recording_service.h"
#include "tests/system/support/sim_lan.h"

namespace {

// Completes every synchronous command at once with the code the test chose, and hands every
// block back with ncb_num set to 9 whatever the code, so a wrapper that reads the number on
// failure is caught. Asynchronous commands stay pending.
class ScriptedService final : public NetbiosService {
 public:
  UCHAR code = NRC_GOODRET;

  UCHAR Submit(NCB* ncb) override {
    if (ncb->ncb_command & ASYNCH) {
      ncb->ncb_cmd_cplt = NRC_PENDING;
      return NRC_PENDING;
    }
    ncb->ncb_num = 9;
    CompleteCommand(ncb, code);
    return code;
  }
};

class CommandLayerTest : public ::testing::Test {
 protected:
  CommandLayerTest() {
    auto scripted = std::make_unique<ScriptedService>();
    m_scripted = scripted.get();
    auto recorder = std::make_unique<RecordingService>(std::move(scripted));
    m_recorder = recorder.get();
    m_previous = InstallNetbiosService(std::move(recorder));
  }
  ~CommandLayerTest() override { InstallNetbiosService(std::move(m_previous)); }

  IssuedCommand Only() {
    auto commands = m_recorder->Commands();
    EXPECT_EQ(commands.size(), 1u);
    return commands.empty() ? IssuedCommand{} : commands.front();
  }

  // A name in a heap block of exactly 16 bytes, so that reading a 17th byte is caught by
  // AddressSanitizer; zero bytes inside, the last byte not zero.
  static std::unique_ptr<UCHAR[]> ExactName(std::initializer_list<UCHAR> bytes) {
    auto name = std::make_unique<UCHAR[]>(NCBNAMSZ);
    std::copy(bytes.begin(), bytes.end(), name.get());
    return name;
  }

  static bool AllZero(const UCHAR* bytes, std::size_t n) {
    return std::all_of(bytes, bytes + n, [](UCHAR b) { return b == 0; });
  }

  // The fields no wrapper may set.
  static void ExpectUntouchedFields(const NCB& ncb) {
    EXPECT_EQ(ncb.ncb_retcode, 0);
    EXPECT_EQ(ncb.ncb_lsn, 0);
    EXPECT_EQ(ncb.ncb_rto, 0);
    EXPECT_EQ(ncb.ncb_sto, 0);
    EXPECT_EQ(ncb.ncb_cmd_cplt, 0);
    EXPECT_TRUE(AllZero(ncb.ncb_reserve, sizeof ncb.ncb_reserve));
    EXPECT_EQ(ncb.ncb_event, nullptr);
  }

  ScriptedService* m_scripted;
  RecordingService* m_recorder;
  std::unique_ptr<NetbiosService> m_previous;
};

TEST_F(CommandLayerTest, AdapterStatusAsksForTheFullBufferWithSixteenCallNameBytes) {
  auto callname = ExactName({'*', 0, 'Q', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x7F});
  UCHAR small_buffer[8] = {};
  EXPECT_TRUE(NbAdapterStatus(small_buffer, 7, callname.get()));

  const NCB issued = Only().issued;
  EXPECT_EQ(issued.ncb_command, NCBASTAT);
  EXPECT_EQ(issued.ncb_length, 4652);
  EXPECT_EQ(issued.ncb_buffer, small_buffer);
  EXPECT_EQ(issued.ncb_lana_num, 7);
  EXPECT_EQ(0, std::memcmp(issued.ncb_callname, callname.get(), NCBNAMSZ));
  EXPECT_EQ(issued.ncb_num, 0);
  EXPECT_TRUE(AllZero(issued.ncb_name, NCBNAMSZ));
  EXPECT_EQ(issued.ncb_post, nullptr);
  ExpectUntouchedFields(issued);
}

TEST_F(CommandLayerTest, NameCommandsCopyTheSixteenBytesOfTheName) {
  auto name =
      ExactName({'B', 'r', 'u', 'm', 0, 'i', 'c', 'k', 'P', 'E', 'L', 'L', 'O', 0, 'I', 'N'});
  NbAddGroupName(3, name.get());
  NbDeleteName(4, name.get());

  auto commands = m_recorder->Commands();
  ASSERT_EQ(commands.size(), 2u);
  const UCHAR expected_command[] = {NCBADDGRNAME, NCBDELNAME};
  const UCHAR expected_lana[] = {3, 4};
  for (std::size_t i = 0; i < 2; ++i) {
    const NCB& issued = commands[i].issued;
    EXPECT_EQ(issued.ncb_command, expected_command[i]);
    EXPECT_EQ(issued.ncb_lana_num, expected_lana[i]);
    EXPECT_EQ(0, std::memcmp(issued.ncb_name, name.get(), NCBNAMSZ));
    EXPECT_TRUE(AllZero(issued.ncb_callname, NCBNAMSZ));
    EXPECT_EQ(issued.ncb_buffer, nullptr);
    EXPECT_EQ(issued.ncb_length, 0);
    EXPECT_EQ(issued.ncb_num, 0);
    ExpectUntouchedFields(issued);
  }
}

TEST_F(CommandLayerTest, SendAndReceiveChangeOnlyTheCommandAndThePostRoutine) {
  STATUS_DGRAM dgram{};
  NCB prepared{};
  prepared.ncb_num = 5;
  prepared.ncb_buffer = reinterpret_cast<UCHAR*>(&dgram);
  prepared.ncb_length = 30;
  std::memcpy(prepared.ncb_callname, MONITOR_GROUP_NAME, NCBNAMSZ);
  prepared.ncb_lana_num = 6;

  NCB send = prepared;
  NbSendDatagram(&send);
  NCB receive = prepared;
  NbPostReceive(&receive);

  auto commands = m_recorder->Commands();
  ASSERT_EQ(commands.size(), 2u);
  NCB expected_send = prepared;
  expected_send.ncb_command = NCBDGSEND;
  EXPECT_EQ(0, std::memcmp(&commands[0].issued, &expected_send, sizeof(NCB)));
  EXPECT_EQ(commands[0].ncb, &send);

  NCB expected_receive = prepared;
  expected_receive.ncb_command = NCBDGRECV | ASYNCH;
  expected_receive.ncb_post = NetbiosPost;
  EXPECT_EQ(0, std::memcmp(&commands[1].issued, &expected_receive, sizeof(NCB)));
  EXPECT_EQ(commands[1].ncb, &receive);
}

TEST_F(CommandLayerTest, CancelNamesTheOutstandingBlockInABlockOfItsOwn) {
  NCB outstanding{};
  NbCancel(&outstanding, 12);

  const IssuedCommand cancel = Only();
  EXPECT_NE(cancel.ncb, &outstanding);
  EXPECT_EQ(cancel.issued.ncb_command, NCBCANCEL);
  EXPECT_EQ(cancel.issued.ncb_buffer, reinterpret_cast<UCHAR*>(&outstanding));
  EXPECT_EQ(cancel.issued.ncb_lana_num, 12);
  EXPECT_EQ(cancel.issued.ncb_length, 0);
  EXPECT_EQ(cancel.issued.ncb_post, nullptr);
  ExpectUntouchedFields(cancel.issued);
}

// Every wrapper's result for one completion code: success only for 0, the name number only
// with success, the cancel's own code passed on as it is.
class CommandResultTest : public CommandLayerTest, public ::testing::WithParamInterface<UCHAR> {};

TEST_P(CommandResultTest, ResultFollowsTheCompletionCode) {
  const UCHAR code = GetParam();
  const bool ok = code == NRC_GOODRET;
  m_scripted->code = code;
  UCHAR buffer[STATUS_BUFFER_SIZE];
  NCB block{};

  EXPECT_EQ(NbAdapterStatus(buffer, 0, LOCAL_CALLNAME), ok);
  EXPECT_EQ(NbAddGroupName(0, MONITOR_GROUP_NAME), ok ? 9 : 0);
  EXPECT_EQ(NbDeleteName(0, MONITOR_GROUP_NAME), ok);
  EXPECT_EQ(NbSendDatagram(&block), ok);
  EXPECT_EQ(NbCancel(&block, 0), code);
}

INSTANTIATE_TEST_SUITE_P(Codes, CommandResultTest,
                         ::testing::Values(NRC_GOODRET, NRC_BUFLEN, NRC_INCOMP, NRC_CMDCAN,
                                           NRC_DUPNAME, NRC_BRIDGE, NRC_CANOCCR, NRC_SYSTEM,
                                           NRC_PENDING),
                         [](const auto& info) { return "Code" + std::to_string(info.param); });

struct PostCase {
  const char* what;
  UCHAR command;
  UCHAR code;
  bool sets_entry;
};

void PrintTo(const PostCase& c, std::ostream* os) { *os << c.what; }

class NetbiosPostTest : public ::testing::TestWithParam<PostCase> {};

TEST_P(NetbiosPostTest, SetsTheEntryOnlyForACompletedReceive) {
  constexpr UCHAR kLana = 9;
  for (auto& entry : g_LanaRecvDone) entry = 0;
  NCB ncb{};
  ncb.ncb_command = GetParam().command;
  ncb.ncb_cmd_cplt = GetParam().code;
  ncb.ncb_lana_num = kLana;
  NetbiosPost(&ncb);
  EXPECT_EQ(g_LanaRecvDone[kLana].load(), GetParam().sets_entry ? 1u : 0u);
  for (int lana = 0; lana < 256; ++lana) {
    if (lana == kLana) continue;
    EXPECT_EQ(g_LanaRecvDone[lana].load(), 0u) << lana;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, NetbiosPostTest,
    ::testing::Values(PostCase{"ReceiveDone", NCBDGRECV | ASYNCH, NRC_GOODRET, true},
                      PostCase{"ReceiveCancelled", NCBDGRECV | ASYNCH, NRC_CMDCAN, true},
                      PostCase{"ReceiveTooLong", NCBDGRECV | ASYNCH, NRC_INCOMP, true},
                      PostCase{"ReceiveFailed", NCBDGRECV | ASYNCH, NRC_NAMERR, true},
                      PostCase{"ReceiveStillPending", NCBDGRECV | ASYNCH, NRC_PENDING, false},
                      PostCase{"SynchronousReceive", NCBDGRECV, NRC_GOODRET, false},
                      PostCase{"Send", NCBDGSEND | ASYNCH, NRC_GOODRET, false},
                      PostCase{"Cancel", NCBCANCEL, NRC_GOODRET, false}),
    [](const auto& info) { return std::string(info.param.what); });

// The receive's life on the simulated service: pending until a datagram or a cancel completes
// it on the service's thread, and only the post routine sets the entry.
class ReceiveLifeTest : public ::testing::Test {
 protected:
  static constexpr UCHAR kLana = 4;
  static constexpr int kSegment = 1;

  ReceiveLifeTest() {
    auto sim = std::make_unique<SimNetbios>();
    m_sim = sim.get();
    m_previous = InstallNetbiosService(std::move(sim));
    m_sim->AddAdapter({0, kLana}, kSegment, NodeOf({0, kLana}));
    m_number = NbAddGroupName(kLana, MONITOR_GROUP_NAME);
  }
  ~ReceiveLifeTest() override { InstallNetbiosService(std::move(m_previous)); }

  void PostReceive() {
    std::memset(&m_receive, 0, sizeof m_receive);
    std::memset(&m_buffer, 0, sizeof m_buffer);
    m_receive.ncb_num = m_number;
    m_receive.ncb_buffer = reinterpret_cast<UCHAR*>(&m_buffer);
    m_receive.ncb_length = sizeof m_buffer;
    m_receive.ncb_lana_num = kLana;
    g_LanaRecvDone[kLana] = 0;
    EXPECT_FALSE(NbPostReceive(&m_receive));
  }

  SimNetbios* m_sim;
  std::unique_ptr<NetbiosService> m_previous;
  UCHAR m_number = 0;
  NCB m_receive{};
  STATUS_DGRAM m_buffer{};
};

TEST_F(ReceiveLifeTest, PendingReceiveIsReportedOnlyThroughThePostRoutine) {
  ASSERT_NE(m_number, 0);
  PostReceive();
  m_sim->WaitIdle();
  EXPECT_EQ(g_LanaRecvDone[kLana].load(), 0u);
  EXPECT_EQ(ReadCompletion(m_receive), NRC_PENDING);

  STATUS_DGRAM sent = MakeDatagram(PaddedName("PEER"), 17, 3, NodeOf({2, 0}));
  m_sim->InjectDatagram(kSegment, PaddedName("PEER"), GroupName(), BytesOf(sent));
  m_sim->WaitIdle();
  EXPECT_EQ(g_LanaRecvDone[kLana].load(), 1u);
  EXPECT_EQ(ReadCompletion(m_receive), NRC_GOODRET);
  EXPECT_EQ(BytesOf(m_buffer), BytesOf(sent));
}

TEST_F(ReceiveLifeTest, CancelledReceiveCompletesWithAnErrorAndStillSetsTheEntry) {
  PostReceive();
  EXPECT_EQ(NbCancel(&m_receive, kLana), NRC_GOODRET);
  m_sim->WaitIdle();
  EXPECT_EQ(ReadCompletion(m_receive), NRC_CMDCAN);
  EXPECT_EQ(g_LanaRecvDone[kLana].load(), 1u);
  // Nothing is outstanding any more: a second cancel finds nothing to cancel.
  EXPECT_EQ(NbCancel(&m_receive, kLana), NRC_CANOCCR);
}

TEST(NbPostReceive, ReceiveThatCompletesAtOnceYieldsTrue) {
  auto previous = InstallNetbiosService(std::make_unique<ImmediateService>());
  NCB receive{};
  receive.ncb_lana_num = 1;
  g_LanaRecvDone[1] = 0;
  EXPECT_TRUE(NbPostReceive(&receive));
  EXPECT_EQ(g_LanaRecvDone[1].load(), 1u);
  InstallNetbiosService(std::move(previous));
}

}  // namespace
