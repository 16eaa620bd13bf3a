// CString: byte text with the append-lineage that lets windows take only the
// tail of a string that grew by appending.
#include <algorithm>
#include <cstring>

#include "afx_string.h"

CString::CString(const char* text) : m_bytes(text ? text : "") {}

CString::CString(const char* bytes, int length) {
  if (bytes && length > 0) m_bytes.assign(bytes, static_cast<size_t>(length));
}

CString::CString(char ch, int repeat) : m_bytes(repeat > 0 ? static_cast<size_t>(repeat) : 0, ch) {}

CString::CString(std::string_view bytes) : m_bytes(bytes) {}

CString& CString::operator=(const char* text) {
  std::string next(text ? text : "");  // text may point into this string
  m_bytes.swap(next);
  Changed();
  return *this;
}

void CString::Empty() {
  m_bytes.clear();
  Changed();
}

CString& CString::operator+=(const CString& other) {
  if (&other == this) {
    std::string copy(m_bytes);
    Append(copy.data(), static_cast<int>(copy.size()));
  } else {
    Append(other.m_bytes.data(), other.GetLength());
  }
  return *this;
}

CString& CString::operator+=(const char* text) {
  if (text) Append(text, static_cast<int>(std::strlen(text)));
  return *this;
}

CString& CString::operator+=(char ch) {
  Append(&ch, 1);
  return *this;
}

void CString::Append(const char* bytes, int length) {
  if (!bytes || length <= 0) return;
  size_t oldLength = m_bytes.size();
  m_bytes.append(bytes, static_cast<size_t>(length));
  Appended(oldLength);
}

void CString::Appended(size_t oldLength) {
  // Only the string at the head of its chain may extend it; any other string
  // of the chain diverges from it here and starts afresh.
  if (m_lineage && m_lineage->length == oldLength) {
    m_lineage->length = m_bytes.size();
  } else {
    m_lineage.reset();
  }
}

std::shared_ptr<CString::Lineage> CString::GetLineage() const {
  if (!m_lineage) m_lineage = std::make_shared<Lineage>(Lineage{m_bytes.size()});
  return m_lineage;
}

CString operator+(const CString& a, const CString& b) {
  CString result(a);
  result += b;
  return result;
}

CString operator+(const CString& a, const char* b) {
  CString result(a);
  result += b;
  return result;
}

CString operator+(const char* a, const CString& b) {
  CString result(a);
  result += b;
  return result;
}

CString operator+(const CString& a, char b) {
  CString result(a);
  result += b;
  return result;
}

CString CString::Left(int count) const {
  count = std::clamp(count, 0, GetLength());
  return CString(std::string_view(m_bytes).substr(0, static_cast<size_t>(count)));
}

char* CString::GetBuffer(int minLength) {
  if (minLength > GetLength()) m_bytes.resize(static_cast<size_t>(minLength));
  Changed();
  return m_bytes.data();
}

void CString::ReleaseBuffer(int newLength) {
  size_t length = newLength < 0 ? std::strlen(m_bytes.c_str()) : static_cast<size_t>(newLength);
  if (length < m_bytes.size()) m_bytes.resize(length);
  Changed();
}
