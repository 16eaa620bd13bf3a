// The terminal started on settings files of every length from 0 to 512 bytes:
// noise, and records whose fields lie outside their lists. Each start either
// brings the window up or ends with one of the program's own messages; it never
// shows more of a text than its field holds, and a terminal that came up writes
// a well-formed record when it closes, while one that could not start leaves
// the file alone.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/testing.h"
#include "res/resource.h"
#include "support/default_port_config.h"
#include "support/terminal_test.h"

namespace {

using morvek::test::ControlText;
using morvek::test::MessagesShown;
using morvek::test::ReadFileBytes;
using morvek::test::TerminalSession;
using morvek::test::WriteFileBytes;

void PutInt(std::string& record, size_t offset, int32_t value) { std::memcpy(&record[offset], &value, 4); }

// A record whose fields are each drawn from good values and from values just
// outside or far outside what the lists hold. Every field takes its first
// (good) value half of the time, so that many such records do bring a port up.
std::string OddRecord(std::mt19937& random) {
  auto pick = [&](std::initializer_list<int32_t> values) {
    if (random() % 2 == 0) return *values.begin();
    return *(values.begin() + std::uniform_int_distribution<size_t>(0, values.size() - 1)(random));
  };
  std::string record(SETTINGS_RECORD_SIZE, '\0');
  PutInt(record, 0, pick({0, 1, 15, 16, -1, 255, INT32_MIN, INT32_MAX}));
  PutInt(record, 4, pick({9600, 115200, 2000000, 0, 1, -9600, INT32_MIN, INT32_MAX}));
  record[8] = static_cast<char>(pick({8, 7, 5, 4, 9, 0, 255}));
  record[9] = static_cast<char>(pick({0, 2, 4, 5, 255}));
  record[10] = static_cast<char>(pick({0, 1, 2, 3, 255}));
  record[11] = static_cast<char>(pick({0, 1, 255}));
  for (size_t offset : {12, 16, 20, 24}) PutInt(record, offset, pick({0, 1, 2, 3, -1}));
  PutInt(record, 28, pick({20, 0, 1, -1, INT32_MAX, INT32_MIN}));
  static const char* const kTexts[] = {"COM1", "9600", "8", "None", "1", "No", "", "COM99", "abc", "\x83\x65\x83\x58"};
  for (size_t field = 0; field < 6; ++field) {
    size_t offset = 32 + 16 * field;
    int kind = std::uniform_int_distribution<int>(0, 3)(random);
    if (kind == 0) {  // sixteen bytes and no end
      for (size_t i = 0; i < 16; ++i) record[offset + i] = static_cast<char>('A' + random() % 26);
    } else if (kind == 1) {  // noise
      for (size_t i = 0; i < 16; ++i) record[offset + i] = static_cast<char>(random());
    } else {
      const char* text = kTexts[random() % std::size(kTexts)];
      std::memcpy(&record[offset], text, std::strlen(text));
    }
  }
  return record;
}

// The file's contents for a length: noise, or an odd record followed by noise.
std::string SettingsFileOfLength(size_t length) {
  std::mt19937 random(static_cast<unsigned>(length));
  const bool record = length >= SETTINGS_RECORD_SIZE && length % 2 == 0;
  std::string bytes = record ? OddRecord(random) : "";
  while (bytes.size() < length) bytes += static_cast<char>(random());
  return bytes;
}

// Whether the bytes are a record exactly as the program writes one.
bool WellFormed(const std::string& bytes) {
  PortConfig config{};
  return ParseSettingsRecord(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size(), config) &&
         morvek::test::RecordOf(config) == bytes;
}

class BadSettingsTest : public morvek::test::TerminalTest {
 protected:
  void SetUp() override {
    TerminalTest::SetUp();
    for (int n = 1; n <= 16; ++n) setenv(("MORVEK_COM" + std::to_string(n)).c_str(), "loopback", 1);
  }
  void TearDown() override {
    for (int n = 2; n <= 16; ++n) unsetenv(("MORVEK_COM" + std::to_string(n)).c_str());
    TerminalTest::TearDown();  // and MORVEK_COM1
  }
};

TEST_F(BadSettingsTest, EveryLengthAndContentStartsOrEndsWithTheProgramsOwnMessage) {
  const std::string kTitlePrefix = "MORVEK Comm (VER 2.02)   ";
  const std::string kTitleEnd = " 通信";
  int started = 0;
  int refused = 0;
  for (size_t length = 0; length <= 512; ++length) {
    SCOPED_TRACE(length);
    const std::string file = SettingsFileOfLength(length);
    WriteFileBytes("morvek.ini", file);
    std::string title;
    TerminalSession session;
    session.script = [&](CTerminalDlg& dlg) {
      CString text;
      dlg.GetWindowText(text);
      title = std::string(text.View());
      // The status line names the port and five settings, each a field's text (at most 16 bytes).
      EXPECT_LE(ControlText(dlg, IDC_PORT_STATUS).size(), 6u * 16 + 60);
    };
    session.Run();
    EXPECT_EQ(session.settingsShown, 1);

    std::vector<std::string> messages = MessagesShown();
    if (session.mainShown) {
      ++started;
      EXPECT_TRUE(messages.empty()) << messages[0];
      ASSERT_EQ(title.rfind(kTitlePrefix, 0), 0u) << title;
      EXPECT_LE(title.size(), kTitlePrefix.size() + 16 + kTitleEnd.size()) << title;
      EXPECT_TRUE(WellFormed(ReadFileBytes("morvek.ini")));
    } else {
      ++refused;
      ASSERT_EQ(messages.size(), 1u);
      bool openFailed = messages[0] == " ポートがオープンできません";
      bool configureFailed = messages[0].ends_with(" ポートの初期設定ができません") &&
                             messages[0].size() <= 16 + std::strlen(" ポートの初期設定ができません");
      EXPECT_TRUE(openFailed || configureFailed) << messages[0];
      EXPECT_EQ(ReadFileBytes("morvek.ini"), file);
    }
  }
  // Both outcomes were exercised: short files start on the defaults.
  EXPECT_GT(started, 150);
  EXPECT_GT(refused, 100);
}

}  // namespace
