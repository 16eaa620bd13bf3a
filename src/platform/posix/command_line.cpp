#include "core/command_line.h"

#include <string_view>

#include "posix/port_list.h"

namespace morvek::core {

namespace {

constexpr const char* kProgram = "morvek-comm";

// One option: its name, the line the usage shows for it, and what it does
// (writes its result to `out` and its faults to `err`, returns the exit
// status). Every option ends the process without starting the window system.
struct Option {
  std::string_view name;
  const char* summary;
  int (*run)(std::FILE* out, std::FILE* err);
};

int PrintUsage(std::FILE* out, std::FILE* err = nullptr);

int PrintVersion(std::FILE* out, std::FILE*) {
  std::fprintf(out, "MORVEK Comm %s\n", MORVEK_VERSION);
  return 0;
}

int PrintPorts(std::FILE* out, std::FILE*) {
  posix::PrintPortList(out);
  return 0;
}

constexpr Option kOptions[] = {
    {"--help", "show this help and exit", PrintUsage},
    {"--version", "show the program's name and version and exit", PrintVersion},
    {"--ports", "list COM1..COM16: device, state (present, busy, missing, no permission)", PrintPorts},
};

int PrintUsage(std::FILE* out, std::FILE*) {
  std::fprintf(out,
               "Usage: %s [OPTION]\n"
               "Serial-port terminal. Without an option it opens the terminal window,\n"
               "which keeps morvek.ini and BAKUP/ in the current directory.\n"
               "\n",
               kProgram);
  for (const Option& option : kOptions)
    std::fprintf(out, "  %-12.*s%s\n", static_cast<int>(option.name.size()), option.name.data(), option.summary);
  return 0;
}

int Refuse(std::FILE* err, const char* fault, const char* argument) {
  std::fprintf(err, "%s: %s '%s'\n", kProgram, fault, argument);
  PrintUsage(err);
  return 2;
}

}  // namespace

std::optional<int> HandleCommandLine(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  if (argc < 2) return std::nullopt;
  if (argc > 2) return Refuse(err, "too many arguments, starting at", argv[2]);
  const std::string_view argument = argv[1];
  for (const Option& option : kOptions) {
    if (argument != option.name) continue;
    const int status = option.run(out, err);
    std::fflush(out);
    return status;
  }
  return Refuse(err, "unknown option", argv[1]);
}

}  // namespace morvek::core
