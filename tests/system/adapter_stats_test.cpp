// The error rate computed from an adapter's statistics, and the refresh of a record's figures.
#include "netbios/adapter_stats.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "tests/system/support/sim_lan.h"

namespace {

struct RateCase {
  const char* what;
  WORD frmr_recv, frmr_xmit;
  DWORD xmit_success, recv_success;
  WORD iframe_recv_err, xmit_aborts, iframe_xmit_err;
  unsigned rate;
};

void PrintTo(const RateCase& c, std::ostream* os) { *os << c.what; }

class ErrorRateTest : public ::testing::TestWithParam<RateCase> {};

TEST_P(ErrorRateTest, ErrorsPerWholeHundredFrames) {
  const RateCase& c = GetParam();
  ADAPTER_STATUS status{};
  status.frmr_recv = c.frmr_recv;
  status.frmr_xmit = c.frmr_xmit;
  status.xmit_success = c.xmit_success;
  status.recv_success = c.recv_success;
  status.iframe_recv_err = c.iframe_recv_err;
  status.xmit_aborts = c.xmit_aborts;
  status.iframe_xmit_err = c.iframe_xmit_err;
  EXPECT_EQ(ComputeErrorRate(status), c.rate);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ErrorRateTest,
    ::testing::Values(RateCase{"FewerThanHundredFrames", 0, 0, 60, 39, 500, 0, 0, 0},
                      RateCase{"OneAndAHalfHundred", 0, 0, 150, 0, 3, 0, 0, 3},
                      RateCase{"HundredsTruncatedBeforeDividing", 0, 0, 199, 0, 3, 0, 0, 3},
                      RateCase{"ThousandFramesFiveErrors", 0, 0, 600, 400, 5, 0, 0, 0},
                      RateCase{"RateAbove255", 0, 0, 100, 0, 300, 0, 0, 300},
                      RateCase{"EveryCounterCounts", 50, 50, 100, 100, 3, 4, 2, 3},
                      RateCase{"FrameTotalWrapsAt32Bits", 0, 0, 0xFFFFFFFF, 101, 7, 0, 0, 7},
                      RateCase{"LargestErrorSum", 0, 0, 100, 0, 65535, 65535, 65535, 196605}),
    [](const auto& info) { return std::string(info.param.what); });

// Every field of the two records holds the same bytes.
bool SameRecord(const LANA_NODE& a, const LANA_NODE& b) {
  return a.lana_num == b.lana_num && a.name_num == b.name_num && a.next == b.next &&
         std::memcmp(&a.recv_ncb, &b.recv_ncb, sizeof(NCB)) == 0 &&
         BytesOf(a.send_dgram) == BytesOf(b.send_dgram) &&
         BytesOf(a.recv_dgram) == BytesOf(b.recv_dgram);
}

class RefreshTest : public ::testing::Test {
 protected:
  static constexpr SimAdapterId kAdapter{0, 3};

  RefreshTest() {
    auto sim = std::make_unique<SimNetbios>();
    m_sim = sim.get();
    m_previous = InstallNetbiosService(std::move(sim));
    m_sim->AddAdapter(kAdapter, 1, {1, 2, 3, 4, 5, 6});
    std::memset(&m_node, 0, sizeof m_node);
    m_node.lana_num = kAdapter.lana;
    m_node.name_num = 4;
    m_node.send_dgram = MakeDatagram(PaddedName("KEPT"), 10, 1, NodeOf(kAdapter));
    m_node.recv_dgram = MakeDatagram(PaddedName("HEARD"), 20, 2, NodeOf({9, 9}));
    m_node.recv_ncb.ncb_num = 4;
    m_node.recv_ncb.ncb_length = 30;
  }
  ~RefreshTest() override { InstallNetbiosService(std::move(m_previous)); }

  SimNetbios* m_sim;
  std::unique_ptr<NetbiosService> m_previous;
  LANA_NODE m_node{};
};

TEST_F(RefreshTest, SuccessRewritesOnlyMinutesAndRate) {
  SetFigures(*m_sim, kAdapter, 301, 100, 300);
  LANA_NODE expected = m_node;
  SetMinutesRunning(expected.send_dgram, 301);
  expected.send_dgram.error_rate = 44;
  RefreshAdapterStats(&m_node);
  EXPECT_TRUE(SameRecord(m_node, expected));
}

TEST_F(RefreshTest, FailedQueryLeavesTheRecordAsItWas) {
  SetFigures(*m_sim, kAdapter, 301, 100, 300);
  m_sim->FailCommand(kAdapter, NCBASTAT, NRC_SYSTEM);
  const LANA_NODE before = m_node;
  RefreshAdapterStats(&m_node);
  EXPECT_TRUE(SameRecord(m_node, before));
}

}  // namespace
