#!/usr/bin/env bash
# Sets up a Debian 12 machine for MORVEK Comm, builds it, and then either starts
# the terminal on the built-in loopback plug (run) or runs every test (test).
#
#   tools/setup.sh run     install what is missing, build, start the terminal
#   tools/setup.sh test    install what is missing, build, run all tests; then
#                          build again with AddressSanitizer and
#                          UndefinedBehaviorSanitizer and run all tests again
#   tools/setup.sh tsan    install what is missing, build with ThreadSanitizer,
#                          run all tests
#   tools/setup.sh coverage
#                          install what is missing (and gcovr), build with
#                          coverage counters, run all tests, print the line and
#                          branch coverage of src/
#   tools/setup.sh package install what is missing, build, make the Debian
#                          package build/package/morvek-comm_2.02-1_amd64.deb
#
# Packages are installed only when one is missing (as root, or through sudo).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build="${MORVEK_BUILD_DIR:-$here/build}"
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins qt6-translations-l10n
  libgtest-dev googletest fonts-ipafont-mincho fonts-ipafont-gothic desktop-file-utils groff-base)

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

run_tests() {
  (cd "$1" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)
}

# Any sanitizer report fails the test that caused it. Libraries that keep memory
# or synchronise out of the sanitizers' sight are named in tools/sanitizers/.
supp="$here/tools/sanitizers"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="suppressions=$supp/tsan.supp:halt_on_error=1:second_deadlock_stack=1"

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
    run_tests "$build"
    build_tree "$build-asan" -DMORVEK_ASAN=ON
    run_tests "$build-asan"
    ;;
  package)
    packages+=(dpkg-dev file)
    install_missing
    build_tree "$build"
    (cd "$build" && cpack >/dev/null)
    ls "$build"/package/*.deb
    ;;
  tsan)
    install_missing
    build_tree "$build-tsan" -DMORVEK_TSAN=ON
    run_tests "$build-tsan"
    ;;
  coverage)
    packages+=(gcovr)
    install_missing
    # Unoptimised, so that every line counts where it is written; atomic
    # counters, since several threads run the same code; counters from an
    # earlier run are removed so that the figures are this run's.
    build_tree "$build-coverage" -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS=--coverage -fprofile-update=atomic"
    find "$build-coverage" -name '*.gcda' -delete
    # A failing test still leaves its counters: report them, then fail.
    status=0
    run_tests "$build-coverage" || status=$?
    gcovr --root "$here" --filter "$here/src/" --exclude-throw-branches \
      --print-summary --output "$build-coverage/coverage.txt" "$build-coverage"
    exit $status
    ;;
  *)
    echo "usage: $0 run|test|tsan|coverage|package" >&2
    exit 2
    ;;
esac
