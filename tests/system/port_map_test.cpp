// Which device each COMn is: the port map against fake folders of stable
// names, the list that --ports prints, and a port held by another process.
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <spawn.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/posix/port_map.h"
#include "platform/posix/port_list.h"
#include "platform/win32.h"
#include "support/pty_peer.h"
#include "support/stable_names.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

using morvek::posix::ComPortTarget;
using morvek::posix::NumberNewAdapters;
using morvek::posix::ParsePortMap;
using morvek::posix::PortNumbers;
using morvek::posix::ResolveComPort;
using morvek::test::PtyPeer;
using morvek::test::ReadFileBytes;
using morvek::test::StableNames;
using morvek::test::TempCurrentDir;
using morvek::test::WriteFileBytes;

// Another program (sleep) holding a device open without any lock, as cat or a
// pyserial script does, until the object goes.
class Holder {
 public:
  explicit Holder(const std::string& device) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK, 0);
    char* argv[] = {const_cast<char*>("sleep"), const_cast<char*>("600"), nullptr};
    if (posix_spawnp(&m_pid, "sleep", &actions, nullptr, argv, environ) != 0) m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Holder() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
  }
  pid_t pid() const { return m_pid; }

 private:
  pid_t m_pid = -1;
};

std::string PortList() {
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  morvek::posix::PrintPortList(out);
  std::fclose(out);
  std::string list(text, size);
  std::free(text);
  return list;
}

TEST(PortMap, AnyTextGivesOnlyTheWellFormedEntries) {
  struct Row {
    std::string text;
    PortNumbers numbers;
    std::size_t warnings;
  } rows[] = {
      {"", {}, 0},
      {"COM3=/dev/serial/by-id/usb-A\n", {{3, "/dev/serial/by-id/usb-A"}}, 0},
      {" com16 = /a b \r\n# a note\n\n", {{16, "/a b"}}, 0},
      {"COM3=/a\nCOM3=/b\nCOM4=/a\nCOM5=/c", {{3, "/a"}, {5, "/c"}}, 2},
      {"COM0=/a\nCOM17=/a\nCOM03=/a\nCOM3=\nCOM3=rel\nCOM3\n=/a\nLPT1=/a\n", {}, 8},
      {std::string("COM3=/a\0b\nCOM4=/d\n\xff\xfe\x81\x40=/e\n", 26), {{4, "/d"}}, 2},
      {std::string(5000, '='), {}, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text.substr(0, 40));
    std::vector<std::string> warnings;
    const PortNumbers numbers = ParsePortMap(row.text, &warnings);
    EXPECT_EQ(numbers, row.numbers);
    EXPECT_EQ(warnings.size(), row.warnings);
    EXPECT_EQ(ParsePortMap(morvek::posix::FormatPortMap(numbers), nullptr), numbers);
  }
}

TEST(PortMap, AdaptersKeepTheirNumbersForGoodEvenWhenTheMapCannotBeSaved) {
  TempCurrentDir dir;
  StableNames names(dir.path());
  PtyPeer a, b, c, d;
  StableNames::Point(names.ById("usb-A"), a.SlavePath());
  StableNames::Point(names.ById("usb-B"), b.SlavePath());
  StableNames::Point(names.ById("usb-gone"), (dir.path() / "nowhere").string());
  StableNames::Point(names.ById("not-a-device"), "/etc/hostname");
  StableNames::Point(names.ByPath("pci-0"), a.SlavePath());  // the same adapter as usb-A
  StableNames::Point(names.ByPath("pci-1"), c.SlavePath());  // one without a by-id name

  // First sight: by-id names first, then the by-path name of the adapter
  // that has none; a link that leads nowhere or not to a device gets nothing.
  const PortNumbers first = {{3, names.ById("usb-A")}, {4, names.ById("usb-B")}, {5, names.ByPath("pci-1")}};
  EXPECT_EQ(NumberNewAdapters(), first);
  const std::string saved = ReadFileBytes(names.MapPath());
  EXPECT_EQ(saved, morvek::posix::FormatPortMap(first));

  // Over a restart nothing changes; an unplugged adapter keeps its number,
  // and a new one gets the next free number, not the unplugged one's.
  EXPECT_EQ(NumberNewAdapters(), first);
  StableNames::Remove(names.ById("usb-A"));
  StableNames::Remove(names.ByPath("pci-0"));
  StableNames::Point(names.ById("usb-D"), d.SlavePath());
  PortNumbers second = first;
  second[6] = names.ById("usb-D");
  EXPECT_EQ(NumberNewAdapters(), second);

  // A number freed by hand goes to the next new adapter.
  WriteFileBytes(names.MapPath(), "COM3=" + names.ById("usb-A") + "\nCOM5=" + names.ByPath("pci-1") + "\n");
  const PortNumbers third = {
      {3, names.ById("usb-A")}, {4, names.ById("usb-B")}, {5, names.ByPath("pci-1")}, {6, names.ById("usb-D")}};
  EXPECT_EQ(NumberNewAdapters(), third);

  // All sixteen numbers taken: the new adapter gets none, and says so.
  std::string full;
  for (int n = 1; n <= 16; ++n) full += "COM" + std::to_string(n) + "=/dev/held" + std::to_string(n) + "\n";
  WriteFileBytes(names.MapPath(), "damaged line\n" + full);
  testing::internal::CaptureStderr();
  const PortNumbers numbers = NumberNewAdapters();
  const std::string warnings = testing::internal::GetCapturedStderr();
  EXPECT_EQ(numbers.size(), 16u);
  EXPECT_EQ(numbers.at(3), "/dev/held3");
  EXPECT_NE(warnings.find("line 1 skipped"), std::string::npos) << warnings;
  EXPECT_NE(warnings.find("no COM number is free for " + names.ById("usb-B")), std::string::npos) << warnings;

  // A plain file where the map's folder must be: numbered for this run all the same.
  const std::filesystem::path folder = std::filesystem::path(names.MapPath()).parent_path();
  std::filesystem::remove_all(folder);
  WriteFileBytes(folder, "in the way");
  testing::internal::CaptureStderr();
  EXPECT_EQ(NumberNewAdapters(), (PortNumbers{{3, names.ById("usb-B")}, {4, names.ById("usb-D")}, {5, names.ByPath("pci-1")}}));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot save the port map"), std::string::npos);
}

