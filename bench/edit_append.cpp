// Cost of showing one more 4 KB block in the read-only multi-line edit (the
// receive box) as the program does: the text grows in a CString and is set
// again whole, through SetWindowText or UpdateData(FALSE) with all the main
// dialog's text members bound. Measured when the box holds 1 MB and 50 MB,
// for text with line breaks and for one long line (HEX without line ends):
// the time to take a block, and the time to paint the box. The figures at
// 50 MB should differ little from those at 1 MB (goal: ratio <= 1.5), because
// the box takes only the tail of a string that grew by appending and paints
// only what is visible.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/afx.h"
#include "platform/testing.h"
#include "process_memory.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr UINT kMainTemplate = 102;
constexpr int kReceiveBox = 1003;
constexpr std::size_t kBlock = 4096;
// Each figure is the median of several batches: the machine's other work
// shows in single batches.
constexpr int kBatches = 9;
constexpr int kBlocksPerBatch = 128;
constexpr int kMeasuredPaints = 15;
constexpr int kBlocksPerPump = 20;  // while filling, the window gets to paint now and then
constexpr std::size_t kSmall = std::size_t{1} << 20;
constexpr std::size_t kLarge = std::size_t{50} << 20;

std::string MakeBlock(bool lineBreaks) {
  std::string block;
  while (block.size() < kBlock) {
    if (lineBreaks && block.size() % 80 == 78) {
      block += "\r\n";
    } else {
      block += static_cast<char>('A' + block.size() % 26);
    }
  }
  block.resize(kBlock);
  return block;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The main dialog with its text members bound as the program binds them.
class ReceiveDialog : public CDialog {
 public:
  ReceiveDialog() : CDialog(kMainTemplate) {}
  CString m_strReceive;
  CString m_strRecvCount;
  CString m_strOthers[9];
  void DoDataExchange(CDataExchange* pDX) override {
    const int others[9] = {1002, 1009, 1011, 1012, 1010, 1013, 1016, 1018, 1019};
    for (int i = 0; i < 9; ++i) DDX_Text(pDX, others[i], m_strOthers[i]);
    DDX_Text(pDX, kReceiveBox, m_strReceive);
    DDX_Text(pDX, 1021, m_strRecvCount);
  }

  void AppendBlock(const std::string& block, bool throughUpdateData) {
    m_strReceive += block.c_str();
    m_strRecvCount = std::to_string(m_strReceive.GetLength()).c_str();
    if (throughUpdateData) {
      UpdateData(FALSE);
    } else {
      GetDlgItem(kReceiveBox)->SetWindowText(m_strReceive);
    }
  }

  struct Cost {
    double perBlock;  // microseconds to take one block
    double perPaint;  // microseconds to paint the box
  };

  // Grows the box to `size`, then measures the next blocks and paints.
  Cost MeasureAt(std::size_t size, const std::string& block, bool throughUpdateData) {
    int blocks = 0;
    while (static_cast<std::size_t>(m_strReceive.GetLength()) < size) {
      AppendBlock(block, throughUpdateData);
      if (++blocks % kBlocksPerPump == 0) morvek::testing::PumpOnce();
    }
    morvek::testing::PumpOnce();
    std::vector<double> batches;
    for (int batch = 0; batch < kBatches; ++batch) {
      Clock::time_point start = Clock::now();
      for (int i = 0; i < kBlocksPerBatch; ++i) AppendBlock(block, throughUpdateData);
      batches.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kBlocksPerBatch);
    }
    HWND box = GetDlgItem(kReceiveBox)->m_hWnd;
    std::vector<double> paints;
    for (int i = 0; i < kMeasuredPaints; ++i) {
      Clock::time_point start = Clock::now();
      morvek::testing::RenderWindow(box);
      paints.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return {Median(batches), Median(paints)};
  }
};

}  // namespace

int main(int argc, char** argv) {
  morvek::testing::StartWindowSystem(argc, argv);
  ReceiveDialog dialog;
  double worstRatio = 0;
  morvek::testing::OnModalDialog([&](CDialog&) {
    std::printf("%-9s %-14s %23s %23s %9s\n", "", "", "block (us) 1 MB  50 MB", "paint (us) 1 MB  50 MB", "");
    std::printf("%-9s %-14s %23s %23s %9s\n", "text", "path", "ratio", "ratio", "RSS (MB)");
    for (bool lineBreaks : {true, false}) {
      for (bool throughUpdateData : {false, true}) {
        dialog.m_strReceive.Empty();
        dialog.UpdateData(FALSE);
        std::string block = MakeBlock(lineBreaks);
        ReceiveDialog::Cost small = dialog.MeasureAt(kSmall, block, throughUpdateData);
        ReceiveDialog::Cost large = dialog.MeasureAt(kLarge, block, throughUpdateData);
        double blockRatio = large.perBlock / small.perBlock;
        double paintRatio = large.perPaint / small.perPaint;
        worstRatio = std::max({worstRatio, blockRatio, paintRatio});
        std::printf("%-9s %-14s %8.1f %7.1f %6.2f %8.1f %7.1f %6.2f %9.1f\n", lineBreaks ? "lines" : "one line",
                    throughUpdateData ? "UpdateData" : "SetWindowText", small.perBlock, large.perBlock, blockRatio,
                    small.perPaint, large.perPaint, paintRatio, morvek::bench::ResidentKilobytes() / 1024.0);
      }
    }
    dialog.EndDialog(IDOK);
  });
  dialog.DoModal();
  std::printf("worst ratio %.2f (goal <= 1.5)\n", worstRatio);
  return 0;
}
