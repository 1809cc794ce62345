// What the stations put on the wire, as an independent decoder (tshark, capturing on the
// bridge) reads it.
#include <signal.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "tests/common/hex_text.h"
#include "tests/lan/monitor_lan.h"

namespace {

class WireCapture : public MonitorLan {
 protected:
  void SetUp() override { BuildLan(3, false); }
};

std::vector<std::string> Split(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, separator);) fields.push_back(field);
  if (!line.empty() && line.back() == separator) fields.emplace_back();
  return fields;
}

std::string LowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// "AABBCCDDEEFF" -> "aa:bb:cc:dd:ee:ff", as tshark writes an Ethernet address.
std::string EthernetText(const std::string& node) {
  std::string text;
  for (std::size_t i = 0; i < node.size(); i += 2) text += (i ? ":" : "") + node.substr(i, 2);
  return LowerCase(text);
}

TEST_F(WireCapture, EveryStatusDatagramIsADirectGroupDatagramToTheGroupName) {
  if (!OnPath("tshark")) GTEST_SKIP() << "tshark is not installed";
  const char* fields[] = {"ip.src",
                          "ip.dst",
                          "eth.src",
                          "udp.srcport",
                          "udp.dstport",
                          "_ws.col.Info",
                          "nbdgm.type",
                          "nbdgm.flags",
                          "nbdgm.src.ip",
                          "nbdgm.src.port",
                          "nbdgm.dgram_len",
                          "nbdgm.source_name",
                          "nbdgm.destination_name",
                          "data.data"};
  std::vector<std::string> argv = {"ip", "netns", "exec",   Lan().Switch(), "tshark",
                                   "-i", "br0",   "-f",     "udp port 138", "-l",
                                   "-n", "-T",    "fields", "-E",           "separator=|"};
  for (const char* field : fields) argv.insert(argv.end(), {"-e", field});
  Subprocess tshark(argv);
  bool capturing = false;
  while (auto line = tshark.ReadLine(Subprocess::Stream::kErr, 20000))
    if ((capturing = line->find("Capturing on") != std::string::npos)) break;
  ASSERT_TRUE(capturing) << "tshark did not start";

  StartAll();
  std::this_thread::sleep_for(std::chrono::seconds(3));
  for (int host = 1; host <= Hosts(); ++host) {
    Station(host).Signal(SIGTERM);
    EXPECT_EQ(Station(host).WaitForExit(5000), 0);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the last ones reach tshark
  tshark.Signal(SIGINT);
  ASSERT_EQ(tshark.CloseAndWait(10000), 0);

  int datagrams[4] = {};
  std::istringstream lines(tshark.Rest(Subprocess::Stream::kOut));
  for (std::string line; std::getline(lines, line);) {
    SCOPED_TRACE(line);
    const std::vector<std::string> field = Split(line, '|');
    ASSERT_EQ(field.size(), std::size(fields));
    const int host = field[0].rfind("10.213.0.", 0) == 0 ? std::stoi(field[0].substr(9)) : 0;
    ASSERT_TRUE(host >= 1 && host <= Hosts()) << "sent by no station";
    ++datagrams[host];
    const std::string node = NodeAddress(host, 0);
    EXPECT_EQ(field[1], "10.213.0.255");  // the interface's broadcast address
    EXPECT_EQ(field[2], EthernetText(node));
    EXPECT_EQ(field[3], "138");
    EXPECT_EQ(field[4], "138");
    EXPECT_EQ(field[5], "Direct_group datagram");
    EXPECT_EQ(field[6], "17");
    EXPECT_EQ(field[7], "0x02");  // B node, first fragment, no more
    EXPECT_EQ(field[8], field[0]);
    EXPECT_EQ(field[9], "138");
    EXPECT_EQ(field[10], "98");  // two encoded names of 34 bytes and 30 bytes of data
    EXPECT_EQ(field[11], "BrumwickPELLORI<4e>");
    EXPECT_EQ(field[12], "BrumwickPELLORI<4e>");

    const std::string& data = field[13];
    ASSERT_EQ(data.size(), 60u);  // 30 bytes
    std::string name = "HOST" + std::to_string(host);
    name.resize(15, ' ');
    EXPECT_EQ(data.substr(0, 32), Hex(name + "\x02"));  // the redirector name
    const int minutes = std::stoi(data.substr(34, 2) + data.substr(32, 2), nullptr, 16);
    EXPECT_NEAR(minutes, MinutesSinceBoot(), 1);  // little-endian
    EXPECT_EQ(data.substr(36, 2), "00");          // error rate
    EXPECT_EQ(data.substr(38, 8), "00000000");
    EXPECT_EQ(data.substr(46, 12), LowerCase(node));
    EXPECT_EQ(data.substr(58, 2), "00");
  }
  // Each station sent at least two ticks of two datagrams while the capture ran.
  for (int host = 1; host <= Hosts(); ++host) EXPECT_GE(datagrams[host], 4) << "host " << host;
}

}  // namespace
