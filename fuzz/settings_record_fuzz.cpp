// Fuzz target: the 128-byte settings record and what start-up derives from it.
//
// Any bytes, of any length, as the content of "morvek.ini":
//  - fewer than 128 bytes are refused and leave the record untouched;
//  - otherwise every field is what the layout says, read here byte by byte
//    (numbers little-endian, each text up to its first NUL, all 16 bytes
//    when it has none, the rest of its field zero);
//  - building the parsed record gives the input's first 128 bytes with the
//    reserved byte and everything behind each text zero, and parsing that
//    again gives the same record;
//  - the list functions the port settings dialog maps stored values through
//    (port names, list entry texts, picking an entry, copying a setting) stay
//    inside their lists for every stored number, and the window title, status
//    lines and time-out text are made of the bounded texts;
//  - texts filling their whole 16-byte field are read and written whole,
//    never running on into the next field.
#include <climits>
#include <cstring>
#include <iterator>
#include <string>

#include "fuzz_driver.h"
#include "platform/msvcrt.h"
#include "port/list_settings.h"
#include "port/port_texts.h"
#include "port/settings_file.h"
#include "port/value_lists.h"

namespace {

using morvek::fuzz::Check;
using morvek::fuzz::CheckEqual;

using TextField = char (PortConfig::*)[PORT_CONFIG_TEXT_SIZE];
// The text fields in record order, from offset 32 on.
constexpr TextField kTextFields[] = {&PortConfig::szPort,   &PortConfig::szBaudRate, &PortConfig::szByteSize,
                                     &PortConfig::szParity, &PortConfig::szStopBits, &PortConfig::szFlowControl};
constexpr int kFirstTextAt = 32;

int32_t LittleEndian(const uint8_t* bytes) {
  return static_cast<int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24);
}

std::string Bytes(const char (&field)[PORT_CONFIG_TEXT_SIZE]) { return std::string(field, PORT_CONFIG_TEXT_SIZE); }

// A text field as parsing must leave it: up to the first NUL, at most 16 bytes,
// then zeros.
std::string ParsedField(const uint8_t* text) {
  std::string field(PORT_CONFIG_TEXT_SIZE, '\0');
  for (int i = 0; i < PORT_CONFIG_TEXT_SIZE && text[i] != 0; ++i) field[i] = static_cast<char>(text[i]);
  return field;
}

// Every field of a record, without the struct's padding, so that two records
// compare as byte strings.
std::string Image(const PortConfig& config) {
  std::string image;
  for (int32_t number : {config.nPortIndex, config.BaudRate, config.fOutX, config.fInX, config.fOutxCtsFlow,
                         config.fOutxDsrFlow, config.ReadIntervalTimeout}) {
    image.append(reinterpret_cast<const char*>(&number), sizeof number);
  }
  image += static_cast<char>(config.ByteSize);
  image += static_cast<char>(config.Parity);
  image += static_cast<char>(config.StopBits);
  for (TextField field : kTextFields) image += Bytes(config.*field);
  return image;
}

std::string TextOf(const char (&field)[PORT_CONFIG_TEXT_SIZE]) {
  return std::string(field, strnlen(field, PORT_CONFIG_TEXT_SIZE));
}

void CheckFieldsAsStored(const PortConfig& parsed, const uint8_t* record) {
  Check(parsed.nPortIndex == LittleEndian(record + 0), "nPortIndex is not bytes 0..3");
  Check(parsed.BaudRate == LittleEndian(record + 4), "BaudRate is not bytes 4..7");
  Check(parsed.ByteSize == record[8] && parsed.Parity == record[9] && parsed.StopBits == record[10],
        "ByteSize, Parity, StopBits are not bytes 8, 9, 10");
  Check(parsed.fOutX == LittleEndian(record + 12) && parsed.fInX == LittleEndian(record + 16) &&
            parsed.fOutxCtsFlow == LittleEndian(record + 20) && parsed.fOutxDsrFlow == LittleEndian(record + 24),
        "the flow-control numbers are not bytes 12..27");
  Check(parsed.ReadIntervalTimeout == LittleEndian(record + 28), "ReadIntervalTimeout is not bytes 28..31");
  for (int i = 0; i < static_cast<int>(std::size(kTextFields)); ++i) {
    const int at = kFirstTextAt + i * PORT_CONFIG_TEXT_SIZE;
    CheckEqual(Bytes(parsed.*kTextFields[i]), ParsedField(record + at), "a parsed text field");
  }
}

// The record building must give for a parsed input: its first 128 bytes with
// the reserved byte 11 and everything from each text's end zero.
std::string CanonicalRecord(const uint8_t* record) {
  std::string canonical(reinterpret_cast<const char*>(record), kFirstTextAt);
  canonical[11] = '\0';
  for (int at = kFirstTextAt; at < SETTINGS_RECORD_SIZE; at += PORT_CONFIG_TEXT_SIZE)
    canonical += ParsedField(record + at);
  return canonical;
}

std::string Built(const PortConfig& config) {
  BYTE record[SETTINGS_RECORD_SIZE];
  std::memset(record, 0xA5, sizeof record);
  BuildSettingsRecord(config, record);
  return std::string(reinterpret_cast<const char*>(record), sizeof record);
}

template <class List>
std::string ListText(const List& list, int64_t position) {
  return position >= 0 && position < static_cast<int64_t>(std::size(list)) ? list[position].text : "";
}

// The entry text a position names, read from the lists themselves.
std::string EntryText(ListSetting setting, int64_t position) {
  switch (setting) {
    case ListSetting::Port: return position >= 0 && position < PORT_COUNT ? "COM" + std::to_string(position + 1) : "";
    case ListSetting::BaudRate: return ListText(kBaudRateList, position);
    case ListSetting::ByteSize: return ListText(kByteSizeList, position);
    case ListSetting::Parity: return ListText(kParityList, position);
    case ListSetting::StopBits: return ListText(kStopBitsList, position);
    case ListSetting::FlowControl: break;
  }
  return ListText(kFlowControlList, position);
}

