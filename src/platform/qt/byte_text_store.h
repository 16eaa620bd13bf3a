// The bytes of a ByteTextView, kept in fixed-size chunks: appending never moves
// what is already held, and the memory used stays close to the byte count.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace morvek::qt {

class ByteTextStore {
 public:
  void Append(std::string_view tail);  // cost proportional to the tail
  void Clear();                        // gives the memory back

  std::size_t Size() const { return m_size; }
  unsigned char At(std::size_t offset) const;  // offset < Size()
  // The bytes [begin, end), both clamped to Size().
  std::string Copy(std::size_t begin, std::size_t end) const;

 private:
  static constexpr std::size_t kChunkSize = 64 * 1024;
  std::vector<std::unique_ptr<char[]>> m_chunks;
  std::size_t m_size = 0;
};

}  // namespace morvek::qt
