#include "transfer.h"

#include <algorithm>
#include <atomic>
#include <random>
#include <thread>

#include "platform/testing.h"
#include "port/serial_driver.h"

namespace morvek::test {

std::string RandomBytes(std::size_t size, std::uint32_t seed, ReceiveFormat format) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    do {
      c = static_cast<char>(random());
    } while (format == ReceiveFormat::Ascii && c == '~');
  }
  return bytes;
}

static int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool DecodeReceiveText(std::string_view text, ReceiveFormat format, std::string& bytes) {
  bytes.clear();
  if (format == ReceiveFormat::Ascii) {
    bytes.assign(text);
    for (char& c : bytes) {
      if (c == '~') c = '\0';
    }
    return true;
  }
  if (format != ReceiveFormat::Hex || text.size() % 3 != 0) return false;
  bytes.reserve(text.size() / 3);
  for (std::size_t i = 0; i < text.size(); i += 3) {
    int high = DigitValue(text[i + 1]);
    int low = DigitValue(text[i + 2]);
    if (text[i] != ' ' || high < 0 || low < 0) return false;
    bytes.push_back(static_cast<char>(high * 16 + low));
  }
  return true;
}

void SelectReceiveFormat(CTerminalDlg& dlg, ReceiveFormat format) {
  testing::ChooseComboEntry(dlg.m_cmbDisplay.m_hWnd, static_cast<int>(format));
}

TransferResult Transfer(CTerminalDlg& dlg, const std::string& bytes, ReceiveFormat format,
                        const std::function<void(const std::string&)>& feed, std::chrono::seconds timeout,
                        const std::function<void(std::size_t shown)>& onProgress) {
  using Clock = std::chrono::steady_clock;
  const std::size_t textPerByte = format == ReceiveFormat::Ascii ? 1 : 3;
  const std::size_t start = static_cast<std::size_t>(dlg.m_strReceive.GetLength());
  const std::size_t end = start + textPerByte * bytes.size();
  TransferResult result;
  auto began = Clock::now();
  std::atomic<bool> fed{false};
  std::thread feeder([&] {
    feed(bytes);
    fed = true;
  });
  // Bytes that were lost never come: once the feed has ended, a box that stops
  // growing ends the wait early.
  std::size_t lastLength = start;
  auto lastGrowth = Clock::now();
  bool stalled = false;
  result.complete = testing::PumpUntil(
      [&] {
        std::size_t length = static_cast<std::size_t>(dlg.m_strReceive.GetLength());
        if (onProgress) onProgress((length - start) / textPerByte);
        if (length != lastLength) {
          lastLength = length;
          lastGrowth = Clock::now();
        }
        stalled = fed && Clock::now() - lastGrowth > timeout / 10;
        return length >= end || stalled;
      },
      timeout) && !stalled;
  result.seconds = std::chrono::duration<double>(Clock::now() - began).count();
  feeder.join();
  result.decoded = DecodeReceiveText(dlg.m_strReceive.View().substr(start), format, result.received);
  return result;
}

bool WriteToPort(const std::string& bytes) {
  for (std::size_t at = 0; at < bytes.size(); at += 4096) {
    const DWORD count = static_cast<DWORD>(std::min<std::size_t>(4096, bytes.size() - at));
    DWORD written = 0;
    if (!WriteFile(g_hComm, bytes.data() + at, count, &written, nullptr) || written != count) return false;
  }
  return true;
}

}  // namespace morvek::test
