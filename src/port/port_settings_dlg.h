// The port settings dialog (template 130): the port and its line settings
// picked from fixed lists, and the receive time-out typed in milliseconds.
//
// It works on g_portConfig directly. Its first showing in a run (while
// g_bSettingsLoaded is 0) loads the record from "morvek.ini" or the defaults
// and sets g_bSettingsFileRead; later showings present the record in memory.
// A pick in a list stores the entry's number(s) and text at once; the typed
// time-out is taken only by OK. Enter and Esc only beep. The dialog never opens
// the port: its caller does, however it ended. Window thread only.
#pragma once

#include "platform/afx.h"
#include "port/list_settings.h"

class CPortSettingsDlg : public CDialog {
 public:
  explicit CPortSettingsDlg(CWnd* pParent = nullptr);
  ~CPortSettingsDlg() override;

  CComboBox m_cmbPort;
  CComboBox m_cmbStopBits;
  CComboBox m_cmbParity;
  CComboBox m_cmbFlowControl;
  CComboBox m_cmbByteSize;
  CComboBox m_cmbBaudRate;
  CString m_strTimeout;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnInitDialog() override;
  // Takes at most the first 15 characters of the time-out as atoi does (a
  // value beyond 32 bits clamps to INT_MAX, or INT_MIN below), then ends with IDOK.
  void OnOK() override;

  void OnPaint();
  BOOL OnHelpInfo(HELPINFO* pHelpInfo);
  void OnSelchangeBaudRate();
  void OnSelchangeByteSize();
  void OnSelchangeParity();
  void OnSelchangeStopBits();
  void OnSelchangeFlowControl();
  void OnSelchangePort();

 private:
  // The box that shows a setting's list.
  CComboBox& SettingBox(ListSetting setting);
  // Fills the setting's box, settles the record's value for this showing and
  // selects its text.
  void InitSettingBox(ListSetting setting, const PortConfig& fileConfig);
  // Stores the entry now selected in the setting's box; no selection changes nothing.
  void TakeSelection(ListSetting setting);

  DECLARE_MESSAGE_MAP()
};
