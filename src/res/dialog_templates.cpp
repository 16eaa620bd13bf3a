// Dialog templates 100 (About box), 102 (main dialog) and 130 (port settings).
// Rectangles are in dialog units; texts are CP932.
#include <iterator>

#include "platform/resources.h"
#include "platform/win32_user.h"
#include "res/resource.h"

namespace {

constexpr int kLabel = -1;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPushButton = kChild | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kCheckBox = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kDropDownList = kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_SORT;
constexpr DWORD kTextBox = kChild | WS_TABSTOP | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                           ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN;
constexpr DWORD kIndicator = kChild | WS_TABSTOP | ES_CENTER | ES_READONLY | ES_AUTOHSCROLL;
constexpr DWORD kCountBox = kChild | WS_TABSTOP | WS_BORDER | ES_RIGHT | ES_READONLY | ES_NUMBER | ES_AUTOHSCROLL;
constexpr DWORD kStatic = kChild | SS_LEFT;

const DialogControlTemplate kAboutControls[] = {
    {kLabel, "STATIC", kChild | SS_ICON, 0, 11, 17, 20, 20, "", IDR_MAINFRAME},
    {kLabel, "STATIC", kStatic | SS_NOPREFIX, 0, 40, 10, 119, 8, "Morvek Version 1.0", 0},
    {kLabel, "STATIC", kStatic, 0, 40, 25, 119, 8, "Copyright (C) MORVEK  シリアル通信ターミナル", 0},
    {IDOK, "BUTTON", kPushButton | WS_GROUP, 0, 178, 7, 50, 14, "OK", 0},
};

const DialogControlTemplate kTerminalControls[] = {
    {IDCANCEL, "BUTTON", kPushButton, 0, 404, 2, 40, 16, "ｷｬﾝｾﾙ", 0},
    {IDC_SEND, "BUTTON", kPushButton, 0, 397, 88, 48, 23, "送信", 0},
    {IDC_SEND_BOX, "EDIT", kTextBox, 0, 2, 115, 444, 71, "", 0},
    {IDC_RECEIVE_BOX, "EDIT", kTextBox | ES_READONLY, 0, 2, 239, 444, 93, "", 0},
    {kLabel, "STATIC", kChild | SS_CENTER | SS_SUNKEN, 0, 2, 95, 54, 14, "送信データ(3)", 0},
    {kLabel, "STATIC", kChild | SS_CENTER | SS_SUNKEN, 0, 2, 219, 57, 14, "受信データ(2)", 0},
    {IDC_CLEAR_RECEIVE, "BUTTON", kPushButton, 0, 156, 220, 46, 15, "受信クリア", 0},
    {IDC_CLEAR_SEND, "BUTTON", kPushButton, 0, 152, 94, 47, 15, "送信クリア", 0},
    {kLabel, "STATIC", kStatic, 0, 65, 95, 33, 13, "CRLF/HEX", 0},
    {IDC_SEND_FORMAT, "COMBOBOX", kDropDownList, 0, 101, 95, 34, 66, "", 0},
    {kLabel, "STATIC", kStatic, 0, 65, 220, 32, 13, "表示形式", 0},
    {IDC_DISPLAY_FORMAT, "COMBOBOX", kDropDownList, 0, 102, 221, 45, 66, "", 0},
    {kLabel, "STATIC", kStatic, 0, 2, 189, 224, 13, "＊受信データは、「 COMx_MORVEKRcv.txt 」 に保存されます", 0},
    {kLabel, "STATIC", kStatic, 0, 2, 72, 218, 13, "＊送信データは、「 COMx_MORVEKSnd.txt 」 に保存されます", 0},
    {IDC_PORT_STATUS, "EDIT", kChild | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL, 0, 52, 3, 262, 12, "", 0},
    {kLabel, "STATIC", kChild | SS_CENTER, 0, 2, 3, 45, 11, "ポート状態：", 0},
    {IDC_DCD, "EDIT", kIndicator, 0, 134, 28, 14, 12, "", 0},
    {IDC_DSR, "EDIT", kIndicator, 0, 36, 28, 14, 12, "", 0},
    {IDC_CTS, "EDIT", kIndicator, 0, 85, 28, 14, 12, "", 0},
    {IDC_RI, "EDIT", kIndicator, 0, 176, 28, 14, 12, "", 0},
    {kLabel, "STATIC", kStatic, 0, 107, 26, 26, 13, "DCD(1)：", 0},
    {kLabel, "STATIC", kStatic, 0, 8, 26, 26, 13, "DSR(6)：", 0},
    {kLabel, "STATIC", kStatic, 0, 58, 25, 26, 13, "CTS(8)：", 0},
    {kLabel, "STATIC", kStatic, 0, 156, 25, 19, 13, "RI(9)：", 0},
    {kLabel, "BUTTON", kChild | BS_GROUPBOX, 0, 2, 16, 308, 28, "モデムライン状態", 0},
    {IDC_DTR, "BUTTON", kCheckBox, 0, 229, 25, 35, 12, "DTR(4)", 0},
    {IDC_RTS, "BUTTON", kCheckBox, 0, 270, 25, 34, 12, "RTS(7)", 0},
    {kLabel, "STATIC", kStatic, 0, 197, 25, 24, 13, "GND(5)", 0},
    {IDC_INTERVAL, "COMBOBOX", kDropDownList, 0, 279, 95, 34, 111, "", 0},
    {kLabel, "STATIC", kStatic, 0, 226, 94, 49, 13, "自動送信間隔", 0},
    {IDC_FILE_SELECT, "BUTTON", kPushButton, 0, 231, 70, 52, 16, "ファイル選択", 0},
    {kLabel, "STATIC", kStatic, 0, 2, 202, 222, 13, "＊ASCII表示では、0x00H は「~」（チルド）に変換されます", 0},
    {IDC_PORT_SELECT, "BUTTON", kPushButton, 0, 239, 190, 47, 17, "ポート選択", 0},
    {IDC_READ_TIMEOUT, "EDIT", kCountBox, 0, 402, 193, 21, 12, "", 0},
    {kLabel, "STATIC", kChild | SS_RIGHT, 0, 295, 194, 98, 10, "読出し間隔タイムアウト：", 0},
    {kLabel, "STATIC", kStatic, 0, 431, 193, 10, 10, "ms", 0},
    {IDC_SEND_COUNT, "EDIT", kCountBox, 0, 398, 71, 44, 12, "", 0},
    {kLabel, "STATIC", kChild | SS_RIGHT, 0, 313, 70, 80, 13, "送信文字数（バイト）", 0},
    {kLabel, "STATIC", kChild | SS_RIGHT, 0, 273, 217, 121, 13, "受信ボックス内文字数（バイト）", 0},
    {IDC_RECV_COUNT, "EDIT", kCountBox, 0, 398, 216, 44, 12, "", 0},
    {IDC_FILE_NAME, "EDIT", kChild | WS_TABSTOP | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL, 0, 81, 49, 365, 14, "", 0},
    {kLabel, "STATIC", kStatic, 0, 2, 49, 76, 13, "選択されたフィル名：", 0},
};

const DialogControlTemplate kPortSettingsControls[] = {
    {IDOK, "BUTTON", kPushButton, 0, 88, 155, 32, 14, "OK", 0},
    {IDC_BAUD_RATE, "COMBOBOX", kDropDownList, 0, 79, 25, 41, 126, "", 0},
    {IDC_BYTE_SIZE, "COMBOBOX", kDropDownList, 0, 78, 50, 42, 61, "", 0},
    {IDC_PARITY, "COMBOBOX", kDropDownList, 0, 77, 74, 43, 58, "", 0},
    {IDC_STOP_BITS, "COMBOBOX", kDropDownList, 0, 77, 97, 43, 63, "", 0},
    {IDC_FLOW_CONTROL, "COMBOBOX", kDropDownList, 0, 77, 118, 43, 64, "", 0},
    {kLabel, "STATIC", kStatic, 0, 2, 7, 56, 11, "COMポート設定", 0},
    {kLabel, "STATIC", kStatic, 0, 2, 51, 61, 11, "データビット（D)", 0},
    {kLabel, "STATIC", kStatic, 0, 2, 74, 52, 11, "パリティ（P)", 0},
    {kLabel, "STATIC", kStatic, 0, 2, 97, 68, 11, "ストップビット（S)", 0},
    {kLabel, "STATIC", kStatic, 0, 2, 119, 57, 11, "フロー制御（F)", 0},
    {IDC_PORT, "COMBOBOX", kDropDownList, 0, 79, 4, 41, 126, "", 0},
    {kLabel, "STATIC", kStatic, 0, 2, 28, 56, 11, "ビット／秒（B)", 0},
    {IDC_TIMEOUT, "EDIT", kChild | WS_TABSTOP | WS_BORDER | ES_NUMBER | ES_RIGHT | ES_AUTOHSCROLL, 0, 98, 137, 22, 13, "", 0},
    {kLabel, "STATIC", kStatic, 0, 2, 139, 95, 11, "受信タイムアウト時間（T)", 0},
};

constexpr DWORD kDialogFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr WORD kJapanese = 1041;

const DialogTemplate kTemplates[] = {
    {IDD_ABOUTBOX, kDialogFrame, 0, 0, 0, 235, 55, "Morvekのﾊﾞｰｼﾞｮﾝ情報", "ＭＳ Ｐゴシック", 9, kJapanese,
     kAboutControls, std::size(kAboutControls)},
    {IDD_TERMINAL_DIALOG, kDialogFrame | WS_VISIBLE | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_EX_APPWINDOW, 0, 0, 449, 335,
     "", "ＭＳ 明朝", 10, kJapanese, kTerminalControls, std::size(kTerminalControls)},
    {IDD_PORT_SETTINGS, kDialogFrame, 0, 0, 0, 121, 170, "ポートの設定", "ＭＳ 明朝", 10, kJapanese,
     kPortSettingsControls, std::size(kPortSettingsControls)},
};

}  // namespace

const DialogTemplate* FindDialogTemplate(UINT id) {
  for (const auto& dialogTemplate : kTemplates) {
    if (dialogTemplate.id == id) return &dialogTemplate;
  }
  return nullptr;
}
