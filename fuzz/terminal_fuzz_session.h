// For fuzz targets that drive the running main window.
//
// Linked into a target, this runs the driver's whole input loop inside one
// session of the real main dialog: the window system is started headless, the
// terminal starts as the program does (default settings, port settings dialog
// answered with OK) on COM1, which is a virtual port so that every write can be
// taken, and message boxes are captured instead of shown. Each input then
// costs no start-up. Window thread only.
#pragma once

#include "platform/testing.h"
#include "ui/terminal_dlg.h"

namespace morvek::fuzz {

// The running main dialog and the port it has open; only while the loop runs.
CTerminalDlg& TerminalDialog();
testing::VirtualPort& TerminalPort();

// Picks entry `index` of one of the dialog's selectors from its list, as the
// operator does (the dialog is told of the change); fails the input when the
// selector has no such entry.
void ChooseEntry(CComboBox& selector, int index);

}  // namespace morvek::fuzz
