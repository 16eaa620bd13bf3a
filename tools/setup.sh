#!/usr/bin/env bash
# Sets up a Debian 12 machine for MORVEK Comm, builds it, and then either starts
# the terminal on the built-in loopback plug (run) or runs every test (test).
#
#   tools/setup.sh run     install what is missing, build, start the terminal
#   tools/setup.sh test    install what is missing, build, run all tests
#
# Packages are installed only when one is missing (as root, or through sudo).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build="${MORVEK_BUILD_DIR:-$here/build}"
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins qt6-translations-l10n
  libgtest-dev googletest fonts-ipafont-mincho fonts-ipafont-gothic)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build_tree() {
  local dir=$1
  shift
  cmake -S "$here" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir"
}

case "${1:-}" in
  run)
    install_missing
    build_tree "$build"
    export MORVEK_COM1="${MORVEK_COM1:-loopback}"
    exec "$build/morvek-comm"
    ;;
  test)
    install_missing
    build_tree "$build"
    cd "$build"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
