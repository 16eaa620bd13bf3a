// The program's options: what each prints, where, and the exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/command_line.h"

namespace {

// A stream whose text can be taken once written.
struct MemoryStream {
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* file = open_memstream(&text, &size);
  std::string Take() {
    std::fclose(file);
    std::string taken(text, size);
    std::free(text);
    return taken;
  }
};

TEST(CommandLine, EachArgumentGivesItsOutputAndStatus) {
  const std::string usage = "Usage: morvek-comm [OPTION]\n";
  struct Case {
    std::vector<const char*> args;
    std::optional<int> status;
    std::string out;  // what stdout begins with ("" = stdout stays empty)
    std::string err;  // what stderr begins with ("" = stderr stays empty)
  } cases[] = {
      {{"morvek-comm"}, std::nullopt, "", ""},
      {{"morvek-comm", "--version"}, 0, "MORVEK Comm 2.02\n", ""},
      {{"morvek-comm", "--help"}, 0, usage, ""},
      {{"morvek-comm", ""}, 2, "", "morvek-comm: unknown option ''\n" + usage},
      {{"morvek-comm", "COM1"}, 2, "", "morvek-comm: unknown option 'COM1'\n" + usage},
      {{"morvek-comm", "--version", "x"}, 2, "", "morvek-comm: too many arguments, starting at 'x'\n" + usage},
  };
  std::string help;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.size() > 1 ? c.args[1] : "(none)");
    MemoryStream out, err;
    EXPECT_EQ(morvek::core::HandleCommandLine(static_cast<int>(c.args.size()), c.args.data(), out.file, err.file),
              c.status);
    const std::string outText = out.Take(), errText = err.Take();
    EXPECT_EQ(outText.substr(0, c.out.size()), c.out);
    EXPECT_EQ(outText.empty(), c.out.empty());
    EXPECT_EQ(errText.substr(0, c.err.size()), c.err);
    EXPECT_EQ(errText.empty(), c.err.empty());
    if (c.status == 0 && c.out == usage) help = outText;
    EXPECT_TRUE(c.status != 2 || errText.ends_with(help)) << "the whole usage follows a wrong option";
  }
  // The usage lists every option on its own line.
  for (const char* option : {"\n  --help ", "\n  --version "}) EXPECT_NE(help.find(option), std::string::npos) << option;
}

}  // namespace
