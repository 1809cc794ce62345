// Allocation in the monitor: the periodic send and poll allocate nothing, and the dialog copes
// when its adapter list or an adapter record cannot be allocated.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/init_done.h"
#include "netbios/nb_commands.h"
#include "platform/ui/resources.h"
#include "res/resource.h"
#include "tests/system/alloc/allocation_probe.h"
#include "tests/system/support/immediate_service.h"
#include "tests/system/support/list_view.h"
#include "tests/system/support/sim_lan.h"
#include "tests/system/virtual_lan.h"

namespace {

TEST(Allocation, SendAndPollAllocateNothing) {
  ui::SetResources(&PellorinResources());
  auto service = std::make_unique<ImmediateService>();
  ImmediateService* immediate = service.get();
  auto previous = InstallNetbiosService(std::move(service));
  constexpr int kLanas = 16;
  constexpr int kTicks = 100;
  std::size_t allocations = 0;
  RunInDialog(0, [&](TestMonitorDlg& dlg) {
    ADAPTER_STATUS status{};
    for (int lana = 0; lana < kLanas; ++lana)
      dlg.AppendLanaNode(static_cast<UCHAR>(lana), 1, PaddedName("LOCAL").data(), status, 0, 0);
    allocation_probe::StartCounting();
    for (int tick = 0; tick < kTicks; ++tick) {
      dlg.SendStatusToGroup();
      dlg.PollReceives();
    }
    allocations = allocation_probe::StopCounting();
  });

  EXPECT_EQ(allocations, 0u);
  EXPECT_EQ(immediate->sends, std::size_t{kLanas * kTicks});
  EXPECT_EQ(immediate->receives, std::size_t{kLanas * kTicks});
  InstallNetbiosService(std::move(previous));
}

class AllocationFailureTest : public VirtualLanTest {
 protected:
  AllocationFailureTest() : m_station(AddStation(1)) {
    AddStationAdapter(Sim(), {1, 0}, 1, "ALDER");
    AddStationAdapter(Sim(), {1, 1}, 2, "ALDER");
  }

  StationThread& m_station;
};

TEST_F(AllocationFailureTest, WithoutAnAdapterListTheDialogStaysEmptyAndClosesQuietly) {
  g_bInitDone = 0;
  allocation_probe::RefuseNothrowAllocation(sizeof(LANA_NODE), 1);
  std::vector<std::string> headers = {"unread"};
  At(500, [&] { headers = ListHeaders(m_station.Dlg().Window()); });
  testing::internal::CaptureStderr();
  RunStations(1000);

  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(Recorder().Commands().empty()) << "no discovery, no teardown";
  EXPECT_TRUE(headers.empty());
  EXPECT_EQ(g_bInitDone.load(), 1u);
  EXPECT_EQ(m_station.Result(), IDCANCEL);
}

TEST_F(AllocationFailureTest, AdapterWhoseRecordCannotBeAllocatedIsSkipped) {
  // The first allocation is the list's sentinel, the second the record for LANA 0.
  allocation_probe::RefuseNothrowAllocation(sizeof(LANA_NODE), 2);
  testing::internal::CaptureStderr();
  RunStations(1010);

  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_EQ(m_station.Dlg().RecordsAfterInit().size(), 1u);
  EXPECT_EQ(m_station.Dlg().RecordsAfterInit()[0].lana_num, 1);
  EXPECT_EQ(Recorder().Count(NCBADDGRNAME), 2u);
  for (const IssuedCommand& c : Recorder().Commands(NCBDGSEND)) EXPECT_EQ(c.Lana(), 1);
  EXPECT_EQ(Recorder().Count(NCBDGSEND), 2u);
  // The group name added on LANA 0 has no record, so the close leaves it registered.
  auto deleted = Recorder().Commands(NCBDELNAME);
  ASSERT_EQ(deleted.size(), 1u);
  EXPECT_EQ(deleted[0].Lana(), 1);
  EXPECT_TRUE(HasGroupName(Sim().Names({1, 0})));
}

}  // namespace
