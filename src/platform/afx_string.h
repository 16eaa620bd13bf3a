// CString: a byte string, as the framework holds text in a multi-byte build.
//
// Text is single-byte or CP932 (Shift-JIS); lengths and positions count bytes.
// A CString may hold any bytes, NUL included; the const char* conversion gives a
// NUL-terminated view (text behind an embedded NUL is then not seen by C calls).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "win32_types.h"

class CString {
 public:
  CString() = default;
  CString(const char* text);  // null gives the empty string
  CString(const char* bytes, int length);
  CString(char ch, int repeat = 1);
  explicit CString(std::string_view bytes);
  CString(const CString&) = default;
  CString(CString&&) noexcept = default;
  CString& operator=(const CString&) = default;
  CString& operator=(CString&&) noexcept = default;
  CString& operator=(const char* text);

  int GetLength() const { return static_cast<int>(m_bytes.size()); }
  BOOL IsEmpty() const { return m_bytes.empty(); }
  void Empty();
  operator const char*() const { return m_bytes.c_str(); }
  const char* GetString() const { return m_bytes.c_str(); }
  std::string_view View() const { return m_bytes; }

  char GetAt(int index) const { return m_bytes[static_cast<size_t>(index)]; }
  char operator[](int index) const { return GetAt(index); }

  CString& operator+=(const CString& other);
  CString& operator+=(const char* text);
  CString& operator+=(char ch);
  // Appends length bytes (which may include NUL).
  void Append(const char* bytes, int length);

  friend CString operator+(const CString& a, const CString& b);
  friend CString operator+(const CString& a, const char* b);
  friend CString operator+(const char* a, const CString& b);
  friend CString operator+(const CString& a, char b);

  friend bool operator==(const CString& a, const CString& b) { return a.m_bytes == b.m_bytes; }
  friend bool operator==(const CString& a, const char* b) { return a.m_bytes == (b ? b : ""); }
  friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
  friend bool operator!=(const CString& a, const char* b) { return !(a == b); }

  CString Left(int count) const;

  // Direct access to at least minLength bytes (plus a NUL); ReleaseBuffer(-1)
  // takes the length up to the first NUL, ReleaseBuffer(n) sets it to n.
  char* GetBuffer(int minLength);
  void ReleaseBuffer(int newLength = -1);

  // Append-lineage: identifies a chain of strings built from one another by
  // appending only. Two strings with the same lineage agree on the first
  // min(length) bytes. A window that shows this string keeps its lineage and
  // length, so that setting a longer string of the same lineage appends only the
  // tail, in time independent of the text's size.
  struct Lineage {
    size_t length = 0;  // the longest length reached along the chain
  };
  std::shared_ptr<Lineage> GetLineage() const;

 private:
  void Changed() { m_lineage.reset(); }  // any edit other than an append
  void Appended(size_t oldLength);

  std::string m_bytes;
  mutable std::shared_ptr<Lineage> m_lineage;
};
