#include "tests/common/rfc1002_datagram.h"

#include <cstdio>

#include "tests/common/hex_text.h"

namespace {

std::string HexNumber(unsigned long value, int digits) {
  char text[9];
  std::snprintf(text, sizeof text, "%0*lx", digits, value);
  return text;
}

}  // namespace

std::string EncodedNameHex(const std::string& name16) {
  std::string letters;
  for (unsigned char c : name16) {
    letters += static_cast<char>('A' + (c >> 4));
    letters += static_cast<char>('A' + (c & 0x0F));
  }
  return "20" + Hex(letters) + "00";
}

std::string DirectGroupHeaderHex(std::uint32_t source_ip, std::uint16_t dgm_id,
                                 std::size_t dgm_length) {
  return "11"                        // MSG_TYPE: DIRECT_GROUP
         "02" +                      // FLAGS: B node, first fragment, no more
         HexNumber(dgm_id, 4) +      // DGM_ID
         HexNumber(source_ip, 8) +   // SOURCE_IP
         "008a" +                    // SOURCE_PORT 138
         HexNumber(dgm_length, 4) +  // DGM_LENGTH
         "0000";                     // PACKET_OFFSET
}

std::string DirectGroupDatagramHex(std::uint32_t source_ip, std::uint16_t dgm_id,
                                   const std::string& source_name16,
                                   const std::string& destination_name16,
                                   const std::string& user_data) {
  const std::string names = EncodedNameHex(source_name16) + EncodedNameHex(destination_name16);
  return DirectGroupHeaderHex(source_ip, dgm_id, names.size() / 2 + user_data.size()) + names +
         Hex(user_data);
}
