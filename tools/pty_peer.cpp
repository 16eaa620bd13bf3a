// pty_peer: the far end of a serial line for trying the terminal without a
// port. Creates a pseudo-terminal, prints the path of its slave side (start
// the terminal with MORVEK_COM1=<path>), then relays: what arrives on stdin is
// sent to the terminal, what the terminal sends is printed on stdout.
//
//   pty_peer [--hex] [--echo]
//     --hex   print the terminal's bytes as hex pairs, 16 to a line
//     --echo  also send the terminal's bytes straight back to it
//
// Ends at end of input (Ctrl+D) or Ctrl+C.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Options {
  bool hex = false;
  bool echo = false;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--hex") == 0)
      options->hex = true;
    else if (std::strcmp(argv[i], "--echo") == 0)
      options->echo = true;
    else
      return false;
  }
  return true;
}

bool WriteAll(int fd, const char* bytes, std::size_t count) {
  while (count > 0) {
    ssize_t n = write(fd, bytes, count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

// Prints bytes as "41 42 0d 0a ...", 16 to a line, continuing across calls.
void PrintHex(const char* bytes, std::size_t count, int* column) {
  std::string text;
  char pair[4];
  for (std::size_t i = 0; i < count; ++i) {
    std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(bytes[i]));
    text += pair;
    text += (++*column % 16 == 0) ? '\n' : ' ';
  }
  WriteAll(STDOUT_FILENO, text.data(), text.size());
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr, "usage: %s [--hex] [--echo]\n", argv[0]);
    return 2;
  }
  int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    std::perror("pseudo-terminal");
    return 1;
  }
  std::fprintf(stderr, "slave: %s\nrun: MORVEK_COM1=%s morvek-comm\n", ptsname(master), ptsname(master));

  int column = 0;
  char buffer[4096];
  for (;;) {
    pollfd fds[2] = {{master, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      std::perror("poll");
      return 1;
    }
    // POLLHUP on the master only means that no one has the slave open yet.
    if (fds[0].revents & POLLIN) {
      ssize_t n = read(master, buffer, sizeof buffer);
      if (n > 0) {
        if (options.hex)
          PrintHex(buffer, static_cast<std::size_t>(n), &column);
        else
          WriteAll(STDOUT_FILENO, buffer, static_cast<std::size_t>(n));
        if (options.echo) WriteAll(master, buffer, static_cast<std::size_t>(n));
      }
    } else if (fds[0].revents & POLLHUP) {
      // Nothing to read until the terminal opens the slave: wait a little
      // rather than spin on the standing hang-up.
      poll(nullptr, 0, 100);
    }
    if (fds[1].revents & (POLLIN | POLLHUP)) {
      ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
      if (n <= 0) break;
      WriteAll(master, buffer, static_cast<std::size_t>(n));
    }
  }
  return 0;
}
