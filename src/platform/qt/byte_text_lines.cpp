#include "qt/byte_text_lines.h"

#include <algorithm>

#include "qt/byte_text_chars.h"
#include "text/cp932.h"

namespace morvek::qt {

ByteTextLines::ByteTextLines() : m_starts{0} {}

void ByteTextLines::Clear() { *this = ByteTextLines(); }

void ByteTextLines::Append(std::string_view tail) {
  for (const char c : tail) {
    const auto b = static_cast<unsigned char>(c);
    const std::size_t at = m_size++;
    if (b == '\n' && m_endedWithCr) {  // the LF of a CR LF: the next line starts after it
      m_starts.back() = m_lastKnownStart = at + 1;
      m_endedWithCr = false;
      continue;
    }
    if (b == '\r' || b == '\n') {
      m_maxEndedWidth = std::max(m_maxEndedWidth, at - m_starts.back());
      m_starts.push_back(at + 1);
      m_lastKnownStart = at + 1;
      m_endedWithCr = b == '\r';
      m_endedWithLead = false;
      continue;
    }
    m_endedWithCr = false;
    if (m_endedWithLead) {
      m_endedWithLead = false;
      if (IsCp932Pair(m_lead, b)) continue;  // the second byte of a double-byte character
    }
    // A character starts here.
    if (at - m_lastKnownStart >= kCheckpointSpacing) {
      m_checkpoints.push_back(at);
      m_lastKnownStart = at;
    }
    if (text::IsCp932LeadByte(b)) {
      m_endedWithLead = true;
      m_lead = b;
    }
  }
}

std::size_t ByteTextLines::ContentEnd(std::size_t line, const ByteTextStore& store) const {
  if (line + 1 >= m_starts.size()) return m_size;
  std::size_t end = m_starts[line + 1] - 1;  // the CR or LF that ends the line
  if (store.At(end) == '\n' && end > m_starts[line] && store.At(end - 1) == '\r') --end;
  return end;
}

std::size_t ByteTextLines::LineOf(std::size_t offset) const {
  const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), offset);
  return static_cast<std::size_t>(next - m_starts.begin()) - 1;
}

std::size_t ByteTextLines::MaxWidth() const { return std::max(m_maxEndedWidth, LastLineWidth()); }

std::size_t ByteTextLines::LastLineWidth() const { return m_size - m_starts.back(); }

std::size_t ByteTextLines::KnownCharStartBefore(std::size_t line, std::size_t offset) const {
  const auto next = std::upper_bound(m_checkpoints.begin(), m_checkpoints.end(), offset);
  if (next == m_checkpoints.begin()) return m_starts[line];
  return std::max(m_starts[line], *std::prev(next));
}

}  // namespace morvek::qt
