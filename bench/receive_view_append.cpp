// Cost of appending a 4 KB block to the receive box's view when it already
// holds 1 MB or 50 MB (following the end, and at 50 MB also scrolled back to
// the middle), for text with line breaks and for one long HEX line, with a
// paint after every 20 blocks; and the memory the view takes for 50 MB.
#include <malloc.h>

#include <QScrollBar>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/byte_text_view.h"
#include "platform/testing.h"
#include "process_memory.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kBlock = 4096;
constexpr int kMeasuredBlocks = 400;
constexpr int kBlocksPerPaint = 20;

// A stream of received text cut into 4 KB blocks, endless (it repeats).
class BlockSource {
 public:
  explicit BlockSource(bool lineBreaks) {
    while (m_text.size() < (1u << 20)) {
      if (lineBreaks) {
        m_text += "RX " + std::to_string(m_text.size()) + " ";
        while (m_text.size() % 80 < 78) m_text += static_cast<char>('A' + m_text.size() % 26);
        m_text += "\r\n";
      } else {
        static const char kHex[] = "0123456789ABCDEF";
        const unsigned char byte = static_cast<unsigned char>(m_text.size() * 7);
        m_text += {' ', kHex[byte >> 4], kHex[byte & 15]};
      }
    }
    m_text.resize(m_text.size() / kBlock * kBlock);
  }
  std::string_view Next() {
    const std::string_view block = std::string_view(m_text).substr(m_at, kBlock);
    m_at = (m_at + kBlock) % m_text.size();
    return block;
  }

 private:
  std::string m_text;
  std::size_t m_at = 0;
};

struct Figures {
  double microsPerBlock;
  long residentKb;
};

Figures Measure(bool lineBreaks, std::size_t held, bool scrolledBack = false) {
  BlockSource source(lineBreaks);
  malloc_trim(0);  // hand back what earlier views freed, so the difference is this view's
  const long before = morvek::bench::ResidentKilobytes();
  auto view = std::make_unique<morvek::qt::ByteTextView>();
  view->resize(1015, 350);  // the receive box of a maximised terminal
  view->show();
  for (std::size_t size = 0; size < held; size += kBlock) view->appendBytes(source.Next());
  morvek::testing::PumpUntil([&] { return view->verticalScrollBar()->value() == view->verticalScrollBar()->maximum(); },
                             std::chrono::seconds(5));
  const long resident = morvek::bench::ResidentKilobytes() - before;
  if (scrolledBack) view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum() / 2);

  std::vector<double> batches;  // microseconds per block, one figure per 20 blocks
  for (int batch = 0; batch < kMeasuredBlocks / kBlocksPerPaint; ++batch) {
    const auto start = Clock::now();
    for (int i = 0; i < kBlocksPerPaint; ++i) view->appendBytes(source.Next());
    morvek::testing::PumpOnce();
    view->viewport()->grab();
    batches.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kBlocksPerPaint);
  }
  std::sort(batches.begin(), batches.end());
  return {batches[batches.size() / 2], resident};
}

}  // namespace

int main(int argc, char** argv) {
  morvek::testing::StartWindowSystem(argc, argv);
  std::printf("append 4 KB blocks, paint every %d blocks (median of %d batches)\n", kBlocksPerPaint,
              kMeasuredBlocks / kBlocksPerPaint);
  for (const bool lineBreaks : {true, false}) {
    const char* shape = lineBreaks ? "lines of 80 bytes" : "one HEX line    ";
    const Figures small = Measure(lineBreaks, 1u << 20);
    const Figures large = Measure(lineBreaks, 50u << 20);
    const Figures back = Measure(lineBreaks, 50u << 20, true);
    std::printf("%s  1 MB held: %7.1f us/block  50 MB held: %7.1f us/block  ratio 50MB/1MB %.2f"
                "  50 MB scrolled back: %7.1f us/block\n",
                shape, small.microsPerBlock, large.microsPerBlock, large.microsPerBlock / small.microsPerBlock,
                back.microsPerBlock);
    std::printf("%s  resident memory for 50 MB held: %.1f MB (%.2f bytes per byte)\n", shape, large.residentKb / 1024.0,
                large.residentKb * 1024.0 / (50u << 20));
  }
  return 0;
}
