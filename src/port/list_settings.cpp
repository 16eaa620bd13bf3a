// The six list settings over the record's fields.
#include "port/list_settings.h"

#include <iterator>

#include "port/value_lists.h"

namespace {

// The text field of a setting (of a const or a changeable record).
template <class Config>
auto& TextField(ListSetting setting, Config& config) {
  switch (setting) {
    case ListSetting::Port:
      return config.szPort;
    case ListSetting::BaudRate:
      return config.szBaudRate;
    case ListSetting::ByteSize:
      return config.szByteSize;
    case ListSetting::Parity:
      return config.szParity;
    case ListSetting::StopBits:
      return config.szStopBits;
    case ListSetting::FlowControl:
      break;
  }
  return config.szFlowControl;
}

// The single-number lists; null for the port (names are computed) and flow
// control (four numbers per entry).
const ValueListEntry* NumberList(ListSetting setting, int* pCount) {
  switch (setting) {
    case ListSetting::BaudRate:
      *pCount = static_cast<int>(std::size(kBaudRateList));
      return kBaudRateList;
    case ListSetting::ByteSize:
      *pCount = static_cast<int>(std::size(kByteSizeList));
      return kByteSizeList;
    case ListSetting::Parity:
      *pCount = static_cast<int>(std::size(kParityList));
      return kParityList;
    case ListSetting::StopBits:
      *pCount = static_cast<int>(std::size(kStopBitsList));
      return kStopBitsList;
    case ListSetting::Port:
    case ListSetting::FlowControl:
      break;
  }
  *pCount = 0;
  return nullptr;
}

void CopyNumbers(ListSetting setting, const PortConfig& from, PortConfig& to) {
  switch (setting) {
    case ListSetting::Port:
      to.nPortIndex = from.nPortIndex;
      break;
    case ListSetting::BaudRate:
      to.BaudRate = from.BaudRate;
      break;
    case ListSetting::ByteSize:
      to.ByteSize = from.ByteSize;
      break;
    case ListSetting::Parity:
      to.Parity = from.Parity;
      break;
    case ListSetting::StopBits:
      to.StopBits = from.StopBits;
      break;
    case ListSetting::FlowControl:
      to.fOutX = from.fOutX;
      to.fInX = from.fInX;
      to.fOutxCtsFlow = from.fOutxCtsFlow;
      to.fOutxDsrFlow = from.fOutxDsrFlow;
      break;
  }
}

}  // namespace

int ListEntryCount(ListSetting setting) {
  if (setting == ListSetting::Port) return PORT_COUNT;
  if (setting == ListSetting::FlowControl) return static_cast<int>(std::size(kFlowControlList));
  int nCount = 0;
  NumberList(setting, &nCount);
  return nCount;
}

CString ListEntryText(ListSetting setting, int position) {
  if (position < 0 || position >= ListEntryCount(setting)) return CString();
  if (setting == ListSetting::Port) return PortNameText(position);
  if (setting == ListSetting::FlowControl) return CString(kFlowControlList[position].text);
  int nCount = 0;
  return CString(NumberList(setting, &nCount)[position].text);
}

BOOL ApplyListEntry(ListSetting setting, int position, PortConfig& config) {
  if (position < 0 || position >= ListEntryCount(setting)) return FALSE;
  SetPortConfigText(TextField(setting, config), ListEntryText(setting, position));
  switch (setting) {
    case ListSetting::Port:
      config.nPortIndex = position;
      break;
    case ListSetting::BaudRate:
      config.BaudRate = kBaudRateList[position].value;
      break;
    case ListSetting::ByteSize:
      config.ByteSize = static_cast<BYTE>(kByteSizeList[position].value);
      break;
    case ListSetting::Parity:
      config.Parity = static_cast<BYTE>(kParityList[position].value);
      break;
    case ListSetting::StopBits:
      config.StopBits = static_cast<BYTE>(kStopBitsList[position].value);
      break;
    case ListSetting::FlowControl:
      config.fOutX = kFlowControlList[position].fOutX;
      config.fInX = kFlowControlList[position].fInX;
      config.fOutxCtsFlow = kFlowControlList[position].fOutxCtsFlow;
      config.fOutxDsrFlow = kFlowControlList[position].fOutxDsrFlow;
      break;
  }
  return TRUE;
}

void CopyListSetting(ListSetting setting, const PortConfig& from, PortConfig& to) {
  CopyNumbers(setting, from, to);
  SetPortConfigText(TextField(setting, to), ListSettingText(setting, from));
}

CString ListSettingText(ListSetting setting, const PortConfig& config) {
  return PortConfigText(TextField(setting, config));
}

int DefaultListPosition(ListSetting setting) {
  switch (setting) {
    case ListSetting::Port:
      return DEFAULT_PORT_INDEX;
    case ListSetting::BaudRate:
      return DEFAULT_BAUD_RATE_POSITION;
    case ListSetting::ByteSize:
      return DEFAULT_BYTE_SIZE_POSITION;
    case ListSetting::Parity:
      return DEFAULT_PARITY_POSITION;
    case ListSetting::StopBits:
      return DEFAULT_STOP_BITS_POSITION;
    case ListSetting::FlowControl:
      break;
  }
  return DEFAULT_FLOW_CONTROL_POSITION;
}
