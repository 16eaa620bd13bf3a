// The line index of a ByteTextView, kept up to date as bytes are appended: the
// start offset of every line, the width of the longest line, and character
// starts every few KB inside long lines, so that painting can begin at any
// column of a 50 MB line without walking it from its start.
//
// A line ends at LF, CR LF or a lone CR. A CR at the end of one append and an LF
// at the start of the next are one line end. A line's width in columns is its
// byte count without the line end (a double-byte character is two columns).
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "qt/byte_text_store.h"

namespace morvek::qt {

class ByteTextLines {
 public:
  ByteTextLines();

  // Takes in bytes just appended to the text. Cost proportional to the tail.
  void Append(std::string_view tail);
  void Clear();  // back to one empty line

  std::size_t Count() const { return m_starts.size(); }  // at least 1
  std::size_t Start(std::size_t line) const { return m_starts[line]; }
  // Where the line's text ends (before its line end); `store` holds the bytes.
  std::size_t ContentEnd(std::size_t line, const ByteTextStore& store) const;
  std::size_t LineOf(std::size_t offset) const;  // the line that holds offset

  std::size_t MaxWidth() const;       // columns of the longest line
  std::size_t LastLineWidth() const;  // columns of the last line

  // The nearest character start at or before `offset` that is known without
  // reading the bytes: the line's start or a checkpoint inside the line.
  std::size_t KnownCharStartBefore(std::size_t line, std::size_t offset) const;

 private:
  static constexpr std::size_t kCheckpointSpacing = 4096;

  std::vector<std::size_t> m_starts;
  std::vector<std::size_t> m_checkpoints;  // character starts inside long lines, ascending
  std::size_t m_size = 0;
  std::size_t m_maxEndedWidth = 0;   // widest line that has ended
  std::size_t m_lastKnownStart = 0;  // latest line start or checkpoint
  bool m_endedWithCr = false;        // the last byte was a CR: an LF next joins it
  bool m_endedWithLead = false;      // the last byte may start a double-byte character
  unsigned char m_lead = 0;          // that byte
};

}  // namespace morvek::qt
