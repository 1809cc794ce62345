// The station list: the texts a datagram produces, how it finds its row again, the Local and
// Active decision and the ageing pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/ui/resources.h"
#include "res/resource.h"
#include "tests/system/support/list_view.h"
#include "tests/system/support/sim_lan.h"
#include "tests/system/support/station_thread.h"

namespace {

// A datagram arriving on a local adapter whose own redirector name is `local`.
struct Arrival {
  UCHAR lana;
  SimName local;
  STATUS_DGRAM dgram;
};

// The rows a dialog's list holds after the arrivals, shown in order.
std::vector<ListRow> RowsAfter(const std::vector<Arrival>& arrivals) {
  std::vector<ListRow> rows;
  RunInDialog(0, [&](TestMonitorDlg& dlg) {
    for (const Arrival& a : arrivals) {
      LANA_NODE node{};
      node.lana_num = a.lana;
      std::copy(a.local.begin(), a.local.end(), node.send_dgram.station_name);
      node.recv_dgram = a.dgram;
      dlg.ShowStationDatagram(&node);
    }
    rows = ListRows(dlg.Window());
  });
  return rows;
}

const SimNodeAddress kNodeA = {0x02, 0, 0, 0, 0, 0xA};
const SimNodeAddress kNodeB = {0x02, 0, 0, 0, 0, 0xB};
const SimNodeAddress kNodeC = {0x02, 0, 0, 0, 0, 0xC};
const SimName kLocal = PaddedName("ABCDEFGHIJKLMNO");

STATUS_DGRAM From(const SimName& name, const SimNodeAddress& node, WORD minutes = 1,
                  UCHAR rate = 0) {
  return MakeDatagram(name, minutes, rate, node);
}

SimName Changed(SimName name, std::size_t index, UCHAR byte) {
  name[index] = byte;
  return name;
}

struct ListCase {
  const char* what;
  std::vector<Arrival> arrivals;
  std::vector<ListRow> rows;
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << c.what; }

class StationListTest : public ::testing::TestWithParam<ListCase> {
 protected:
  StationListTest() { ui::SetResources(&PellorinResources()); }
};

TEST_P(StationListTest, RowsMatchTheArrivals) {
  EXPECT_EQ(RowsAfter(GetParam().arrivals), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StationListTest,
    ::testing::Values(
        ListCase{"FirstDatagramAppendsARowWithEmptyStatus",
                 {{0, kLocal, From(PaddedName("BIRCH"), kNodeB, 12, 3)}},
                 {{"00", NameCell("BIRCH"), "02000000000B", "12", "", "3%"}}},
        ListCase{
            "CellTexts",
            {{10, kLocal, From(PaddedName("WIDE"), {0x00, 0x60, 0x8C, 0x12, 0xAB, 0x0F}, 65535, 0)},
             {0, kLocal, From(PaddedName("HIGH"), kNodeB, 0, 255)}},
            {{"0A", NameCell("WIDE"), "00608C12AB0F", "65535", "", "0%"},
             {"00", NameCell("HIGH"), "02000000000B", "0", "", "255%"}}},
        ListCase{"ZeroByteEndsTheName",
                 {{0, kLocal, From(Changed(PaddedName("ABCDEFG"), 3, 0), kNodeA)}},
                 {{"00", "ABC", "02000000000A", "1", "", "0%"}}},
        ListCase{"NextDatagramUpdatesFiguresAndStatus",
                 {{0, kLocal, From(PaddedName("BIRCH"), kNodeB, 12, 3)},
                  {0, kLocal, From(PaddedName("BIRCH"), kNodeB, 13, 4)}},
                 {{"00", NameCell("BIRCH"), "02000000000B", "13", "Active", "4%"}}},
        // Local/Active looks at the first 14 bytes only, exactly, case included.
        ListCase{"LocalWhenFirst14BytesAgree",
                 {{0, kLocal, From(Changed(kLocal, 14, 'Z'), kNodeA)},
                  {0, kLocal, From(Changed(kLocal, 14, 'Z'), kNodeA)},
                  {0, kLocal, From(Changed(kLocal, 15, 0x03), kNodeB)},
                  {0, kLocal, From(Changed(kLocal, 15, 0x03), kNodeB)},
                  {0, kLocal, From(Changed(kLocal, 13, 'Z'), kNodeC)},
                  {0, kLocal, From(Changed(kLocal, 13, 'Z'), kNodeC)}},
                 {{"00", "ABCDEFGHIJKLMNZ", "02000000000A", "1", "Local", "0%"},
                  {"00", "ABCDEFGHIJKLMNO", "02000000000B", "1", "Local", "0%"},
                  {"00", "ABCDEFGHIJKLMZO", "02000000000C", "1", "Active", "0%"}}},
        ListCase{"LetterCaseMakesAnotherName",
                 {{0, kLocal, From(PaddedName("abcdefghijklmno"), kNodeA)},
                  {0, kLocal, From(PaddedName("abcdefghijklmno"), kNodeA)}},
                 {{"00", "abcdefghijklmno", "02000000000A", "1", "Active", "0%"}}},
        ListCase{"LocalNameEndsAtItsFirstZeroByte",
                 {{0, Changed(PaddedName("ALDER"), 5, 0), From(PaddedName("ALDER"), kNodeA)},
                  {0, Changed(PaddedName("ALDER"), 5, 0), From(PaddedName("ALDER"), kNodeA)},
                  {0, Changed(PaddedName("ALDER"), 5, 0),
                   From(Changed(PaddedName("ALDER"), 5, 0), kNodeB)},
                  {0, Changed(PaddedName("ALDER"), 5, 0),
                   From(Changed(PaddedName("ALDER"), 5, 0), kNodeB)}},
                 {{"00", NameCell("ALDER"), "02000000000A", "1", "Active", "0%"},
                  {"00", "ALDER", "02000000000B", "1", "Local", "0%"}}},
        // A known node address on the same adapter keeps its row, and its first name decides.
        ListCase{"KnownNodeKeepsItsFirstName",
                 {{0, kLocal, From(kLocal, kNodeA, 1, 1)},
                  {0, kLocal, From(PaddedName("RENAMED"), kNodeA, 2, 2)},
                  {0, kLocal, From(PaddedName("OTHER"), kNodeB, 1, 1)},
                  {0, kLocal, From(kLocal, kNodeB, 2, 2)}},
                 {{"00", "ABCDEFGHIJKLMNO", "02000000000A", "2", "Local", "2%"},
                  {"00", NameCell("OTHER"), "02000000000B", "2", "Active", "2%"}}},
        // One station heard on two adapters: two rows, each judged by its own adapter's name.
        ListCase{"TwoAdaptersGiveTwoRows",
                 {{0, PaddedName("ALDER"), From(PaddedName("ALDER"), kNodeA)},
                  {1, PaddedName("ALDER-B"), From(PaddedName("ALDER"), kNodeA)},
                  {0, PaddedName("ALDER"), From(PaddedName("ALDER"), kNodeA)},
                  {1, PaddedName("ALDER-B"), From(PaddedName("ALDER"), kNodeA)}},
                 {{"00", NameCell("ALDER"), "02000000000A", "1", "Local", "0%"},
                  {"01", NameCell("ALDER"), "02000000000A", "1", "Active", "0%"}}},
        ListCase{"RowsStayInInsertionOrder",
                 {{0, kLocal, From(PaddedName("CEDAR"), kNodeC)},
                  {0, kLocal, From(PaddedName("ALDER"), kNodeA)},
                  {0, kLocal, From(PaddedName("CEDAR"), kNodeC, 5)},
                  {0, kLocal, From(PaddedName("BIRCH"), kNodeB)}},
                 {{"00", NameCell("CEDAR"), "02000000000C", "5", "Active", "0%"},
                  {"00", NameCell("ALDER"), "02000000000A", "1", "", "0%"},
                  {"00", NameCell("BIRCH"), "02000000000B", "1", "", "0%"}}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(AgeStationList, EveryRowButLocalTurnsInactive) {
  ui::SetResources(&PellorinResources());
  const std::vector<std::string> before = {"", "Active", "Inactive", "Local", "local", "Local "};
  const std::vector<std::string> after = {"Inactive", "Inactive", "Inactive",
                                          "Local",    "Inactive", "Inactive"};
  std::vector<std::string> statuses;
  RunInDialog(0, [&](TestMonitorDlg& dlg) {
    for (std::size_t i = 0; i < before.size(); ++i) {
      LANA_NODE node{};
      node.recv_dgram = From(PaddedName("S" + std::to_string(i)), {2, 0, 0, 0, 0, UCHAR(i)}, 7, 9);
      dlg.ShowStationDatagram(&node);
      dlg.m_StationList.SetItemText(static_cast<int>(i), 4, before[i].c_str());
    }
    dlg.AgeStationList();
    for (const ListRow& row : ListRows(dlg.Window())) {
      statuses.push_back(row[4]);
      EXPECT_EQ(row[3], "7");
      EXPECT_EQ(row[5], "9%");
    }
  });
  EXPECT_EQ(statuses, after);
}

}  // namespace
