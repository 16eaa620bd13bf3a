// The modem-line indicators and the DTR and RTS outputs, on a virtual port and
// on the loopback plug.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "res/resource.h"
#include "support/terminal_test.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::ControlText;
using morvek::test::MessagesShown;
using morvek::test::PressButton;
using morvek::testing::PumpUntil;
using morvek::testing::VirtualPort;

// The four indicators in the order DSR, CTS, DCD, RI.
std::string Indicators(CTerminalDlg& dlg) {
  return ControlText(dlg, IDC_DSR) + "/" + ControlText(dlg, IDC_CTS) + "/" + ControlText(dlg, IDC_DCD) + "/" +
         ControlText(dlg, IDC_RI);
}

using ModemLinesTest = morvek::test::TerminalTest;

TEST_F(ModemLinesTest, TheIndicatorsShowTheInputsAndTheCheckBoxesSwitchTheOutputsEvenWhenRefused) {
  auto port = VirtualPort::Install(1);
  struct Case {
    DWORD bits;
    bool failStatus;
    const char* shown;
  } cases[] = {
      {MS_DSR_ON, false, "ON/OFF/OFF/OFF"},
      {MS_CTS_ON, false, "OFF/ON/OFF/OFF"},
      {MS_RLSD_ON, false, "OFF/OFF/ON/OFF"},
      {MS_RING_ON, false, "OFF/OFF/OFF/ON"},
      {MS_DSR_ON | MS_CTS_ON | MS_RLSD_ON | MS_RING_ON, false, "ON/ON/ON/ON"},
      {0, false, "OFF/OFF/OFF/OFF"},
      {MS_DSR_ON | MS_CTS_ON | MS_RLSD_ON | MS_RING_ON, true, "OFF/OFF/OFF/OFF"},
  };
  constexpr DWORD kDtr = 1, kRts = 2;
  struct Step {
    int button;
    bool refuse;
    DWORD dtr, rts, lines;
  } steps[] = {
      {IDC_DTR, false, 0, 1, kRts},
      {IDC_RTS, false, 0, 0, 0},
      {IDC_DTR, false, 1, 0, kDtr},
      {IDC_RTS, true, 1, 1, kDtr},  // the port refuses; state and box follow anyway
      {IDC_RTS, false, 1, 0, kDtr},
      {IDC_RTS, false, 1, 1, kDtr | kRts},
  };
  Run([&](CTerminalDlg& dlg) {
    // Each input shows ON within one refresh, and all show OFF when the port
    // cannot say.
    for (const Case& c : cases) {
      port->SetModemStatus(c.bits);
      port->FailStatus(c.failStatus);
      EXPECT_TRUE(PumpUntil([&] { return Indicators(dlg) == c.shown; }, 30s)) << c.shown << " " << Indicators(dlg);
      // The bound members stay empty: the texts go straight into the controls.
      EXPECT_TRUE(dlg.m_strDsr.IsEmpty() && dlg.m_strCts.IsEmpty() && dlg.m_strDcd.IsEmpty() && dlg.m_strRi.IsEmpty());
    }
    // Both outputs are on after start-up; each click switches one.
    EXPECT_EQ(port->OutputLines(), kDtr | kRts);
    for (const Step& s : steps) {
      port->FailStatus(s.refuse);
      PressButton(dlg, s.button);
      const std::vector<DWORD> state{static_cast<DWORD>(dlg.m_bDtr), static_cast<DWORD>(dlg.m_bRts),
                                     static_cast<DWORD>(dlg.m_chkDtr.GetCheck()),
                                     static_cast<DWORD>(dlg.m_chkRts.GetCheck()), port->OutputLines()};
      EXPECT_EQ(state, (std::vector<DWORD>{s.dtr, s.rts, s.dtr, s.rts, s.lines})) << s.button;
    }
    port->FailStatus(false);
  });
}

// How often each indicator (DSR, CTS, DCD, RI) was shown anew.
std::vector<int> IndicatorRewrites(CTerminalDlg& dlg) {
  std::vector<int> rewrites;
  for (int id : {IDC_DSR, IDC_CTS, IDC_DCD, IDC_RI}) {
    rewrites.push_back(morvek::testing::FullTextRewrites(dlg.GetDlgItem(id)->m_hWnd));
  }
  return rewrites;
}

TEST_F(ModemLinesTest, OnTheLoopbackPlugDtrDrivesDsrAndDcdAndRtsDrivesCtsInTheSameClick) {
  setenv("MORVEK_COM1", "loopback", 1);
  Run([&](CTerminalDlg& dlg) {
    EXPECT_TRUE(PumpUntil([&] { return Indicators(dlg) == "ON/ON/ON/OFF"; }, 30s)) << Indicators(dlg);
    // Every click refreshes all four; only an indicator whose value changed
    // is shown anew.
    struct Step {
      int button;
      const char* shown;
      std::vector<int> rewritten;
    } steps[] = {
        {IDC_DTR, "OFF/ON/OFF/OFF", {1, 0, 1, 0}},
        {IDC_RTS, "OFF/OFF/OFF/OFF", {0, 1, 0, 0}},
        {IDC_DTR, "ON/OFF/ON/OFF", {1, 0, 1, 0}},
    };
    for (const Step& step : steps) {
      std::vector<int> before = IndicatorRewrites(dlg);
      PressButton(dlg, step.button);
      EXPECT_EQ(Indicators(dlg), step.shown);
      std::vector<int> after = IndicatorRewrites(dlg);
      for (std::size_t i = 0; i < after.size(); ++i) after[i] -= before[i];
      EXPECT_EQ(after, step.rewritten) << step.shown;
    }
  });
  EXPECT_TRUE(MessagesShown().empty());
}

}  // namespace
