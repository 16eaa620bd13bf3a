// The boxes' journals: nothing received or typed is lost when the terminal is
// killed, crashes or is told to end. The hard ends run the real dialog in a
// child process (this test program started again as JournalChild.Terminal) on
// a pty whose far end the test writes; the start after them runs in this
// process in the same folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/testing.h"
#include "port/port_settings_dlg.h"
#include "res/resource.h"
#include "support/pty_peer.h"
#include "support/scratch_disk.h"
#include "support/temp_dir.h"
#include "support/terminal_session.h"
#include "support/terminal_test.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using morvek::test::PressButton;
using morvek::test::PtyPeer;
using morvek::test::ReadFileBytes;
using morvek::test::ScratchDisk;
using morvek::test::TerminalSession;
using morvek::test::WriteFileBytes;
using morvek::testing::PumpUntil;

const fs::path kRcvJournal1 = "BAKUP/.COM1.rcv.journal";
const fs::path kSndJournal1 = "BAKUP/.COM1.snd.journal";

// Waits (at most 30 s) until the file holds `expected`: for files another
// process writes, which send no event this side could await.
bool WaitForFile(const fs::path& path, const std::string& expected) {
  for (auto end = std::chrono::steady_clock::now() + 30s; ReadFileBytes(path) != expected;) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

// The backup folder's files whose names start and end as given, in name order.
std::vector<fs::path> Backups(std::string_view prefix, std::string_view suffix) {
  std::vector<fs::path> names;
  std::error_code none;
  for (const auto& entry : fs::directory_iterator("BAKUP", none)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(prefix) && name.ends_with(suffix)) names.push_back(entry.path());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The backup logs whose names end with the suffix, joined in name order.
std::string LogsEndingWith(std::string_view suffix, std::string_view prefix = "") {
  std::string text;
  for (const auto& name : Backups(prefix, suffix)) text += ReadFileBytes(name);
  return text;
}

bool JournalsLeft() { return !Backups(".", ".journal").empty(); }

// The dialog's run in this process on port COMn (1 or 2) with the settings
// dialog answered OK; the script runs in its message loop.
void RunTerminal(int port, const std::function<void(CTerminalDlg&)>& script = nullptr) {
  TerminalSession session;
  session.settings = [port](CDialog& settings) {
    morvek::testing::ChooseComboEntry(static_cast<CPortSettingsDlg&>(settings).m_cmbPort.m_hWnd, port - 1);
    morvek::testing::Click(settings.GetDlgItem(IDOK)->m_hWnd);
  };
  session.script = script;
  session.Run();
  EXPECT_TRUE(session.mainShown);
}

// The terminal in a child process, started in this folder on COM1 = the
// peer's pty. It types kTyped into the send box, and in the role "load" then
// loads kLoadedFile; then it writes "R" to the port.
const char kTyped[] = "typed 1\r\n送信 2";
const char kLoadedFile[] = "load.txt";
const char kChildReport[] = "child.txt";

class ChildTerminal {
 public:
  ChildTerminal(const std::string& role, const PtyPeer& peer) {
    setenv("MORVEK_JOURNAL_CHILD", role.c_str(), 1);
    setenv("MORVEK_COM1", peer.SlavePath().c_str(), 1);
    std::string self = fs::read_symlink("/proc/self/exe").string();
    char filter[] = "--gtest_filter=JournalChild.Terminal";
    char* argv[] = {self.data(), filter, nullptr};
    m_pid = fork();
    if (m_pid == 0) {
      // Its test report goes to a file: shown when it ends before it is ready.
      int report = ::open(kChildReport, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
      if (report >= 0) dup2(report, STDOUT_FILENO);
      execv(self.c_str(), argv);
      _exit(127);
    }
    unsetenv("MORVEK_JOURNAL_CHILD");
    setenv("MORVEK_COM1", "loopback", 1);
  }
  ~ChildTerminal() {
    if (m_pid > 0) End(SIGKILL);
  }
  // Sends the signal and waits for the end; returns the wait status.
  int End(int signal) {
    ::kill(m_pid, signal);
    int status = 0;
    while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
    return status;
  }
 private:
  pid_t m_pid = -1;
};

// Feeds numbered lines ("L000000\r\n", "L000001\r\n", ...) to the peer until
// the terminal's receive journal holds 40 KB, then 20 more pieces, so that the
// terminal is mid-burst when the caller ends it; returns all the lines of the
// burst (more than were fed).
std::string FeedUntilMidBurst(PtyPeer& peer) {
  std::string lines;
  char line[16];
  for (int i = 0; i < 100000; ++i) lines.append(line, std::snprintf(line, sizeof line, "L%06d\r\n", i));
  constexpr std::size_t kPiece = 900;
  std::error_code error;
  for (std::size_t at = 0, after = 20; after > 0 && at < lines.size(); at += kPiece) {
    EXPECT_TRUE(peer.Write(lines.substr(at, kPiece)));
    if (fs::file_size(kRcvJournal1, error) >= 40000) --after;
  }
  return lines;
}

class Journal : public morvek::test::TerminalTest {
 protected:
  void SetUp() override {
    TerminalTest::SetUp();
    setenv("MORVEK_COM1", "loopback", 1);
    setenv("MORVEK_COM2", "loopback", 1);
  }
  void TearDown() override {
    TerminalTest::TearDown();
    unsetenv("MORVEK_COM2");
  }
  // A start in this folder (recovering what is left) that closes at once;
  // its own backups carry a stamp of the year 2000.
  void StartAgain() {
    morvek::testing::SetSystemTime(SYSTEMTIME{2000, 1, 6, 1, 0, 0, 0, 0});
    RunTerminal(1);
    morvek::testing::ClearSystemTime();
  }
};

TEST(JournalChild, Terminal) {
  const char* role = getenv("MORVEK_JOURNAL_CHILD");
  if (!role) GTEST_SKIP() << "the terminal of the journal tests' child process";
  morvek::testing::CaptureMessageBoxes(true);
  morvek::testing::EndSessionOnSignals();
  RunTerminal(1, [&](CTerminalDlg& dlg) {
    AfxGetApp()->m_pMainWnd = &dlg;
    morvek::testing::TypeText(dlg.GetDlgItem(IDC_SEND_BOX)->m_hWnd, kTyped);
    if (std::string_view(role) == "load") {
      morvek::testing::ScriptFileDialog(std::string(kLoadedFile));
      PressButton(dlg, IDC_FILE_SELECT);
    }
    dlg.WritePort("R", 1);
    PumpUntil([] { return false; }, 600s);
  });
  for (const std::string& text : morvek::testing::TakeMessageBoxTexts()) std::printf("message box: %s\n", text.c_str());
}

// Ended mid-burst with a send box typed, or typed and then loaded from a
// file: killed (SIGKILL) and started again, the recovered logs hold every line
// the killed run had shown, in order, and nothing else, and the send box; told
// to end (SIGTERM), it ends in order with its backup logs holding all it showed
// and the settings written. No journal is left either way.
TEST_F(Journal, EndedMidBurstKeepsEveryShownLineAndTheSendBox) {
  WriteFileBytes(kLoadedFile, "load 1\nload 2\n");
  const struct {
    int signal;
    const char* role;
    std::string sent;
  } cases[] = {{SIGKILL, "type", kTyped}, {SIGKILL, "load", "load 1\r\nload 2\r\n"}, {SIGTERM, "type", kTyped}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.role) + (c.signal == SIGKILL ? ", SIGKILL" : ", SIGTERM"));
    fs::remove_all("BAKUP");
    fs::remove("morvek.ini");
    PtyPeer peer;
    ChildTerminal child(c.role, peer);
    ASSERT_EQ(peer.Read(1, 30s), "R") << "the child ended with status " << child.End(SIGKILL) << ":\n"
                                       << ReadFileBytes(kChildReport);
    ASSERT_TRUE(WaitForFile(kSndJournal1, c.sent));
    const std::string lines = FeedUntilMidBurst(peer);
    std::size_t shown = ReadFileBytes(kRcvJournal1).size();
    int status = child.End(c.signal);
    if (c.signal == SIGTERM) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
      EXPECT_TRUE(fs::exists("morvek.ini"));
    } else {
      StartAgain();
    }
    std::string saved = LogsEndingWith("_BakMORVEKRcv.txt");
    EXPECT_GE(saved.size(), shown);
    EXPECT_EQ(saved, lines.substr(0, saved.size()));
    EXPECT_EQ(LogsEndingWith("_BakMORVEKSnd.txt"), c.sent);
    EXPECT_FALSE(JournalsLeft());
  }
}

