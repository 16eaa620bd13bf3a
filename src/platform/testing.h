// Test seams. Each is inert until a test arms it; the program never arms one.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "win32_system.h"

class CDialog;

namespace morvek::testing {

// Message boxes. Armed, AfxMessageBox does not show a window: it records the
// text, calls the handler (if any) as if the box were up, and returns IDOK.
void CaptureMessageBoxes(bool on);
std::vector<std::string> TakeMessageBoxTexts();  // CP932 texts in the order shown
void OnMessageBox(std::function<void(const std::string& text)> handler);

// File dialogs. Armed, the next CFileDialog::DoModal returns IDOK with the given
// path (made absolute), or IDCANCEL for nullopt, without showing a window.
void ScriptFileDialog(std::optional<std::string> path);

// System time. Armed, GetSystemTime returns this time instead of the clock's.
void SetSystemTime(const SYSTEMTIME& utc);
void ClearSystemTime();

// Sleeping. Armed, Sleep ends after exactly its time, as under a free-running
// 1 ms timer, instead of at the next tick of the system timer; benchmarks use
// it to compare the two.
void UseExactSleeps(bool on);

// File writes. Armed, writes through WriteFile and msvcrt::fwrite/fclose to files
// fail with `error` once `bytesLeft` more bytes have been written (a short write
// then leaves exactly those bytes on the disk).
void FailFileWritesAfter(std::size_t bytesLeft, DWORD error);
// Armed, writes through WriteFile to files succeed without reaching the disk
// (the files keep their length) and only add their byte count to
// DiscardedFileBytes(), so that a test can write gigabytes from an untouched
// mapping without using the disk or memory. Arming starts the count at 0.
void DiscardFileWrites();
std::uint64_t DiscardedFileBytes();
// Armed, the next SetFilePointer on a file fails with `error` and moves nothing.
void FailNextFilePointerMove(DWORD error);
// Disarms every file fault above.
void ClearFileWriteFaults();

// Threads. Armed, AfxBeginThread starts nothing and returns null with
// ERROR_NOT_ENOUGH_MEMORY, as when the system has no room for a thread.
void FailThreadStarts(bool on);

// The program's end on SIGTERM, SIGHUP or the end of the desktop session
// (WM_ENDSESSION to AfxGetMainWnd(), then the process ends), for a test's
// child process that stands in for the program.
void EndSessionOnSignals();

// Window beeps (MessageBeep) since the last call.
int TakeBeepCount();

// A scriptable port that COMn opens instead of its device while installed.
class VirtualPort {
 public:
  virtual ~VirtualPort() = default;
  // Installs a virtual port as COMn (1..16); it stays until Uninstall or the
  // returned object is destroyed.
  static std::shared_ptr<VirtualPort> Install(int n);

  virtual void RefuseConfigure(bool on) = 0;  // SetCommState fails: ERROR_INVALID_PARAMETER
  virtual void FailGetState(bool on) = 0;     // GetCommState fails: ERROR_GEN_FAILURE
  virtual void FailWrites(bool on) = 0;       // WriteFile fails: ERROR_WRITE_FAULT
  // The next `writes` WriteFile calls go through, every later one fails as
  // FailWrites(true) makes it (until FailWrites(false)).
  virtual void FailWritesAfter(int writes) = 0;
  virtual void HoldWrites(bool on) = 0;       // WriteFile waits, as under flow control, until released or timed out
  virtual void FailReads(bool on) = 0;        // ReadFile and ClearCommError fail: ERROR_READ_FAULT
  virtual void FailStatus(bool on) = 0;       // GetCommModemStatus and EscapeCommFunction fail
  virtual void Unplug() = 0;                  // every call fails with ERROR_DEVICE_REMOVED from now on
  virtual void InjectReceived(const std::string& bytes) = 0;
  virtual void SetModemStatus(DWORD msBits) = 0;  // MS_* bits the port reports

  virtual std::string TakeWritten() = 0;  // bytes written since the last call
  virtual std::vector<std::size_t> WriteSizes() = 0;  // byte count of every WriteFile so far
  virtual DWORD OutputLines() = 0;      // SETDTR/SETRTS state: 1 = DTR, 2 = RTS
  virtual int OpenCount() = 0;          // handles open now
  virtual int ReadCalls() = 0;          // ReadFile and ClearCommError calls so far
};

}  // namespace morvek::testing

