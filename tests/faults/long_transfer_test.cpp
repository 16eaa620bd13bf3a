// Ten megabytes through a pty and two through the loopback plug at 20,000,000
// baud, shown as ASCII and as HEX: the receive box's text decodes back to
// exactly the bytes sent, in order, however long the reader is kept off the
// CPU (the plug holds its writer back rather than drop a byte). The bounds are
// generous and nothing depends on speed; figures belong to bench/.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "port/serial_driver.h"
#include "res/resource.h"
#include "support/pty_peer.h"
#include "support/terminal_test.h"
#include "support/transfer.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::ReceiveFormat;

class LongTransferTest : public morvek::test::TerminalTest {
 protected:
  // `baud`: the rate set on the open port first (0 = as the settings say).
  void TransferBothFormats(size_t size, DWORD baud, const std::function<void(const std::string&)>& feed) {
    Run([&](CTerminalDlg& dlg) {
      DCB dcb{};
      ASSERT_TRUE(GetCommState(g_hComm, &dcb));
      dcb.BaudRate = baud ? baud : dcb.BaudRate;
      ASSERT_TRUE(SetCommState(g_hComm, &dcb));
      for (ReceiveFormat format : {ReceiveFormat::Ascii, ReceiveFormat::Hex}) {
        SCOPED_TRACE(format == ReceiveFormat::Ascii ? "ASCII" : "HEX");
        const std::string sent = morvek::test::RandomBytes(size, 7, format);
        morvek::test::SelectReceiveFormat(dlg, format);
        const morvek::test::TransferResult result = morvek::test::Transfer(dlg, sent, format, feed, 300s);
        EXPECT_TRUE(result.complete);
        ASSERT_TRUE(result.decoded);
        ASSERT_EQ(result.received.size(), sent.size());
        // The first difference, rather than ten megabytes printed.
        EXPECT_EQ(std::mismatch(sent.begin(), sent.end(), result.received.begin()).first - sent.begin(),
                  static_cast<std::ptrdiff_t>(sent.size()));
        EXPECT_EQ(morvek::test::ControlText(dlg, IDC_RECEIVE_BOX).size(),
                  static_cast<size_t>(dlg.m_strReceive.GetLength()));
        dlg.m_strReceive = "";
        dlg.UpdateData(FALSE);
      }
    });
    EXPECT_TRUE(morvek::test::MessagesShown().empty());
  }
};

TEST_F(LongTransferTest, TenMegabytesThroughAPtyArriveWhole) {
  morvek::test::PtyPeer peer(1);
  TransferBothFormats(10u << 20, 0, [&](const std::string& bytes) { EXPECT_TRUE(peer.Write(bytes)); });
}

TEST_F(LongTransferTest, TwoMegabytesThroughTheLoopbackPlugArriveWhole) {
  setenv("MORVEK_COM1", "loopback", 1);
  TransferBothFormats(2u << 20, 20000000,
                      [](const std::string& bytes) { EXPECT_TRUE(morvek::test::WriteToPort(bytes)); });
}

}  // namespace