std::string View(const CString& text) { return std::string(text.View()); }

// Every number the record holds, used as a list position in every list.
void CheckListsStayInRange(const PortConfig& parsed) {
  const int positions[] = {
      parsed.nPortIndex, parsed.BaudRate, parsed.ByteSize,     parsed.Parity,       parsed.StopBits,
      parsed.fOutX,      parsed.fInX,     parsed.fOutxCtsFlow, parsed.fOutxDsrFlow, parsed.ReadIntervalTimeout};
  CheckEqual(View(PortNameText(parsed.nPortIndex)), EntryText(ListSetting::Port, parsed.nPortIndex),
             "PortNameText of the stored port index");
  for (ListSetting setting : kListSettings) {
    Check(ListEntryCount(setting) > DefaultListPosition(setting) && DefaultListPosition(setting) >= 0,
          "a default lies outside its list");
    for (int position : positions) {
      const std::string entry = EntryText(setting, position);
      CheckEqual(View(ListEntryText(setting, position)), entry, "ListEntryText of a stored number");
      PortConfig picked = parsed;
      const BOOL inList = ApplyListEntry(setting, position, picked);
      Check(inList == (entry.empty() ? FALSE : TRUE), "ApplyListEntry took a position outside its list");
      if (inList) CheckEqual(View(ListSettingText(setting, picked)), entry, "ApplyListEntry stored another text");
      // Putting the setting's own fields back must give the record it started from.
      CopyListSetting(setting, parsed, picked);
      CheckEqual(Image(picked), Image(parsed), "ApplyListEntry changed another setting");
    }
    PortConfig copied = {};
    ApplyListEntry(setting, DefaultListPosition(setting), copied);
    CopyListSetting(setting, parsed, copied);
    CheckEqual(View(ListSettingText(setting, copied)), View(ListSettingText(setting, parsed)),
               "CopyListSetting did not copy the text");
  }
}

// The texts the main window derives from a record, made of its bounded texts.
void CheckWindowTexts(const PortConfig& config) {
  CheckEqual(View(WindowTitleText(config)), "MORVEK Comm (VER 2.02)   " + TextOf(config.szPort) + " 通信",
             "WindowTitleText");
  CheckEqual(View(OpenPortStatusLine(config)),
             " " + TextOf(config.szPort) + " , " + TextOf(config.szBaudRate) + " BPS , " + TextOf(config.szByteSize) +
                 " BITS , " + TextOf(config.szParity) + " PARITY , " + TextOf(config.szStopBits) + " STOP , " +
                 TextOf(config.szFlowControl) + " FLOW",
             "OpenPortStatusLine");
  CheckEqual(View(FailedPortStatusLine(config)), TextOf(config.szPort) + " ポートは存在しません。",
             "FailedPortStatusLine");
  char timeout[16];
  CheckEqual(msvcrt::_itoa(config.ReadIntervalTimeout, timeout, 10), std::to_string(config.ReadIntervalTimeout),
             "the time-out text");
}

// A record whose texts fill their fields to the last byte, as only a program
// writing the struct itself could make them.
void CheckFullFields(const PortConfig& parsed, const uint8_t* record) {
  PortConfig full = parsed;
  std::string expected = CanonicalRecord(record);
  for (int i = 0; i < static_cast<int>(std::size(kTextFields)); ++i) {
    const int at = kFirstTextAt + i * PORT_CONFIG_TEXT_SIZE;
    char(&field)[PORT_CONFIG_TEXT_SIZE] = full.*kTextFields[i];
    for (int k = 0; k < PORT_CONFIG_TEXT_SIZE; ++k)
      field[k] = record[at + k] != 0 ? static_cast<char>(record[at + k]) : 'N';
    expected.replace(at, PORT_CONFIG_TEXT_SIZE, std::string(field, PORT_CONFIG_TEXT_SIZE));
  }
  CheckEqual(Built(full), expected, "a record with full text fields");
  CheckWindowTexts(full);
  for (ListSetting setting : kListSettings) {
    Check(ListSettingText(setting, full).GetLength() == PORT_CONFIG_TEXT_SIZE, "a full text is not read as 16 bytes");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A short file is refused, whatever the record held before.
  PortConfig untouched;
  std::memset(&untouched, 0xA5, sizeof untouched);
  PortConfig out = untouched;
  const size_t shortLength = size < SETTINGS_RECORD_SIZE ? size : size % SETTINGS_RECORD_SIZE;
  Check(ParseSettingsRecord(data, shortLength, out) == FALSE, "a record shorter than 128 bytes was taken");
  Check(std::memcmp(&out, &untouched, sizeof out) == 0, "a refused record changed the output");
  if (size < SETTINGS_RECORD_SIZE) return 0;

  PortConfig parsed = untouched;
  Check(ParseSettingsRecord(data, size, parsed) == TRUE, "a record of 128 bytes or more was refused");
  CheckFieldsAsStored(parsed, data);

  const std::string built = Built(parsed);
  CheckEqual(built, CanonicalRecord(data), "the record built from the parsed one");
  PortConfig again = untouched;
  Check(ParseSettingsRecord(reinterpret_cast<const BYTE*>(built.data()), built.size(), again) == TRUE,
        "a built record was refused");
  CheckEqual(Image(again), Image(parsed), "parsing the built record gave another record");

  CheckListsStayInRange(parsed);
  CheckWindowTexts(parsed);
  CheckFullFields(parsed, data);
  return 0;
}