// A second terminal started in the same folder on another port leaves the
// live one's journals alone and keeps journals of its own; each ends with
// its own logs.
TEST_F(Journal, TwoInstancesInOneFolder) {
  PtyPeer peer;
  ChildTerminal child("type", peer);
  ASSERT_EQ(peer.Read(1, 30s), "R") << "the child ended with status " << child.End(SIGKILL) << ":\n"
                                       << ReadFileBytes(kChildReport);
  ASSERT_TRUE(peer.Write("first\r\n"));
  ASSERT_TRUE(WaitForFile(kRcvJournal1, "first\r\n"));

  RunTerminal(2, [](CTerminalDlg& dlg) {
    dlg.WritePort("second", 6);  // the loopback plug sends it back
    EXPECT_TRUE(PumpUntil([] { return ReadFileBytes("BAKUP/.COM2.rcv.journal") == "second"; }, 30s));
  });
  EXPECT_EQ(ReadFileBytes(kRcvJournal1), "first\r\n");
  EXPECT_EQ(LogsEndingWith("_BakMORVEKRcv.txt"), "second");

  int status = child.End(SIGTERM);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(LogsEndingWith("_BakMORVEKRcv.txt", "COM1_"), "first\r\n");
  EXPECT_FALSE(JournalsLeft());
}

