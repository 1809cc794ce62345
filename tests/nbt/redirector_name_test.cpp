#include "platform/netbios/nbt/redirector_name.h"

#include <gtest/gtest.h>

namespace {

std::string AsText(const NetbiosName& name) { return std::string(name.begin(), name.end()); }

TEST(RedirectorName, UpperCasesCutsAndPadsTheComputerName) {
  struct Case {
    const char* computer;
    std::string expected;
  };
  const Case cases[] = {
      {"ws7", std::string("WS7            \x02", 16)},
      {"Alpha-Station-Long-Name", std::string("ALPHA-STATION-L\x02", 16)},
      {"exactly15chars_", std::string("EXACTLY15CHARS_\x02", 16)},
      {"", std::string("               \x02", 16)},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AsText(RedirectorName(c.computer)), c.expected) << c.computer;
}

TEST(RedirectorName, ComputerNameComesFromTheEnvironmentElseTheHostName) {
  EXPECT_EQ(ChooseComputerName("station9", "host.example.org"), "station9");
  EXPECT_EQ(ChooseComputerName(nullptr, "host.example.org"), "host");
  EXPECT_EQ(ChooseComputerName("", "plainhost"), "plainhost");
}

}  // namespace
