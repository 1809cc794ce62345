#include "tests/common/hex_text.h"

#include <cstdio>

std::string Hex(const std::string& bytes) {
  std::string text;
  char digits[3];
  for (unsigned char c : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", c);
    text += digits;
  }
  return text;
}
