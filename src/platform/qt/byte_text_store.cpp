#include "qt/byte_text_store.h"

#include <algorithm>
#include <cstring>

namespace morvek::qt {

void ByteTextStore::Append(std::string_view tail) {
  while (!tail.empty()) {
    const std::size_t used = m_size % kChunkSize;
    // Chunks are not zero-filled: only the pages written to become resident.
    if (used == 0) m_chunks.push_back(std::make_unique_for_overwrite<char[]>(kChunkSize));
    const std::size_t count = std::min(tail.size(), kChunkSize - used);
    std::memcpy(m_chunks.back().get() + used, tail.data(), count);
    m_size += count;
    tail.remove_prefix(count);
  }
}

void ByteTextStore::Clear() {
  m_chunks.clear();
  m_chunks.shrink_to_fit();
  m_size = 0;
}

unsigned char ByteTextStore::At(std::size_t offset) const {
  return static_cast<unsigned char>(m_chunks[offset / kChunkSize][offset % kChunkSize]);
}

std::string ByteTextStore::Copy(std::size_t begin, std::size_t end) const {
  end = std::min(end, m_size);
  begin = std::min(begin, end);
  std::string bytes(end - begin, '\0');
  for (std::size_t at = begin; at < end;) {
    const std::size_t inChunk = at % kChunkSize;
    const std::size_t count = std::min(end - at, kChunkSize - inChunk);
    std::memcpy(bytes.data() + (at - begin), m_chunks[at / kChunkSize].get() + inChunk, count);
    at += count;
  }
  return bytes;
}

}  // namespace morvek::qt