namespace morvek::testing {

// Starts the window system for a test program (headless under
// QT_QPA_PLATFORM=offscreen). Call once from main before any window exists.
void StartWindowSystem(int& argc, char** argv);

// Runs the window system's pending events and queued messages until `done`
// returns true or `timeout` passes; returns done(). Tests wait on events with
// this, never with sleeps.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// Runs pending events and queued messages once.
void PumpOnce();

// Runs the window system for `span` as the program's own message loop does:
// it sleeps until an event or a timer is due, with no wake-ups of its own.
void PumpFor(std::chrono::milliseconds span);

}  // namespace morvek::testing

namespace morvek::testing {

// Modal dialogs. Armed, the handler runs inside every dialog's modal loop once
// that dialog is up (after its OnInitDialog, from a posted message), so that a
// test can drive it like a user; a dialog whose OnInitDialog ended it does not
// call it. Pass nullptr to disarm.
void OnModalDialog(std::function<void(::CDialog& dialog)> handler);

}  // namespace morvek::testing

// ---------------------------------------------------------------------------
// Window-layer test helpers. They act as a user would, through the window
// system: input goes through the dialog's PreTranslateMessage and the control's
// own handling, and changes notify the dialog as the user's would. Window
// thread; a window that does not exist is ignored (false, empty).
// ---------------------------------------------------------------------------
namespace morvek::testing {

enum KeyModifier : unsigned { kShift = 1, kControl = 2, kAlt = 4 };

// Presses and releases a key (a virtual key, VK_* or 'A'..'Z', '0'..'9') on a
// control or dialog, which gets the focus first.
void SendKey(HWND target, UINT virtualKey, unsigned modifiers = 0);
// Clicks a button or check box with the left mouse button.
void Click(HWND button);
// Presses and releases the right mouse button at a point of a window (pixels
// of its client area).
void RightClick(HWND window, int x, int y);
// Asks a dialog to close, as the close button of its frame does.
void RequestClose(HWND dialog);
// Picks entry `index` of a drop-down list from its list (CBN_SELCHANGE).
bool ChooseComboEntry(HWND combo, int index);
// Replaces the text of an edit as typing would (EN_CHANGE); false for a
// read-only edit.
bool TypeText(HWND edit, const std::string& cp932);
// Types text through an input method at the edit's cursor: the text is first
// shown as preedit (being composed), then committed, as a Japanese input
// method does after conversion.
bool CommitInputMethodText(HWND edit, const std::string& cp932);
// The text the window shows on the screen, encoded as CP932 (line breaks of an
// editable multi-line edit as CR LF; a read-only one shows them as they are),
// as opposed to the bytes it remembers.
std::string ShownText(HWND window);
// How often the window's text was rewritten in full (not just appended to)
// since it was created.
int FullTextRewrites(HWND window);
// A dialog's controls, in template order.
std::vector<HWND> Controls(HWND dialog);
// The texts of a dialog's controls that are not shown whole, each with the
// room it needs and the room it has: a label's text (wrapped at blanks as the
// label wraps it), a button's, check box's or group box's caption, every entry
// of a drop-down list, a one-line edit's text. Empty when every text fits.
std::vector<std::string> ClippedTexts(HWND dialog);

// The entries of the popup menu open now (CP932), empty when none is open.
std::vector<std::string> OpenMenuEntries();
// Chooses the entry of the open popup menu with this text (CP932); false when
// there is no such enabled entry.
bool ChooseMenuEntry(const std::string& cp932Text);

// The window system's own text for `source` in `context` as it shows it
// (CP932), e.g. the file dialog's ("QFileDialog", "Open").
std::string FrameworkText(const char* context, const char* source);

// Whether the wait cursor is shown.
bool WaitCursorShown();

// A window as painted now; pixels are 0xRRGGBB, rows top to bottom.
struct WindowImage {
  int width = 0;
  int height = 0;
  std::vector<DWORD> pixels;
  DWORD At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
WindowImage RenderWindow(HWND window);
// A window as the screen shows it now: what was last painted of it and put on
// the screen, with no painting done for the call.
WindowImage ScreenImage(HWND window);
// Writes RenderWindow's image as a PNG file; false when it cannot.
bool SaveWindowImage(HWND window, const std::string& pngPath);

}  // namespace morvek::testing
