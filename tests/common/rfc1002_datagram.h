// NetBIOS datagrams written out byte by byte from RFC 1002 section 4.4, as hex text for
// udp_peer. They are made without the service's own encoder, so that what the service takes
// in is checked against the RFC rather than against itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A 16-byte NetBIOS name in first-level encoding with no scope: the length 0x20, each byte as
// two letters 'A' + nibble (high nibble first), then the zero length that ends the name.
std::string EncodedNameHex(const std::string& name16);

// The 14-byte header of a DIRECT_GROUP datagram from source_ip, port 138: MSG_TYPE 0x11,
// FLAGS 0x02 (B node, first fragment, no more), DGM_ID, SOURCE_IP, SOURCE_PORT, DGM_LENGTH
// (the bytes after PACKET_OFFSET) and PACKET_OFFSET 0.
std::string DirectGroupHeaderHex(std::uint32_t source_ip, std::uint16_t dgm_id,
                                 std::size_t dgm_length);

// A whole DIRECT_GROUP datagram: header, source name, destination name, user data.
std::string DirectGroupDatagramHex(std::uint32_t source_ip, std::uint16_t dgm_id,
                                   const std::string& source_name16,
                                   const std::string& destination_name16,
                                   const std::string& user_data);