// Journals left by runs that did not end in order become backup logs named
// by their last write (at UTC+9), appended as any backup is; an empty one
// gives no log; one that cannot be written out stays.
TEST_F(Journal, LeftJournalsBecomeBackupLogs) {
  const std::string kDamaged = std::string("受信あ") + "\x82";  // cut after a lead byte
  struct Case {
    fs::path journal;
    std::string text;
    fs::path log;  // empty: no log
    std::string logBefore;
    bool kept;
  } cases[] = {
      {"BAKUP/.COM1.rcv.journal", "abc\r\nです", "BAKUP/COM1_2008_3_5_9_7_BakMORVEKRcv.txt", "", false},
      {"BAKUP/.COM1.snd.journal", "send", "BAKUP/COM1_2008_3_5_9_7_BakMORVEKSnd.txt", "earlier ", false},
      {"BAKUP/.COM16.rcv.journal", kDamaged, "BAKUP/COM16_2008_3_5_9_7_BakMORVEKRcv.txt", "", false},
      {"BAKUP/.COM3.rcv.journal", "", "", "", false},
      {"BAKUP/.COM4.rcv.journal", "kept", "BAKUP/COM4_2008_3_5_9_7_BakMORVEKRcv.txt", "", true},
  };
  const auto stamp = std::chrono::file_clock::from_sys(
      std::chrono::sys_seconds{std::chrono::sys_days{std::chrono::year{2008} / 3 / 5} + 7min});  // 9:07 at UTC+9
  fs::create_directory("BAKUP");
  for (const Case& c : cases) {
    WriteFileBytes(c.journal, c.text);
    fs::last_write_time(c.journal, stamp);
    if (!c.logBefore.empty()) WriteFileBytes(c.log, c.logBefore);
  }
  fs::create_directory("BAKUP/COM4_2008_3_5_9_7_BakMORVEKRcv.txt");  // a folder where the log must go

  StartAgain();
  EXPECT_TRUE(morvek::testing::TakeMessageBoxTexts().empty());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.journal.string());
    EXPECT_EQ(fs::exists(c.journal), c.kept);
    if (!c.log.empty() && !c.kept) {
      EXPECT_EQ(ReadFileBytes(c.log), c.logBefore + c.text);
    }
  }
  EXPECT_EQ(ReadFileBytes("BAKUP/.COM4.rcv.journal"), "kept");
}

