// The six settings the operator picks from a list, as they map onto the
// settings record: which entries a list has, what picking an entry stores, and
// which fields belong to a setting. The port settings dialog is written against
// this, so that its six lists and six selection handlers share one code path.
#pragma once

#include "port/port_config.h"

// In the order the dialog fills its lists.
enum class ListSetting { Port, BaudRate, ByteSize, Parity, StopBits, FlowControl };

inline constexpr ListSetting kListSettings[] = {ListSetting::Port,   ListSetting::BaudRate, ListSetting::ByteSize,
                                                ListSetting::Parity, ListSetting::StopBits, ListSetting::FlowControl};

// Number of entries in the setting's list.
int ListEntryCount(ListSetting setting);

// Text of the entry at `position`; empty outside the list.
CString ListEntryText(ListSetting setting, int position);

// Stores the entry at `position` in `config`: its number or numbers and its
// text, together. FALSE, with `config` unchanged, for a position outside the
// list (a box with no selection gives CB_ERR).
BOOL ApplyListEntry(ListSetting setting, int position, PortConfig& config);

// Copies the setting's fields (numbers and text, exactly as they are, whether
// or not they agree with each other or with the list) from one record to another.
void CopyListSetting(ListSetting setting, const PortConfig& from, PortConfig& to);

// The setting's text field in `config`, bounded to its 16 bytes.
CString ListSettingText(ListSetting setting, const PortConfig& config);

// The list position of the setting's default.
int DefaultListPosition(ListSetting setting);
