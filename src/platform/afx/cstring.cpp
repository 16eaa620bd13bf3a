// CString: byte text with the append-lineage that lets windows take only the
// tail of a string that grew by appending.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "afx_string.h"

namespace {

unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c; }

int Sign(int value) { return (value > 0) - (value < 0); }

}  // namespace

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

CString& CString::operator=(char ch) {
  m_bytes.assign(1, ch);
  Changed();
  return *this;
}

void CString::Empty() {
  m_bytes.clear();
  Changed();
}

void CString::SetAt(int index, char ch) {
  if (index < 0 || index >= GetLength()) return;
  m_bytes[static_cast<size_t>(index)] = ch;
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

int CString::Compare(const char* text) const { return Sign(m_bytes.compare(text ? text : "")); }

int CString::CompareNoCase(const char* text) const {
  const unsigned char* a = reinterpret_cast<const unsigned char*>(m_bytes.c_str());
  const unsigned char* b = reinterpret_cast<const unsigned char*>(text ? text : "");
  for (;; ++a, ++b) {
    int difference = FoldAscii(*a) - FoldAscii(*b);
    if (difference != 0 || *a == 0) return Sign(difference);
  }
}

CString CString::Left(int count) const { return Mid(0, count); }

CString CString::Mid(int first, int count) const {
  int length = GetLength();
  if (first < 0) first = 0;
  if (first > length) first = length;
  if (count < 0) count = 0;
  if (count > length - first) count = length - first;
  return CString(std::string_view(m_bytes).substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Right(int count) const {
  int length = GetLength();
  if (count < 0) count = 0;
  if (count > length) count = length;
  return Mid(length - count, count);
}

int CString::Find(char ch, int start) const {
  if (start < 0) start = 0;
  if (start >= GetLength()) return -1;
  size_t at = m_bytes.find(ch, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* text, int start) const {
  if (!text) return -1;
  if (start < 0) start = 0;
  if (start > GetLength()) return -1;
  size_t at = m_bytes.find(text, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

void CString::Format(const char* format, ...) {
  std::string result;
  if (format) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length > 0) {
      result.resize(static_cast<size_t>(length) + 1);
      std::vsnprintf(result.data(), result.size(), format, args);
      result.resize(static_cast<size_t>(length));
    }
    va_end(args);
  }
  m_bytes.swap(result);  // the arguments may have pointed into this string
  Changed();
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