// While the terminal runs the journals follow the boxes: received text, typed
// text, clears and a port change; the close removes them.
TEST_F(Journal, FollowsTheBoxesWhileRunning) {
  PtyPeer peer(1);
  TerminalSession session;
  session.settings = [&session](CDialog& settings) {
    if (session.settingsShown == 2)
      morvek::testing::ChooseComboEntry(static_cast<CPortSettingsDlg&>(settings).m_cmbPort.m_hWnd, 1);
    morvek::testing::Click(settings.GetDlgItem(IDOK)->m_hWnd);
  };
  session.script = [&](CTerminalDlg& dlg) {
    ASSERT_TRUE(peer.Write("abc\r\n"));
    EXPECT_TRUE(PumpUntil([] { return ReadFileBytes(kRcvJournal1) == "abc\r\n"; }, 30s));
    morvek::testing::TypeText(dlg.GetDlgItem(IDC_SEND_BOX)->m_hWnd, "xyz");
    EXPECT_TRUE(PumpUntil([] { return ReadFileBytes(kSndJournal1) == "xyz"; }, 30s));

    PressButton(dlg, IDC_CLEAR_RECEIVE);
    EXPECT_TRUE(fs::exists(kRcvJournal1) && ReadFileBytes(kRcvJournal1).empty());
    ASSERT_TRUE(peer.Write("def"));
    EXPECT_TRUE(PumpUntil([] { return ReadFileBytes(kRcvJournal1) == "def"; }, 30s));
    PressButton(dlg, IDC_CLEAR_SEND);
    EXPECT_TRUE(fs::exists(kSndJournal1) && ReadFileBytes(kSndJournal1).empty());

    // Over to COM2: the text goes on in COM2's journals, COM1's are gone.
    PressButton(dlg, IDC_PORT_SELECT);
    EXPECT_EQ(ReadFileBytes("BAKUP/.COM2.rcv.journal"), "def");
    EXPECT_EQ(Backups(".COM1.", ".journal"), std::vector<fs::path>{});
  };
  session.Run();
  EXPECT_FALSE(JournalsLeft());
  EXPECT_TRUE(morvek::testing::TakeMessageBoxTexts().empty());
}

// Feeds text to the terminal through the peer and waits until the receive box
// holds everything fed so far.
void Receive(CTerminalDlg& dlg, PtyPeer& peer, std::string& fed, const std::string& text) {
  fed += text;
  ASSERT_TRUE(peer.Write(text));
  EXPECT_TRUE(PumpUntil([&] { return std::string(dlg.m_strReceive.View()) == fed; }, 30s));
}

// A journal that cannot be written (a plain file where the backup folder must
// be, a full disk) neither stops the terminal nor shows a message; once the
// disk takes it again it holds the whole box.
TEST_F(Journal, FaultsNeverStopTheTerminal) {
  PtyPeer peer(1);
  std::string fed;

  WriteFileBytes("BAKUP", "not a folder");
  RunTerminal(1, [&](CTerminalDlg& dlg) {
    Receive(dlg, peer, fed, "c");
    EXPECT_FALSE(fs::is_directory("BAKUP"));
    fs::remove("BAKUP");
    fs::create_directory("BAKUP");
    Receive(dlg, peer, fed, "d");
    EXPECT_TRUE(PumpUntil([&] { return ReadFileBytes(kRcvJournal1) == fed; }, 30s));
  });
  EXPECT_TRUE(morvek::testing::TakeMessageBoxTexts().empty());

  fs::remove_all("BAKUP");
  ScratchDisk disk("BAKUP", 64);
  if (!disk.mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
  fed.clear();
  RunTerminal(1, [&](CTerminalDlg& dlg) {
    disk.FillUp();
    Receive(dlg, peer, fed, std::string(5000, 'a'));
    EXPECT_NE(ReadFileBytes(kRcvJournal1), fed);
    disk.MakeRoom();
    Receive(dlg, peer, fed, "b");
    EXPECT_TRUE(PumpUntil([&] { return ReadFileBytes(kRcvJournal1) == fed; }, 30s));
  });
  EXPECT_TRUE(morvek::testing::TakeMessageBoxTexts().empty());
  EXPECT_FALSE(JournalsLeft());
}

}  // namespace
