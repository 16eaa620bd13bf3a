// The program's options: what each prints, where, and the exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/command_line.h"

namespace {

struct Outcome {
  std::optional<int> status;
  std::string out;
  std::string err;
};

// Runs the command line on `args` (argv[0] included), capturing both streams.
Outcome RunCommandLine(const std::vector<const char*>& args) {
  Outcome outcome;
  char* outText = nullptr;
  char* errText = nullptr;
  std::size_t outSize = 0;
  std::size_t errSize = 0;
  std::FILE* out = open_memstream(&outText, &outSize);
  std::FILE* err = open_memstream(&errText, &errSize);
  outcome.status = morvek::core::HandleCommandLine(static_cast<int>(args.size()), args.data(), out, err);
  std::fclose(out);
  std::fclose(err);
  outcome.out.assign(outText, outSize);
  outcome.err.assign(errText, errSize);
  std::free(outText);
  std::free(errText);
  return outcome;
}

TEST(CommandLine, EachArgumentGivesItsOutputAndStatus) {
  const std::string usage = "Usage: morvek-comm [OPTION]\n";
  struct Case {
    std::vector<const char*> args;
    std::optional<int> status;
    std::string outStart;  // what stdout begins with ("" = stdout stays empty)
    std::string errStart;  // what stderr begins with ("" = stderr stays empty)
  };
  const Case cases[] = {
      {{"morvek-comm"}, std::nullopt, "", ""},
      {{"morvek-comm", "--version"}, 0, "MORVEK Comm 2.02\n", ""},
      {{"morvek-comm", "--help"}, 0, usage, ""},
      {{"morvek-comm", "--hel"}, 2, "", "morvek-comm: unknown option '--hel'\n" + usage},
      {{"morvek-comm", "-h"}, 2, "", "morvek-comm: unknown option '-h'\n" + usage},
      {{"morvek-comm", ""}, 2, "", "morvek-comm: unknown option ''\n" + usage},
      {{"morvek-comm", "COM1"}, 2, "", "morvek-comm: unknown option 'COM1'\n" + usage},
      {{"morvek-comm", "--version", "x"}, 2, "", "morvek-comm: too many arguments, starting at 'x'\n" + usage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.size() > 1 ? c.args[1] : "(none)");
    const Outcome outcome = RunCommandLine(c.args);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.out.substr(0, c.outStart.size()), c.outStart);
    EXPECT_EQ(outcome.out.empty(), c.outStart.empty());
    EXPECT_EQ(outcome.err.substr(0, c.errStart.size()), c.errStart);
    EXPECT_EQ(outcome.err.empty(), c.errStart.empty());
  }
}

TEST(CommandLine, UsageListsEveryOptionOnItsOwnLine) {
  const std::string usage = RunCommandLine({"morvek-comm", "--help"}).out;
  for (const char* option : {"\n  --help ", "\n  --version "}) EXPECT_NE(usage.find(option), std::string::npos) << option;
  EXPECT_EQ(usage, RunCommandLine({"morvek-comm", "bad"}).err.substr(std::string("morvek-comm: unknown option 'bad'\n").size()));
}

}  // namespace
