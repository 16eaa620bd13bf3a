// The port settings dialog run modally and driven from inside its loop: the
// first showing's loading, later showings, the selection handlers, the two ways
// to end it, the time-out conversion and the keys it swallows.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "platform/msvcrt.h"
#include "platform/testing.h"
#include "port/list_settings.h"
#include "port/port_settings_dlg.h"
#include "port/settings_file.h"
#include "port/value_lists.h"
#include "res/resource.h"
#include "support/default_port_config.h"
#include "support/temp_dir.h"
#include "support/terminal_session.h"

namespace {

using morvek::test::RecordOf;

using morvek::test::ControlText;
using morvek::test::TempCurrentDir;
using morvek::test::WriteFileBytes;

std::string Bytes(const CString& text) { return std::string(text.View()); }

CComboBox& BoxOf(CPortSettingsDlg& dlg, ListSetting setting) {
  CComboBox CPortSettingsDlg::*const boxes[] = {&CPortSettingsDlg::m_cmbPort,     &CPortSettingsDlg::m_cmbBaudRate,
                                                &CPortSettingsDlg::m_cmbByteSize, &CPortSettingsDlg::m_cmbParity,
                                                &CPortSettingsDlg::m_cmbStopBits, &CPortSettingsDlg::m_cmbFlowControl};
  return dlg.*boxes[static_cast<int>(setting)];
}

// The selected position of every box, in the order of kListSettings.
std::vector<int> Selections(CPortSettingsDlg& dlg) {
  std::vector<int> selections;
  for (ListSetting setting : kListSettings) selections.push_back(BoxOf(dlg, setting).GetCurSel());
  return selections;
}

// Picks an entry from the drop-down list as the operator does.
void Pick(CPortSettingsDlg& dlg, ListSetting setting, int position) {
  EXPECT_TRUE(morvek::testing::ChooseComboEntry(BoxOf(dlg, setting).m_hWnd, position));
}

// A box that loses its selection (no entry picked) still notifies the dialog.
void ClearPick(CPortSettingsDlg& dlg, ListSetting setting) {
  CComboBox& box = BoxOf(dlg, setting);
  box.SetCurSel(-1);
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(box.GetDlgCtrlID(), CBN_SELCHANGE), reinterpret_cast<LPARAM>(box.m_hWnd));
}

void PressOk(CDialog& dlg) { morvek::testing::Click(dlg.GetDlgItem(IDOK)->m_hWnd); }

// Runs the dialog as its callers do; `script` drives it once it is up and may
// end it, else OK ends it.
void RunSettingsDialog(const std::function<void(CPortSettingsDlg&)>& script) {
  bool ran = false;
  morvek::testing::OnModalDialog([&](CDialog& shown) {
    if (shown.GetTemplateId() != IDD_PORT_SETTINGS) return;
    ran = true;
    auto& dlg = static_cast<CPortSettingsDlg&>(shown);
    script(dlg);
    if (IsWindow(dlg.m_hWnd)) PressOk(dlg);
  });
  auto* pDlg = new CPortSettingsDlg();
  pDlg->DoModal();
  delete pDlg;
  morvek::testing::OnModalDialog(nullptr);
  EXPECT_TRUE(ran);
}

class PortSettingsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    g_portConfig = PortConfig{};
    g_bSettingsLoaded = 0;
    g_bSettingsFileRead = 0;
  }
  void TearDown() override { g_bSettingsLoaded = 0; }
  TempCurrentDir m_dir;
};

TEST_F(PortSettingsDialog, FirstShowingWithAFileKeepsItsValuesAndSelectsByPrefix) {
  PortConfig file = morvek::test::DefaultPortConfig();
  file.nPortIndex = 2;
  SetPortConfigText(file.szPort, "COM5");  // disagrees with the index: both kept
  file.BaudRate = 1234;
  SetPortConfigText(file.szBaudRate, " 19200");
  SetPortConfigText(file.szByteSize, "7");
  SetPortConfigText(file.szParity, "xyz");  // no entry begins with it
  file.StopBits = 2;
  SetPortConfigText(file.szStopBits, "1.");  // a prefix of "1.5" only
  file.fOutxCtsFlow = 1;
  SetPortConfigText(file.szFlowControl, "hARDware");  // case does not matter
  file.ReadIntervalTimeout = 77;
  WriteFileBytes("morvek.ini", RecordOf(file));

  RunSettingsDialog([](CPortSettingsDlg& dlg) {
    EXPECT_EQ(Selections(dlg), (std::vector<int>{4, 10, 2, CB_ERR, 1, 1}));
    EXPECT_EQ(ControlText(dlg, IDC_TIMEOUT), "77");
  });
  EXPECT_EQ(g_bSettingsFileRead, 1);
  EXPECT_EQ(RecordOf(g_portConfig), RecordOf(file));
}

TEST_F(PortSettingsDialog, ALaterShowingPresentsTheRecordAndNeverRereadsTheFile) {
  RunSettingsDialog([](CPortSettingsDlg& dlg) { Pick(dlg, ListSetting::Port, 2); });
  g_bSettingsLoaded = 1;
  g_portConfig.ReadIntervalTimeout = 123;
  const PortConfig inMemory = g_portConfig;

  PortConfig changedOnDisk = morvek::test::DefaultPortConfig();
  ApplyListEntry(ListSetting::Port, 9, changedOnDisk);
  changedOnDisk.ReadIntervalTimeout = 5;
  WriteFileBytes("morvek.ini", RecordOf(changedOnDisk));

  RunSettingsDialog([](CPortSettingsDlg& dlg) {
    EXPECT_EQ(Selections(dlg), (std::vector<int>{2, 8, 3, 0, 0, 0}));
    EXPECT_EQ(ControlText(dlg, IDC_TIMEOUT), "123");
  });
  EXPECT_EQ(g_bSettingsFileRead, 0);
  EXPECT_EQ(RecordOf(g_portConfig), RecordOf(inMemory));
}

