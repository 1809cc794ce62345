// The real service on a LAN of network namespaces: each station is the test driver
// (nbt_driver) in a host namespace of its own; the bridges live in a switch namespace.
// Nothing here sends in the machine's own namespace.
#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <string>
#include <thread>

#include "tests/common/hex_text.h"
#include "tests/common/netns_lan.h"
#include "tests/common/rfc1002_datagram.h"
#include "tests/nbt/driver_client.h"

namespace {

const std::string kGroup = Hex("NbtTestGroupName");
const std::string kData30 =
    Hex(std::string("STATION-ONE    \x02\x2c\x01\x07\0\0\0\0\x00\x60\x8c\x12\xab\x0f\0", 30));

// "key=value" out of a driver answer.
std::string Field(const std::string& answer, const std::string& key) {
  const std::regex pattern("(^| )" + key + "=([^ ]*)");
  std::smatch match;
  return std::regex_search(answer, match, pattern) ? match[2].str() : "";
}

long Number(const std::string& answer, const std::string& key) {
  const std::string value = Field(answer, key);
  return value.empty() ? -1 : std::stol(value);
}

class NbtLan : public ::testing::Test {
 protected:
  static constexpr int kHosts = 3;

  void SetUp() override {
    const std::string why = WhyNoNamespaces();
    if (!why.empty()) GTEST_SKIP() << why;
    lan_ = std::make_unique<NetnsLan>(kHosts, true);
    ASSERT_TRUE(lan_->Ready()) << "tools/netns-lan.sh did not build the LAN";
  }

  // A station on host i (1-based) with its group name added on LANAs 0 and 1 (number 2).
  std::unique_ptr<Driver> Station(int i) {
    auto driver = std::make_unique<Driver>(lan_->Host(i), "station" + std::to_string(i));
    EXPECT_EQ(driver->Do("add 0 " + kGroup), "add 00 2");
    EXPECT_EQ(driver->Do("add 1 " + kGroup), "add 00 2");
    return driver;
  }

  std::string Sysfs(int host, const std::string& path) {
    return RunIn(lan_->Host(host), {"cat", "/sys/class/net/" + path});
  }

