// Turns a slice of one line of a ByteTextView into the pieces painting draws,
// each placed at its column: runs of printable ASCII (whose glyphs are one
// column each in a fixed-pitch font) and every other character on its own, so
// that glyphs from fallback fonts (kanji, kana, placeholders) cannot shift the
// columns after them. Bytes that have no character of their own are made visible.
#pragma once

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace morvek::qt {

struct ByteTextRun {
  QString text;        // what to draw
  std::size_t column;  // column of its first character, counted from the slice's start
};

// `slice` starts at a character start. A byte that decodes to no character is
// drawn as U+FFFD, a control character as its control picture (U+2400 + code,
// U+2421 for DEL), so that each character keeps its column.
std::vector<ByteTextRun> LayOutRuns(std::string_view slice);

// Decoded text for the clipboard: bytes that decode to no character become U+FFFD.
QString ToClipboardText(std::u16string decoded);

}  // namespace morvek::qt
