// The 128-byte settings record and its file.
#include "port/settings_file.h"

#include <cerrno>
#include <cstring>

#include "platform/msvcrt.h"

namespace {

constexpr char kSettingsFileName[] = "morvek.ini";
constexpr char kSettingsTempName[] = "morvek.ini.tmp";

// Offsets of the fields in the record.
enum : int {
  kPortIndexAt = 0,
  kBaudRateAt = 4,
  kByteSizeAt = 8,
  kParityAt = 9,
  kStopBitsAt = 10,
  kOutXAt = 12,
  kInXAt = 16,
  kCtsFlowAt = 20,
  kDsrFlowAt = 24,
  kReadIntervalAt = 28,
  kPortTextAt = 32,
  kBaudRateTextAt = 48,
  kByteSizeTextAt = 64,
  kParityTextAt = 80,
  kStopBitsTextAt = 96,
  kFlowControlTextAt = 112,
};

void StoreInt32(BYTE* record, int offset, int32_t value) {
  uint32_t bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) record[offset + i] = static_cast<BYTE>(bits >> (8 * i));
}

int32_t LoadInt32(const BYTE* record, int offset) {
  uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) bits |= static_cast<uint32_t>(record[offset + i]) << (8 * i);
  return static_cast<int32_t>(bits);
}

void StoreText(BYTE* record, int offset, const char (&field)[PORT_CONFIG_TEXT_SIZE]) {
  std::memcpy(record + offset, field, strnlen(field, PORT_CONFIG_TEXT_SIZE));
}

void LoadText(const BYTE* record, int offset, char (&field)[PORT_CONFIG_TEXT_SIZE]) {
  std::memset(field, 0, sizeof field);
  const char* pText = reinterpret_cast<const char*>(record + offset);
  std::memcpy(field, pText, strnlen(pText, PORT_CONFIG_TEXT_SIZE));
}

// Whether "morvek.ini" may be replaced: it is missing, or it can be opened for
// writing (a read-only file cannot, whoever runs the program).
bool SettingsFileWritable() {
  msvcrt::FILE* pFile = msvcrt::fopen(kSettingsFileName, "r+b");
  if (pFile == nullptr) return errno == ENOENT;
  msvcrt::fclose(pFile);
  return true;
}

}  // namespace

void BuildSettingsRecord(const PortConfig& config, BYTE record[SETTINGS_RECORD_SIZE]) {
  std::memset(record, 0, SETTINGS_RECORD_SIZE);
  StoreInt32(record, kPortIndexAt, config.nPortIndex);
  StoreInt32(record, kBaudRateAt, config.BaudRate);
  record[kByteSizeAt] = config.ByteSize;
  record[kParityAt] = config.Parity;
  record[kStopBitsAt] = config.StopBits;
  StoreInt32(record, kOutXAt, config.fOutX);
  StoreInt32(record, kInXAt, config.fInX);
  StoreInt32(record, kCtsFlowAt, config.fOutxCtsFlow);
  StoreInt32(record, kDsrFlowAt, config.fOutxDsrFlow);
  StoreInt32(record, kReadIntervalAt, config.ReadIntervalTimeout);
  StoreText(record, kPortTextAt, config.szPort);
  StoreText(record, kBaudRateTextAt, config.szBaudRate);
  StoreText(record, kByteSizeTextAt, config.szByteSize);
  StoreText(record, kParityTextAt, config.szParity);
  StoreText(record, kStopBitsTextAt, config.szStopBits);
  StoreText(record, kFlowControlTextAt, config.szFlowControl);
}

BOOL ParseSettingsRecord(const BYTE* data, size_t length, PortConfig& out) {
  if (data == nullptr || length < static_cast<size_t>(SETTINGS_RECORD_SIZE)) return FALSE;
  PortConfig config = {};
  config.nPortIndex = LoadInt32(data, kPortIndexAt);
  config.BaudRate = LoadInt32(data, kBaudRateAt);
  config.ByteSize = data[kByteSizeAt];
  config.Parity = data[kParityAt];
  config.StopBits = data[kStopBitsAt];
  config.fOutX = LoadInt32(data, kOutXAt);
  config.fInX = LoadInt32(data, kInXAt);
  config.fOutxCtsFlow = LoadInt32(data, kCtsFlowAt);
  config.fOutxDsrFlow = LoadInt32(data, kDsrFlowAt);
  config.ReadIntervalTimeout = LoadInt32(data, kReadIntervalAt);
  LoadText(data, kPortTextAt, config.szPort);
  LoadText(data, kBaudRateTextAt, config.szBaudRate);
  LoadText(data, kByteSizeTextAt, config.szByteSize);
  LoadText(data, kParityTextAt, config.szParity);
  LoadText(data, kStopBitsTextAt, config.szStopBits);
  LoadText(data, kFlowControlTextAt, config.szFlowControl);
  out = config;
  return TRUE;
}

BOOL ReadSettingsFile(PortConfig& out) {
  msvcrt::FILE* pFile = msvcrt::fopen(kSettingsFileName, "rb");
  if (pFile == nullptr) return FALSE;
  BYTE record[SETTINGS_RECORD_SIZE] = {0};
  size_t nRead = msvcrt::fread(record, 1, sizeof record, pFile);
  msvcrt::fclose(pFile);
  return ParseSettingsRecord(record, nRead, out);
}

BOOL WriteSettingsFile(const PortConfig& config) {
  BYTE record[SETTINGS_RECORD_SIZE];
  BuildSettingsRecord(config, record);

  msvcrt::FILE* pFile = SettingsFileWritable() ? msvcrt::fopen(kSettingsTempName, "wb") : nullptr;
  if (pFile != nullptr) {
    bool bWritten = msvcrt::fwrite(record, sizeof record, 1, pFile) == 1;
    bWritten = msvcrt::fflush(pFile) == 0 && bWritten;
    bWritten = msvcrt::fclose(pFile) == 0 && bWritten;
    if (bWritten && MoveFileExA(kSettingsTempName, kSettingsFileName, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return TRUE;
    DeleteFileA(kSettingsTempName);
  }
  AfxMessageBox("初期化ファイルがオープンできません", MB_OK, 0);
  return FALSE;
}
