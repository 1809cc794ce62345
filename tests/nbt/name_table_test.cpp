#include "platform/netbios/nbt/name_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

NetbiosName Name(const std::string& text) {
  NetbiosName name;
  name.fill(' ');
  std::copy(text.begin(), text.end(), name.begin());
  return name;
}

TEST(NameTable, AddsGroupNamesAfterTheRedirectorName) {
  NameTable table = MakeNameTable(Name("HOST"));
  UCHAR first = 0, second = 0;
  ASSERT_EQ(AddGroupName(table, Name("GROUP A"), first), NRC_GOODRET);
  ASSERT_EQ(AddGroupName(table, Name("GROUP B"), second), NRC_GOODRET);
  EXPECT_NE(first, 0);
  EXPECT_NE(second, 0);
  EXPECT_NE(first, second);

  const auto names = ListNames(table);
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(NameFromBytes(names[0].name), Name("HOST"));
  EXPECT_EQ(names[0].name_flags, REGISTERED);
  EXPECT_EQ(NameFromBytes(names[1].name), Name("GROUP A"));
  EXPECT_EQ(names[1].name_num, first);
  EXPECT_EQ(names[1].name_flags, GROUP_NAME | REGISTERED);
  EXPECT_EQ(NameFromBytes(names[2].name), Name("GROUP B"));
  EXPECT_EQ(FindNameNumber(table, second)->name, Name("GROUP B"));
  EXPECT_EQ(FindName(table, Name("GROUP A"))->number, first);
}

TEST(NameTable, RefusesDuplicatesWildcardsAndDeletesOnlyAddedNames) {
  NameTable table = MakeNameTable(Name("HOST"));
  UCHAR number = 0;
  EXPECT_EQ(AddGroupName(table, Name("HOST"), number), NRC_DUPNAME);
  ASSERT_EQ(AddGroupName(table, Name("GROUP"), number), NRC_GOODRET);
  EXPECT_EQ(AddGroupName(table, Name("GROUP"), number), NRC_DUPNAME);
  EXPECT_EQ(AddGroupName(table, Name("*"), number), NRC_NOWILD);
  NetbiosName zero{};
  EXPECT_EQ(AddGroupName(table, zero, number), NRC_NOWILD);

  UCHAR deleted = 0;
  EXPECT_EQ(DeleteName(table, Name("HOST"), deleted), NRC_NOWILD);
  EXPECT_EQ(DeleteName(table, Name("GROUP"), deleted), NRC_GOODRET);
  EXPECT_EQ(deleted, number);
  EXPECT_EQ(DeleteName(table, Name("GROUP"), deleted), NRC_NOWILD);
  EXPECT_EQ(FindNameNumber(table, number), nullptr);
}

TEST(NameTable, HoldsAsManyNamesAsAStatusBufferLists) {
  NameTable table = MakeNameTable(Name("HOST"));
  std::set<UCHAR> numbers;
  for (int i = 0; i < MAX_STATUS_NAMES - 1; ++i) {
    UCHAR number = 0;
    ASSERT_EQ(AddGroupName(table, Name("G" + std::to_string(i)), number), NRC_GOODRET) << i;
    EXPECT_NE(number, 0);
    numbers.insert(number);
  }
  EXPECT_EQ(numbers.size(), static_cast<std::size_t>(MAX_STATUS_NAMES - 1));
  UCHAR number = 0;
  EXPECT_EQ(AddGroupName(table, Name("ONE TOO MANY"), number), NRC_NAMTFUL);
  EXPECT_EQ(ListNames(table).size(), static_cast<std::size_t>(MAX_STATUS_NAMES));

  // A freed number is given out again; 0 never is.
  UCHAR freed = 0;
  ASSERT_EQ(DeleteName(table, Name("G7"), freed), NRC_GOODRET);
  ASSERT_EQ(AddGroupName(table, Name("AGAIN"), number), NRC_GOODRET);
  EXPECT_EQ(number, freed);
}

}  // namespace
