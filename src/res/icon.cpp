// Icon 128: a terminal screen above a 9-pin connector, 32x32 and 16x16, in 16
// colours. Each row is one palette digit (0..F, see kIconPalette) a pixel; '.'
// is transparent.
#include <array>
#include <cstring>

#include "platform/resources.h"
#include "res/resource.h"

namespace {

const char* const kIcon32[] = {
    "................................",
    ".888888888888888888888888888888.",
    ".877777777777777777777777777778.",
    ".877777777777777777777777777778.",
    ".877000000000000000000000000778.",
    ".877011111111111111111111110778.",
    ".877011111111111111111111110778.",
    ".877011AA1111111111111111110778.",
    ".8770111AA111111111111111110778.",
    ".87701111AA11111111111111110778.",
    ".8770111AA111111111111111110778.",
    ".877011AA111AAAAA11111111110778.",
    ".877011111111111111111111110778.",
    ".877011111111111111111111110778.",
    ".877011FFFFFFFFFFFFFF1111110778.",
    ".877011111111111111111111110778.",
    ".877011FFFFFFFFF111111111110778.",
    ".877011111111111111111111110778.",
    ".877011111111111111111111110778.",
    ".877000000000000000000000000778.",
    ".877777777777777777777777777778.",
    ".877777777777777777777777777778.",
    ".888888888888888888888888888888.",
    ".............888888.............",
    ".............888888.............",
    "......88888888888888888888......",
    "......8EEEEEEEEEEEEEEEEEE8......",
    "......8EE0EE0EE0EE0EE0EEE8......",
    "......8EEE0EE0EE0EE0EEEEE8......",
    "......8EEEEEEEEEEEEEEEEEE8......",
    ".......888888888888888888.......",
    "................................",
};

const char* const kIcon16[] = {
    "8888888888888888",
    "8777777777777778",
    "8700000000000078",
    "8701111111111178",
    "8701A11111111178",
    "8701A11111111178",
    "8701111111111178",
    "8701FFFFFFF11178",
    "8701FFFF11111178",
    "8701111111111178",
    "8777777777777778",
    "8888888888888888",
    "...8888888888...",
    "...8EEEEEEEEE...",
    "...8E0EE0EEEE...",
    "...8888888888...",
};

template <int N>
struct DecodedImage {
  std::array<BYTE, N * N> pixels{};
  std::array<BYTE, N * N> mask{};
  explicit DecodedImage(const char* const (&rows)[N]) {
    for (int y = 0; y < N; ++y) {
      for (int x = 0; x < N; ++x) {
        char c = rows[y][x];
        int i = y * N + x;
        mask[i] = c == '.' ? 1 : 0;
        pixels[i] = static_cast<BYTE>(c == '.' ? 0 : (c <= '9' ? c - '0' : c - 'A' + 10));
      }
    }
  }
};

}  // namespace

const IconResource* FindIconResource(UINT id) {
  if (id != IDR_MAINFRAME) return nullptr;
  static const DecodedImage<32> large(kIcon32);
  static const DecodedImage<16> small(kIcon16);
  static const IconImage images[] = {
      {32, 32, large.pixels.data(), large.mask.data()},
      {16, 16, small.pixels.data(), small.mask.data()},
  };
  static const IconResource icon = {IDR_MAINFRAME, images, 2};
  return &icon;
}
