// The datagram parser against packets from the wire: the well-formed ones it must take and a
// table of malformed or foreign ones it must refuse without reading past their end.
#include "platform/netbios/nbt/datagram_packet.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The RFC 1001 example: "FRED" padded with spaces encodes as EGFCEFEE followed by CA pairs.
const std::string kFredEncoded = "EGFCEFEECACACACACACACACACACACACA";

Bytes EncodedName(const std::string& letters) {
  Bytes bytes = {0x20};
  bytes.insert(bytes.end(), letters.begin(), letters.end());
  bytes.push_back(0);
  return bytes;
}

// A direct group datagram from 10.1.2.3:138, FRED to "GROUP" + 11 spaces, data "hi",
// written out field by field.
Bytes WellFormed() {
  Bytes packet = {0x11, 0x02, 0x12, 0x34, 10, 1, 2, 3, 0x00, 0x8A, 0x00, 34 + 34 + 2, 0x00, 0x00};
  const Bytes source = EncodedName(kFredEncoded);
  const Bytes destination = EncodedName("EHFCEPFFFACACACACACACACACACACACA");
  packet.insert(packet.end(), source.begin(), source.end());
  packet.insert(packet.end(), destination.begin(), destination.end());
  packet.push_back('h');
  packet.push_back('i');
  return packet;
}

NetbiosName Name(const std::string& text) {
  NetbiosName name;
  name.fill(' ');
  std::copy(text.begin(), text.end(), name.begin());
  return name;
}

void SetDgmLength(Bytes& packet, std::size_t length) {
  packet[10] = static_cast<std::uint8_t>(length >> 8);
  packet[11] = static_cast<std::uint8_t>(length);
}

TEST(DatagramPacket, TakesAWellFormedDirectGroupDatagram) {
  const Bytes packet = WellFormed();
  const auto datagram = ParseDirectDatagram(packet);
  ASSERT_TRUE(datagram);
  EXPECT_EQ(datagram->msg_type, kDirectGroup);
  EXPECT_EQ(datagram->dgm_id, 0x1234);
  EXPECT_EQ(datagram->source_ip, 0x0A010203u);
  EXPECT_EQ(datagram->source_port, 138);
  EXPECT_EQ(datagram->source_name, Name("FRED"));
  EXPECT_EQ(datagram->destination_name, Name("GROUP"));
  EXPECT_EQ(std::string(datagram->user_data.begin(), datagram->user_data.end()), "hi");
}

TEST(DatagramPacket, TakesVariantsOtherStacksSend) {
  struct Case {
    const char* what;
    std::function<void(Bytes&)> change;
    std::size_t data_size;
  };
  const std::vector<Case> cases = {
      {"direct unique", [](Bytes& p) { p[0] = 0x10; }, 2},
      {"P node, first fragment", [](Bytes& p) { p[1] = 0x06; }, 2},
      {"H node, first fragment", [](Bytes& p) { p[1] = 0x0E; }, 2},
      {"no user data", [](Bytes& p) { p.resize(p.size() - 2), SetDgmLength(p, 68); }, 0},
      {"bytes past DGM_LENGTH ignored", [](Bytes& p) { p.insert(p.end(), 5, 0xEE); }, 2},
      {"DGM_LENGTH shorter than the data", [](Bytes& p) { SetDgmLength(p, 69); }, 1},
  };
  for (const Case& c : cases) {
    Bytes packet = WellFormed();
    c.change(packet);
    const auto datagram = ParseDirectDatagram(packet);
    ASSERT_TRUE(datagram) << c.what;
    EXPECT_EQ(datagram->user_data.size(), c.data_size) << c.what;
  }
}

