// A byte string with the operations the system uses: loading from the string table, printf
// formatting and comparison.
#pragma once

#include <string>
#include <string_view>

#include "platform/base_types.h"

class CString {
 public:
  CString() = default;
  CString(const char* text) : m_str(text ? text : "") {}  // NOLINT: implicit as in the framework
  CString(const char* text, int length) : m_str(text, static_cast<std::size_t>(length)) {}
  explicit CString(std::string text) : m_str(std::move(text)) {}

  // Replaces the text with string-table entry id; FALSE (text unchanged) when there is none.
  BOOL LoadString(UINT id);
  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

  int GetLength() const { return static_cast<int>(m_str.size()); }
  CString Left(int count) const;
  operator const char*() const { return m_str.c_str(); }  // NOLINT
  const std::string& str() const { return m_str; }

  friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
  friend bool operator==(const CString& a, const char* b) { return a.m_str == b; }

 private:
  std::string m_str;
};
