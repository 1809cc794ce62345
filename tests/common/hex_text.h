// Bytes as hex text, the form the test drivers and udp_peer take them in.
#pragma once

#include <string>

// Two lower-case hex digits per byte.
std::string Hex(const std::string& bytes);
