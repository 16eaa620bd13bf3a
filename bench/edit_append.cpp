// Cost of showing one more 4 KB block in the read-only multi-line edit (the
// receive box) as the program does: the text grows in a CString and is set
// again whole, through SetWindowText or UpdateData(FALSE) with all the main
// dialog's text members bound. Measured when the box holds 1 MB and 50 MB,
// for text with line breaks and for one long line (HEX without line ends);
// the two figures should differ little (goal: ratio <= 1.5), because the box
// takes only the tail of a string that grew by appending.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/afx.h"
#include "platform/testing.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr UINT kMainTemplate = 102;
constexpr int kReceiveBox = 1003;
constexpr std::size_t kBlock = 4096;
constexpr int kMeasuredBlocks = 1024;
constexpr int kBlocksPerPump = 20;  // the window gets to paint now and then, as in the program
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

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
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
    m_strRecvCount.Format("%d", m_strReceive.GetLength());
    if (throughUpdateData) {
      UpdateData(FALSE);
    } else {
      GetDlgItem(kReceiveBox)->SetWindowText(m_strReceive);
    }
  }

  // Grows the box to `size`, then returns the mean time of the next blocks (µs).
  double MeasureAt(std::size_t size, const std::string& block, bool throughUpdateData) {
    int blocks = 0;
    while (static_cast<std::size_t>(m_strReceive.GetLength()) < size) {
      AppendBlock(block, throughUpdateData);
      if (++blocks % kBlocksPerPump == 0) morvek::testing::PumpOnce();
    }
    Clock::time_point start = Clock::now();
    for (int i = 1; i <= kMeasuredBlocks; ++i) {
      AppendBlock(block, throughUpdateData);
      if (i % kBlocksPerPump == 0) morvek::testing::PumpOnce();
    }
    std::chrono::duration<double, std::micro> spent = Clock::now() - start;
    return spent.count() / kMeasuredBlocks;
  }
};

}  // namespace

int main(int argc, char** argv) {
  morvek::testing::StartWindowSystem(argc, argv);
  ReceiveDialog dialog;
  double worstRatio = 0;
  morvek::testing::OnModalDialog([&](CDialog&) {
    std::printf("%-12s %-16s %12s %12s %7s %9s\n", "text", "path", "1 MB (us)", "50 MB (us)", "ratio", "RSS (MB)");
    for (bool lineBreaks : {true, false}) {
      for (bool throughUpdateData : {false, true}) {
        dialog.m_strReceive.Empty();
        dialog.UpdateData(FALSE);
        std::string block = MakeBlock(lineBreaks);
        double small = dialog.MeasureAt(kSmall, block, throughUpdateData);
        double large = dialog.MeasureAt(kLarge, block, throughUpdateData);
        double ratio = large / small;
        worstRatio = std::max(worstRatio, ratio);
        std::printf("%-12s %-16s %12.1f %12.1f %7.2f %9.1f\n", lineBreaks ? "lines" : "one line",
                    throughUpdateData ? "UpdateData" : "SetWindowText", small, large, ratio, ResidentKb() / 1024.0);
      }
    }
    dialog.EndDialog(IDOK);
  });
  dialog.DoModal();
  std::printf("worst ratio %.2f (goal <= 1.5)\n", worstRatio);
  return 0;
}