// Each box lists the documented entries in their order (unsorted); a pick sets
// the setting's number and text at once, and a box left without a selection
// changes nothing.
TEST_F(PortSettingsDialog, ListsShowTheDocumentedEntriesAndEveryPickSetsNumberAndText) {
  std::vector<std::string> ports;
  for (int n = 1; n <= 16; ++n) ports.push_back("COM" + std::to_string(n));
  const std::vector<std::string> entries[] = {
      ports,
      {"   110", "   300", "   600", "  1200", "  1800", "  2400", "  4800", "  7200", "  9600", " 14400", " 19200",
       " 38400", " 57600", " 76800", "115200", "128000", "153600", "230400", "307200", "460800", "921600",
       "1000000", "2000000"},
      {"5", "6", "7", "8"},
      {"No", "Odd", "Even"},
      {"1", "1.5", "2"},
      {"No", "Hardware", "Xon/Xoff"},
  };
  // The number(s) a pick sets; the four flow fields as the digits of one number.
  auto numberOf = [](ListSetting setting, const PortConfig& c) {
    switch (setting) {
      case ListSetting::Port: return c.nPortIndex;
      case ListSetting::BaudRate: return c.BaudRate;
      case ListSetting::ByteSize: return int32_t{c.ByteSize};
      case ListSetting::Parity: return int32_t{c.Parity};
      case ListSetting::StopBits: return int32_t{c.StopBits};
      default: return c.fOutX * 1000 + c.fInX * 100 + c.fOutxCtsFlow * 10 + c.fOutxDsrFlow;
    }
  };
  auto expectedNumber = [](ListSetting setting, int position, const std::string& text) {
    const int32_t flow[] = {0, 11, 1100};  // No, CTS and DSR, both XON/XOFF directions
    switch (setting) {
      case ListSetting::BaudRate: return int32_t{std::stoi(text)};
      case ListSetting::ByteSize: return int32_t{position + 5};
      case ListSetting::FlowControl: return flow[position];
      default: return int32_t{position};
    }
  };
  RunSettingsDialog([&](CPortSettingsDlg& dlg) {
    for (ListSetting setting : kListSettings) {
      const std::vector<std::string>& expected = entries[static_cast<int>(setting)];
      CComboBox& box = BoxOf(dlg, setting);
      ASSERT_EQ(box.GetCount(), static_cast<int>(expected.size()));
      // From the last entry back, so that each flow pick clears the fields of the one before.
      for (int position = box.GetCount() - 1; position >= 0; --position) {
        SCOPED_TRACE(expected[position]);
        CString entry;
        box.GetLBText(position, entry);
        EXPECT_EQ(Bytes(entry), expected[position]);
        Pick(dlg, setting, position);
        EXPECT_EQ(Bytes(ListSettingText(setting, g_portConfig)), expected[position]);
        EXPECT_EQ(numberOf(setting, g_portConfig), expectedNumber(setting, position, expected[position]));
      }
    }
    const std::string before = RecordOf(g_portConfig);
    for (ListSetting setting : kListSettings) ClearPick(dlg, setting);
    EXPECT_EQ(RecordOf(g_portConfig), before);
  });
}

TEST_F(PortSettingsDialog, TheTimeOutIsReadFromAtMostFifteenCharactersAndClamped) {
  struct Row {
    const char* typed;
    int32_t timeout;
  } rows[] = {
      {"", 0},
      {"0", 0},
      {"007", 7},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},
      {"99999999999999999999", INT_MAX},
      {"000000000000012", 12},    // 15 characters
      {"0000000000000123", 12},   // the 16th is not read
      {"000000000000000123", 0},
  };
  for (const auto& row : rows) {
    RunSettingsDialog([&](CPortSettingsDlg& dlg) {
      EXPECT_TRUE(morvek::testing::TypeText(dlg.GetDlgItem(IDC_TIMEOUT)->m_hWnd, row.typed));
    });
    EXPECT_EQ(g_portConfig.ReadIntervalTimeout, row.timeout) << row.typed;
  }
  // The runtime's conversion clamps the other way too.
  EXPECT_EQ(msvcrt::atoi("-99999999999"), INT_MIN);
}

TEST_F(PortSettingsDialog, EnterAndEscapeOnlyBeep) {
  RunSettingsDialog([](CPortSettingsDlg& dlg) {
    morvek::testing::TakeBeepCount();
    const std::string record = RecordOf(g_portConfig);
    struct Row {
      int id;
      UINT key;
    } rows[] = {{IDOK, VK_RETURN}, {IDOK, VK_ESCAPE}, {IDC_TIMEOUT, VK_RETURN}, {IDC_BAUD_RATE, VK_ESCAPE}};
    for (const auto& row : rows) morvek::testing::SendKey(dlg.GetDlgItem(row.id)->m_hWnd, row.key);
    morvek::testing::SendKey(dlg.m_hWnd, VK_ESCAPE);
    EXPECT_EQ(morvek::testing::TakeBeepCount(), 5);
    EXPECT_TRUE(IsWindow(dlg.m_hWnd));
    EXPECT_EQ(RecordOf(g_portConfig), record);
    // Other keys go on to the dialog's own handling, without a beep.
    morvek::testing::SendKey(dlg.GetDlgItem(IDC_TIMEOUT)->m_hWnd, '7');
    EXPECT_EQ(morvek::testing::TakeBeepCount(), 0);
  });
}

}  // namespace
