#include "platform/ui/cstring.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (n < 0) {
    m_str.clear();
  } else {
    m_str.resize(static_cast<std::size_t>(n));
    std::vsnprintf(m_str.data(), m_str.size() + 1, format, args);
  }
  va_end(args);
}

CString CString::Left(int count) const {
  return CString(m_str.substr(0, static_cast<std::size_t>(std::max(count, 0))));
}