TEST(PortMap, TheEnvironmentWinsOverTheMap) {
  const PortNumbers numbers = {{1, "/dev/serial/by-id/usb-X"}, {3, "/dev/serial/by-id/usb-A"}};
  struct Row {
    int n;
    const char* variable;  // MORVEK_COMn's value, or null
    ComPortTarget::Kind kind;
    std::string path;
  } rows[] = {
      {3, nullptr, ComPortTarget::Kind::kDevice, "/dev/serial/by-id/usb-A"},
      {3, "", ComPortTarget::Kind::kDevice, "/dev/serial/by-id/usb-A"},
      {2, nullptr, ComPortTarget::Kind::kDevice, "/dev/ttyS1"},
      {16, nullptr, ComPortTarget::Kind::kDevice, "/dev/ttyS15"},
  };
  // (A plug or a device named in MORVEK_COMn: every terminal test.)
  for (const Row& row : rows) {
    SCOPED_TRACE(row.n);
    const std::string variable = "MORVEK_COM" + std::to_string(row.n);
    if (row.variable) setenv(variable.c_str(), row.variable, 1);
    const ComPortTarget target = ResolveComPort(row.n, numbers);
    unsetenv(variable.c_str());
    EXPECT_EQ(target.kind, row.kind);
    EXPECT_EQ(target.path, row.path);
    EXPECT_EQ(target.environment, row.variable && *row.variable ? variable : "");
  }
}

TEST(PortMap, PortsListsEachPortsStateAndABusyPortIsRefusedUntilItsHolderLetsGo) {
  TempCurrentDir dir;
  StableNames names(dir.path());
  PtyPeer present, busy;
  StableNames::Point(names.ById("usb-present"), present.SlavePath());
  StableNames::Point(names.ById("usb-busy"), busy.SlavePath());
  std::filesystem::create_directories(std::filesystem::path(names.MapPath()).parent_path());
  WriteFileBytes(names.MapPath(), "COM5=" + names.ById("usb-gone") + "\n");
  setenv("MORVEK_COM6", "loopback", 1);
  auto holder = std::make_unique<Holder>(busy.SlavePath());
  ASSERT_GT(holder->pid(), 0);

  const std::string list = PortList();
  unsetenv("MORVEK_COM6");
  const std::string lines[] = {
      "COM3   " + names.ById("usb-busy") + " -> " + busy.SlavePath() + ": busy (held by sleep, pid " +
          std::to_string(holder->pid()) + ")\n",
      "COM4   " + names.ById("usb-present") + " -> " + present.SlavePath() + ": present\n",
      "COM5   " + names.ById("usb-gone") + " -> (nothing): missing\n",
      "COM6   loopback (built-in loopback plug): present\n",
  };
  for (const std::string& line : lines) EXPECT_NE(list.find(line), std::string::npos) << line << "in\n" << list;

  // Opening goes by the map: the free adapter opens, the held one is refused
  // until its holder lets go.
  HANDLE port = CreateFileA("COM4", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(port, INVALID_HANDLE_VALUE);
  CloseHandle(port);
  EXPECT_EQ(CreateFileA("COM3", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  holder.reset();
  port = CreateFileA("COM3", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(port, INVALID_HANDLE_VALUE) << GetLastError();
  CloseHandle(port);
}

// Each devpts instance (a container's, or one mounted over /dev/pts) numbers
// its ptys from 0. A program in a container holding the pty of our pty's
// number holds another device: ours is not busy.
TEST(PortMap, ThePtyOfTheSameNumberInAnotherDevptsInstanceDoesNotMakeOursBusy) {
  PtyPeer ours(3);
  const std::string number = ours.SlavePath().substr(ours.SlavePath().rfind('/') + 1);
  const std::string theirs = "/dev/pts/" + number;
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  // The container: a mount namespace of its own with a new devpts instance on
  // /dev/pts, where it opens ptys 0 .. number and holds the last one's slave.
  const pid_t container = fork();
  if (container == 0) {
    char state = 'n';
    if (unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
        mount("devpts", "/dev/pts", "devpts", 0, "newinstance,ptmxmode=0666") == 0) {
      for (unsigned long i = 0; i <= std::stoul(number); ++i) unlockpt(open("/dev/pts/ptmx", O_RDWR | O_NOCTTY));
      if (open(theirs.c_str(), O_RDWR | O_NOCTTY) >= 0) state = 'y';
    }
    if (write(ready[1], &state, 1) != 1 || state != 'y') _exit(1);
    pause();
    _exit(0);
  }
  close(ready[1]);
  char state = 0;
  ASSERT_EQ(read(ready[0], &state, 1), 1);
  close(ready[0]);
  if (state != 'y') {
    kill(container, SIGKILL);
    waitpid(container, nullptr, 0);
    GTEST_SKIP() << "no devpts instance of our own can be mounted here";
  }

  HANDLE port = CreateFileA("COM3", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(port, INVALID_HANDLE_VALUE) << GetLastError();
  CloseHandle(port);
  kill(container, SIGKILL);
  waitpid(container, nullptr, 0);
}

}  // namespace