  std::unique_ptr<NetnsLan> lan_;
};

TEST_F(NbtLan, StatusComesFromTheInterface) {
  Driver driver(lan_->Host(1), "Alpha-Station-Long-Name");
  EXPECT_EQ(driver.Do("lanas"), "lanas 0 1");
  ASSERT_EQ(driver.Do("add 0 " + kGroup), "add 00 2");

  const long tx_before = std::stol(Sysfs(1, "eth0/statistics/tx_packets"));
  const long rx_before = std::stol(Sysfs(1, "eth0/statistics/rx_packets"));
  const std::string status = driver.Do("status 0");
  const long tx_after = std::stol(Sysfs(1, "eth0/statistics/tx_packets"));
  const long rx_after = std::stol(Sysfs(1, "eth0/statistics/rx_packets"));

  EXPECT_EQ(status.substr(0, 9), "status 00") << status;
  std::string mac = Sysfs(1, "eth0/address");
  std::erase(mac, ':');
  EXPECT_EQ(Field(status, "mac"), mac);
  EXPECT_GE(Number(status, "xmit"), tx_before);
  EXPECT_LE(Number(status, "xmit"), tx_after);
  EXPECT_GE(Number(status, "recv"), rx_before);
  EXPECT_LE(Number(status, "recv"), rx_after);
  EXPECT_EQ(Number(status, "rxerr"), std::stol(Sysfs(1, "eth0/statistics/rx_errors")));
  EXPECT_EQ(Number(status, "txerr"), std::stol(Sysfs(1, "eth0/statistics/tx_errors")));
  EXPECT_EQ(Number(status, "aborts"), std::stol(Sysfs(1, "eth0/statistics/tx_aborted_errors")));
  EXPECT_EQ(Number(status, "frmr"), 0);
  const double uptime = std::stod(RunIn(lan_->Host(1), {"cut", "-d ", "-f1", "/proc/uptime"}));
  EXPECT_NEAR(Number(status, "duration"), std::min(65535.0, uptime / 60), 1.0);
  EXPECT_EQ(Field(status, "names"), NameHex("ALPHA-STATION-L", 0x02) + "/1/04," + kGroup + "/2/84");

  // The second interface is a LANA of its own with its own hardware address.
  std::string mac1 = Sysfs(1, "eth1/address");
  std::erase(mac1, ':');
  EXPECT_EQ(Field(driver.Do("status 1"), "mac"), mac1);

  // A buffer with room for the record and one name: what fits, and NRC_INCOMP.
  const std::string short_status = driver.Do("status 0 78");
  EXPECT_EQ(short_status.substr(0, 9), "status 06") << short_status;
  EXPECT_EQ(Number(short_status, "len"), 78);
  EXPECT_EQ(Number(short_status, "count"), 1);

  EXPECT_EQ(driver.Do("status 2"), "status 23 len=4652");
  EXPECT_EQ(driver.Quit(), 0);
}

TEST_F(NbtLan, NameCommandsAnswerWithNetbiosCodes) {
  Driver driver(lan_->Host(1), "station1");
  EXPECT_EQ(driver.Do("add 0 " + kGroup), "add 00 2");
  EXPECT_EQ(driver.Do("add 0 " + kGroup), "add 0d 0");  // duplicate
  EXPECT_EQ(driver.Do("add 0 " + NameHex("STATION1", 0x02)), "add 0d 0");
  EXPECT_EQ(driver.Do("add 1 " + kGroup), "add 00 2");  // tables are per LANA
  EXPECT_EQ(driver.Do("add 9 " + kGroup), "add 23 0");  // no such LANA
  EXPECT_EQ(driver.Do("del 0 " + kGroup), "del 00");
  EXPECT_EQ(driver.Do("del 0 " + kGroup), "del 15");              // not found
  EXPECT_EQ(driver.Do("send 0 2 " + kGroup + " 00"), "send 15");  // name number gone
  EXPECT_EQ(driver.Quit(), 0);
}

TEST_F(NbtLan, GroupDatagramReachesEveryStationOnItsNetworkOnce) {
  auto one = Station(1), two = Station(2), three = Station(3);
  for (auto* station : {one.get(), two.get(), three.get()}) {
    ASSERT_EQ(station->Do("recv a 0 2 30"), "recv a ff");
    ASSERT_EQ(station->Do("recv b 0 2 30"), "recv b ff");
    ASSERT_EQ(station->Do("recv c 1 2 30"), "recv c ff");
  }
  ASSERT_EQ(three->Do("send 0 2 " + kGroup + " " + kData30), "send 00");

  // Every station, the sender too (the kernel's copy of its broadcast), gets it once: the
  // first receive takes it, the second stays outstanding, LANA 1 (another network) hears none.
  const std::string expected =
      "code=00 len=30 from=" + kGroup + " data=" + kData30 + " thread=service";
  for (auto* station : {one.get(), two.get(), three.get()}) {
    EXPECT_EQ(station->Do("wait a 2000"), "done a " + expected);
    EXPECT_EQ(station->Do("wait b 300"), "timeout b");
    EXPECT_EQ(station->Do("wait c 10"), "timeout c");
  }

  // Over the second network, to LANA 1 only.
  ASSERT_EQ(one->Do("send 1 2 " + kGroup + " 6869"), "send 00");
  EXPECT_EQ(two->Do("wait c 2000"),
            "done c code=00 len=2 from=" + kGroup + " data=6869 thread=service");
  EXPECT_EQ(two->Do("wait b 300"), "timeout b");
  for (auto* station : {one.get(), two.get(), three.get()}) EXPECT_EQ(station->Quit(), 0);
}

TEST_F(NbtLan, DatagramsWithoutAnOutstandingReceiveOrToOtherNamesAreDiscarded) {
  auto one = Station(1), two = Station(2);
  ASSERT_EQ(two->Do("send 0 2 " + kGroup + " 01"), "send 00");  // nobody listens yet
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ASSERT_EQ(one->Do("recv a 0 2 30"), "recv a ff");
  ASSERT_EQ(two->Do("send 0 2 " + Hex("SomeOtherGroupNm") + " 02"), "send 00");
  ASSERT_EQ(two->Do("send 0 2 " + kGroup + " 03"), "send 00");
  EXPECT_EQ(one->Do("wait a 2000"),
            "done a code=00 len=1 from=" + kGroup + " data=03 thread=service");

  // A unique datagram to a station's redirector name reaches a receive on that name (number 1).
  ASSERT_EQ(one->Do("recv r 0 1 30"), "recv r ff");
  ASSERT_EQ(two->Do("send 0 1 " + NameHex("STATION1", 0x02) + " 04"), "send 00");
  EXPECT_EQ(one->Do("wait r 2000"),
            "done r code=00 len=1 from=" + NameHex("STATION2", 0x02) + " data=04 thread=service");
}

TEST_F(NbtLan, LongerDatagramFillsTheBufferAndSaysIncomplete) {
  auto one = Station(1), two = Station(2);
  ASSERT_EQ(one->Do("recv a 0 2 10"), "recv a ff");
  ASSERT_EQ(two->Do("send 0 2 " + kGroup + " " + kData30), "send 00");
  EXPECT_EQ(one->Do("wait a 2000"), "done a code=06 len=10 from=" + kGroup +
                                        " data=" + kData30.substr(0, 20) + " thread=service");
  const std::string too_long(2 * 513, 'a');
  EXPECT_EQ(two->Do("send 0 2 " + kGroup + " " + too_long), "send 01");
}

TEST_F(NbtLan, CancelCompletesTheReceiveThroughItsPostRoutine) {
  auto one = Station(1);
  ASSERT_EQ(one->Do("recv a 0 2 30"), "recv a ff");
  EXPECT_EQ(one->Do("cancel a 0"), "cancel 00");
  // Cancel returns after the post routine ran.
  EXPECT_EQ(one->Do("wait a 0"), "done a code=0b len=30 from=" + std::string(32, '0') +
                                     " data=" + std::string(60, '0') + " thread=service");
  EXPECT_EQ(one->Do("cancel a 0"), "cancel 24");  // nothing outstanding any more

  // Deleting the name ends its receives too; refused receives also complete through the post.
  ASSERT_EQ(one->Do("recv b 0 2 30"), "recv b ff");
  ASSERT_EQ(one->Do("del 0 " + kGroup), "del 00");
  EXPECT_EQ(Field(one->Do("wait b 0"), "code"), "17");
  ASSERT_EQ(one->Do("recv c 0 2 30"), "recv c ff");
  EXPECT_EQ(one->Do("wait c 2000").substr(0, 19), "done c code=15 len=");
  ASSERT_EQ(one->Do("recv d 7 2 30"), "recv d ff");
  EXPECT_EQ(Field(one->Do("wait d 2000"), "thread"), "service");
  EXPECT_EQ(one->Quit(), 0);
}

TEST_F(NbtLan, TsharkDecodesTheDirectGroupDatagram) {
  if (!OnPath("tshark")) GTEST_SKIP() << "tshark is not installed";
  Subprocess tshark({"ip", "netns", "exec", lan_->Switch(), "tshark", "-i", "br0", "-f",
                     "udp port 138", "-c", "1", "-a", "duration:20", "-l", "-V"});
  bool capturing = false;
  while (auto line = tshark.ReadLine(Subprocess::Stream::kErr, 20000)) {
    if (line->find("Capturing on") != std::string::npos) {
      capturing = true;
      break;
    }
  }
  ASSERT_TRUE(capturing) << "tshark did not start";
  // tshark may still be starting its capture: send until it has caught one.
  auto two = Station(2);
  int status = -1;
  for (int i = 0; i < 50 && status == -1; ++i) {
    ASSERT_EQ(two->Do("send 0 2 " + kGroup + " " + kData30), "send 00");
    status = tshark.CloseAndWait(400);
  }
  ASSERT_EQ(status, 0);
  const std::string decoded = tshark.Rest(Subprocess::Stream::kOut);
  EXPECT_NE(decoded.find("Message Type: Direct_group datagram (17)"), std::string::npos) << decoded;
  EXPECT_NE(decoded.find("Source IP: 10.213.0.2"), std::string::npos) << decoded;
  EXPECT_NE(decoded.find("Source Port: 138"), std::string::npos) << decoded;
  EXPECT_NE(decoded.find("Source name: NbtTestGroupNam<65>"), std::string::npos) << decoded;
  EXPECT_NE(decoded.find("Destination name: NbtTestGroupNam<65>"), std::string::npos) << decoded;
  EXPECT_NE(decoded.find("Datagram length: 98 bytes"), std::string::npos) << decoded;
  EXPECT_NE(decoded.find("Data: " + kData30), std::string::npos) << decoded;
  EXPECT_NE(decoded.find("Dst: 10.213.0.255"), std::string::npos) << decoded;
}

// A datagram written out byte by byte from RFC 1002 section 4.4, sent with a plain UDP socket.
TEST_F(NbtLan, HandBuiltDatagramFromAnotherStackIsReceived) {
  auto one = Station(1);
  ASSERT_EQ(one->Do("recv a 0 2 30"), "recv a ff");
  const std::string header = DirectGroupHeaderHex(0x0AD50002, 0x4242, 34 + 34 + 3);
  const std::string fred = "20" + Hex("EGFCEFEECACACACACACACACACACACACA") + "00";  // "FRED"
  const std::string group = EncodedNameHex("NbtTestGroupName");
  const std::string good = header + fred + group + "414243";

  const auto inject = [&](const std::string& packet) {
    return RunIn(lan_->Host(2), {UDP_PEER, "send", "10.213.0.255", "138", packet, "138"});
  };
  // Hostile variants first: none of them may complete the receive.
  inject(header.substr(0, 20));                                      // cut in the header
  inject("110242420ad50002008a00ff0000" + fred + group + "414243");  // DGM_LENGTH too long
  inject(header + "20" + Hex(std::string(32, 'Z')) + "00" + group + "414243");  // bad letters
  inject(header + fred.substr(0, 66) + "05" + group.substr(0, 10));  // scope label past the end
  inject("130242420ad50002008a" + std::string(8, '0'));              // error message
  inject("14" + good.substr(2));                                     // query request
  inject("11034242" + good.substr(8));                               // a fragment
  EXPECT_EQ(one->Do("wait a 300"), "timeout a");

  inject(good);
  EXPECT_EQ(one->Do("wait a 2000"),
            "done a code=00 len=3 from=" + Hex("FRED            ") + " data=414243 thread=service");
  EXPECT_EQ(one->Quit(), 0);
}

TEST_F(NbtLan, WithoutPrivilegeItSaysSoOnceAndOffersNoAdapter) {
  if (!OnPath("capsh")) GTEST_SKIP() << "capsh (libcap2-bin) is not installed";
  Driver driver(lan_->Host(1), "station1",
                {"capsh", "--drop=cap_net_bind_service", "--", "-c", "exec \"$0\" \"$@\""});
  EXPECT_EQ(driver.Do("lanas"), "lanas");
  EXPECT_EQ(driver.Do("status 0"), "status 23 len=4652");
  EXPECT_EQ(driver.Do("recv a 0 2 30"), "recv a ff");
  EXPECT_EQ(Field(driver.Do("wait a 2000"), "code"), "23");
  EXPECT_EQ(driver.Quit(), 0);
  const std::string errors = driver.Process().Rest(Subprocess::Stream::kErr);
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
  EXPECT_NE(errors.find("cap_net_bind_service"), std::string::npos) << errors;
  EXPECT_NE(errors.find("setcap"), std::string::npos) << errors;
}

TEST_F(NbtLan, PortHeldByAProgramThatDoesNotShareIt) {
  Subprocess holder({"ip", "netns", "exec", lan_->Host(1), UDP_PEER, "hold", "138"});
  ASSERT_EQ(holder.ReadLine(Subprocess::Stream::kOut, 5000).value_or(""), "holding");
  Driver driver(lan_->Host(1), "station1");
  EXPECT_EQ(driver.Do("lanas"), "lanas");
  EXPECT_EQ(driver.Quit(), 0);
  const std::string errors = driver.Process().Rest(Subprocess::Stream::kErr);
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
  EXPECT_NE(errors.find("another program holds it"), std::string::npos) << errors;
  EXPECT_NE(errors.find("stop that program"), std::string::npos) << errors;

  // Two copies of the service share the port: both hear a broadcast.
  holder.CloseAndWait(5000);
  auto first = Station(1), second = Station(1), sender = Station(2);
  ASSERT_EQ(first->Do("recv a 0 2 30"), "recv a ff");
  ASSERT_EQ(second->Do("recv a 0 2 30"), "recv a ff");
  ASSERT_EQ(sender->Do("send 0 2 " + kGroup + " 07"), "send 00");
  EXPECT_EQ(Field(first->Do("wait a 2000"), "data"), "07");
  EXPECT_EQ(Field(second->Do("wait a 2000"), "data"), "07");
}

TEST_F(NbtLan, InterfaceRemovedWhileRunningAndBack) {
  auto three = Station(3), two = Station(2);
  // Set down and up again first.
  ASSERT_EQ(three->Do("recv z 1 2 30"), "recv z ff");
  RunIn(lan_->Host(3), {"ip", "link", "set", "eth1", "down"});
  EXPECT_EQ(Field(three->Do("wait z 2000"), "code"), "40");
  EXPECT_EQ(three->Do("status 1"), "status 40 len=4652");
  RunIn(lan_->Host(3), {"ip", "link", "set", "eth1", "up"});
  EXPECT_EQ(three->Do("status 1").substr(0, 9), "status 00");

  ASSERT_EQ(three->Do("recv a 1 2 30"), "recv a ff");
  ASSERT_EQ(RunIn(lan_->Host(3), {"ip", "link", "del", "eth1"}), "");

  // Its outstanding receive ends with an error; sends, status and new receives fail.
  EXPECT_EQ(Field(three->Do("wait a 2000"), "code"), "40");
  EXPECT_EQ(three->Do("status 1"), "status 40 len=4652");
  EXPECT_EQ(three->Do("send 1 2 " + kGroup + " 01"), "send 40");
  for (const char* id : {"b", "c", "d"}) {
    ASSERT_EQ(three->Do(std::string("recv ") + id + " 1 2 30"), std::string("recv ") + id + " ff");
    EXPECT_EQ(Field(three->Do(std::string("wait ") + id + " 2000"), "code"), "40");
  }

  // LANA 0 goes on.
  ASSERT_EQ(three->Do("recv e 0 2 30"), "recv e ff");
  ASSERT_EQ(two->Do("send 0 2 " + kGroup + " 02"), "send 00");
  EXPECT_EQ(Field(three->Do("wait e 2000"), "data"), "02");

  // The interface comes back (a new link of the same name): LANA 1 works again.
  const std::string sw = lan_->Switch(), host = lan_->Host(3);
  RunIn(sw, {"ip", "link", "add", "h3e1", "type", "veth", "peer", "name", "eth1", "netns", host});
  RunIn(sw, {"ip", "link", "set", "h3e1", "master", "br1", "up"});
  RunIn(host, {"ip", "addr", "add", "10.213.1.3/24", "brd", "+", "dev", "eth1"});
  RunIn(host, {"ip", "link", "set", "eth1", "up"});
  std::string status;
  for (int i = 0; i < 100 && status.rfind("status 00", 0) != 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    status = three->Do("status 1");
  }
  ASSERT_EQ(status.substr(0, 9), "status 00") << status;
  std::string mac = Sysfs(3, "eth1/address");
  std::erase(mac, ':');
  EXPECT_EQ(Field(status, "mac"), mac);
  ASSERT_EQ(three->Do("recv f 1 2 30"), "recv f ff");
  ASSERT_EQ(two->Do("send 1 2 " + kGroup + " 03"), "send 00");
  EXPECT_EQ(Field(three->Do("wait f 2000"), "data"), "03");
  ASSERT_EQ(three->Do("send 1 2 " + kGroup + " 04"), "send 00");

  EXPECT_EQ(three->Quit(), 0);
  EXPECT_EQ(three->Process().Rest(Subprocess::Stream::kErr), "");  // failures were quiet
}

}  // namespace