TEST(DatagramPacket, RefusesMalformedAndForeignPackets) {
  struct Case {
    const char* what;
    std::function<void(Bytes&)> change;
  };
  const std::size_t kSource = 14, kDestination = 14 + 34;
  const std::vector<Case> cases = {
      {"empty", [](Bytes& p) { p.clear(); }},
      {"shorter than the header", [](Bytes& p) { p.resize(13); }},
      {"header only", [](Bytes& p) { p.resize(14); }},
      {"broadcast datagram", [](Bytes& p) { p[0] = 0x12; }},
      {"error message", [](Bytes& p) { p[0] = 0x13; }},
      {"query request", [](Bytes& p) { p[0] = 0x14; }},
      {"positive query response", [](Bytes& p) { p[0] = 0x15; }},
      {"negative query response", [](Bytes& p) { p[0] = 0x16; }},
      {"unknown type", [](Bytes& p) { p[0] = 0xFF; }},
      {"more fragments follow", [](Bytes& p) { p[1] = 0x03; }},
      {"not the first fragment", [](Bytes& p) { p[1] = 0x00; }},
      {"packet offset of a later fragment", [](Bytes& p) { p[13] = 0x10; }},
      {"DGM_LENGTH one past the packet", [&](Bytes& p) { SetDgmLength(p, p.size() - 13); }},
      {"DGM_LENGTH 65535", [](Bytes& p) { SetDgmLength(p, 0xFFFF); }},
      {"DGM_LENGTH ends inside the destination", [](Bytes& p) { SetDgmLength(p, 50); }},
      {"DGM_LENGTH ends before the terminating zero", [](Bytes& p) { SetDgmLength(p, 67); }},
      {"packet ends inside the source name", [](Bytes& p) { p.resize(30), SetDgmLength(p, 16); }},
      {"name length 0x1F", [&](Bytes& p) { p[kSource] = 0x1F; }},
      {"name length 0x21", [&](Bytes& p) { p[kSource] = 0x21; }},
      {"compression pointer", [&](Bytes& p) { p[kSource] = 0xC0; }},
      {"letter above P", [&](Bytes& p) { p[kSource + 5] = 'Q'; }},
      {"letter below A", [&](Bytes& p) { p[kSource + 5] = '@'; }},
      {"lower-case letter", [&](Bytes& p) { p[kSource + 5] = 'a'; }},
      {"bad letter in the destination", [&](Bytes& p) { p[kDestination + 32] = 'Z'; }},
      {"source with a scope",
       [&](Bytes& p) {
         const Bytes scope = {3, 'c', 'o', 'm'};
         p.insert(p.begin() + kSource + 33, scope.begin(), scope.end());
         SetDgmLength(p, 70 + scope.size());
       }},
      {"scope label running past the end",
       [&](Bytes& p) {
         p[kDestination + 33] = 40;  // label of 40 bytes where only the data follows
       }},
      {"scope label longer than 63", [&](Bytes& p) { p[kSource + 33] = 64; }},
      {"scope labels beyond 255 bytes",
       [&](Bytes& p) {
         Bytes labels;
         for (int i = 0; i < 5; ++i) {
           labels.push_back(63);
           labels.insert(labels.end(), 63, 'x');
         }
         p.insert(p.begin() + kSource + 33, labels.begin(), labels.end());
         SetDgmLength(p, 70 + labels.size());
       }},
  };
  for (const Case& c : cases) {
    Bytes packet = WellFormed();
    c.change(packet);
    // An exact-size copy, so that AddressSanitizer catches a read past the end.
    const auto exact = std::make_unique<std::uint8_t[]>(packet.size() + 1);
    std::copy(packet.begin(), packet.end(), exact.get());
    EXPECT_FALSE(ParseDirectDatagram({exact.get(), packet.size()})) << c.what;
  }
}

TEST(DatagramPacket, BuildsWhatTheRfcDescribes) {
  const std::string data(30, '\x5A');
  DirectDatagram datagram{};
  datagram.msg_type = kDirectGroup;
  datagram.dgm_id = 0xBEEF;
  datagram.source_ip = 0x0AD50001;
  datagram.source_port = kDatagramPort;
  datagram.source_name = Name("FRED");
  datagram.destination_name = Name("GROUP");
  datagram.user_data = {reinterpret_cast<const std::uint8_t*>(data.data()), data.size()};
  std::array<std::uint8_t, kMaxDirectDatagram> out;
  const std::size_t size = BuildDirectDatagram(datagram, out);

  Bytes expected = {0x11, 0x02, 0xBE, 0xEF, 10, 213, 0, 1, 0x00, 0x8A, 0x00, 34 + 34 + 30, 0, 0};
  const Bytes source = EncodedName(kFredEncoded);
  const Bytes destination = EncodedName("EHFCEPFFFACACACACACACACACACACACA");
  expected.insert(expected.end(), source.begin(), source.end());
  expected.insert(expected.end(), destination.begin(), destination.end());
  expected.insert(expected.end(), data.begin(), data.end());
  EXPECT_EQ(Bytes(out.begin(), out.begin() + size), expected);

  const auto parsed = ParseDirectDatagram({out.data(), size});
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->source_name, datagram.source_name);
  EXPECT_EQ(parsed->destination_name, datagram.destination_name);
  EXPECT_EQ(parsed->user_data.size(), data.size());
}

TEST(DatagramPacket, NamesWithAnyByteValueRoundTrip) {
  NetbiosName name;
  for (std::size_t i = 0; i < name.size(); ++i) name[i] = static_cast<UCHAR>(i * 17 + 0x0F);
  std::array<std::uint8_t, kEncodedNameSize> encoded;
  EncodeFirstLevelName(name, encoded);
  const auto decoded = DecodeFirstLevelName(encoded);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->name, name);
  EXPECT_EQ(decoded->length, kEncodedNameSize);
  EXPECT_FALSE(decoded->has_scope);
}

}  // namespace
