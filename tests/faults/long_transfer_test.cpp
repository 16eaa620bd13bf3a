// Random bytes into the running terminal, ten megabytes through a pty at full
// speed and two through the loopback plug at 20,000,000 baud, shown as ASCII
// and as HEX: the receive box's text decodes back to exactly the bytes sent, in
// order, however long the reader is kept off the CPU, and the control shows
// what the box holds. (The hundred-megabyte run is a benchmark.)
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <string>

#include "port/serial_driver.h"
#include "res/resource.h"
#include "support/pty_peer.h"
#include "support/terminal_test.h"
#include "support/transfer.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::ControlText;
using morvek::test::MessagesShown;
using morvek::test::PtyPeer;
using morvek::test::ReceiveFormat;


class LongTransferTest : public morvek::test::TerminalTest {
 protected:
  // Runs one transfer in each of ASCII and HEX, then checks every byte.
  void TransferBothFormats(CTerminalDlg& dlg, size_t size, const std::function<void(const std::string&)>& feed) {
    for (ReceiveFormat format : {ReceiveFormat::Ascii, ReceiveFormat::Hex}) {
      SCOPED_TRACE(format == ReceiveFormat::Ascii ? "ASCII" : "HEX");
      const std::string sent = morvek::test::RandomBytes(size, 7, format);
      morvek::test::SelectReceiveFormat(dlg, format);
      morvek::test::TransferResult result = morvek::test::Transfer(dlg, sent, format, feed, 300s);
      EXPECT_TRUE(result.complete);
      ASSERT_TRUE(result.decoded);
      ASSERT_EQ(result.received.size(), sent.size());
      // Find the first difference rather than print ten megabytes.
      auto mismatch = std::mismatch(sent.begin(), sent.end(), result.received.begin());
      EXPECT_EQ(mismatch.first - sent.begin(), static_cast<std::ptrdiff_t>(sent.size()));
      EXPECT_EQ(morvek::test::Checksum(result.received), morvek::test::Checksum(sent));
      EXPECT_EQ(ControlText(dlg, IDC_RECEIVE_BOX).size(), static_cast<size_t>(dlg.m_strReceive.GetLength()));
      dlg.m_strReceive = "";
      dlg.UpdateData(FALSE);
    }
  }
};

TEST_F(LongTransferTest, TenMegabytesThroughAPtyArriveWhole) {
  PtyPeer peer;
  setenv("MORVEK_COM1", peer.SlavePath().c_str(), 1);
  Run([&](CTerminalDlg& dlg) {
    TransferBothFormats(dlg, 10u << 20, [&](const std::string& bytes) { EXPECT_TRUE(peer.Write(bytes)); });
  });
  EXPECT_TRUE(MessagesShown().empty());
}

TEST_F(LongTransferTest, TwoMegabytesThroughTheLoopbackPlugArriveWhole) {
  setenv("MORVEK_COM1", "loopback", 1);
  Run([&](CTerminalDlg& dlg) {
    DCB dcb{};
    ASSERT_TRUE(GetCommState(g_hComm, &dcb));
    dcb.BaudRate = 20000000;
    ASSERT_TRUE(SetCommState(g_hComm, &dcb));
    TransferBothFormats(dlg, 2u << 20,
                        [](const std::string& bytes) { EXPECT_TRUE(morvek::test::WriteToPort(bytes)); });
  });
  EXPECT_TRUE(MessagesShown().empty());
}

}  // namespace
