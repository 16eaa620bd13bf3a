#!/bin/sh
# Installs a build into a temporary prefix (with a blank in its path) and checks
# what a user gets: every file in its place, icons of the sizes their folders
# name, a menu entry that validates and starts the program in "~/MORVEK Comm"
# (made on first use, blanks in the path), a manual page that renders without
# warnings, and a program that answers --version without a display.
#
#   install_test.sh <build folder>
set -eu
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix="$scratch/pre fix"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/morvek-comm share/applications/morvek-comm.desktop share/man/man1/morvek-comm.1 \
  share/doc/morvek-comm/README.md; do
  [ -s "$prefix/$file" ] || fail "$file is not installed"
done
[ -x "$prefix/bin/morvek-comm" ] || fail "bin/morvek-comm is not executable"

# A PNG's width and height are big-endian words at bytes 16 and 20.
for size in 16 32 48 64; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/morvek-comm.png"
  if [ ! -s "$icon" ]; then
    fail "no ${size}x${size} icon"
    continue
  fi
  signature=$(od -An -tx1 -N8 "$icon" | tr -d ' \n')
  dimensions=$(od -An -tu1 -j16 -N8 "$icon" | tr -s ' ' | sed 's/^ //;s/ $//')
  [ "$signature" = 89504e470d0a1a0a ] || fail "${size}x${size} icon is not a PNG"
  [ "$dimensions" = "0 0 0 $size 0 0 0 $size" ] || fail "${size}x${size} icon measures '$dimensions'"
done

desktop="$prefix/share/applications/morvek-comm.desktop"
desktop-file-validate "$desktop" >"$scratch/validate" 2>&1 || fail "menu entry: $(cat "$scratch/validate")"

# The Exec line, unquoted as a desktop environment does (the file's own
# backslash escapes, then the quoting of Exec, which is the shell's), run with
# a stand-in program that records the folder it was started in.
mkdir -p "$scratch/bin" "$scratch/home dir"
printf '#!/bin/sh\npwd >>"%s/started-in"\n' "$scratch" >"$scratch/bin/morvek-comm"
chmod +x "$scratch/bin/morvek-comm"
exec_line=$(sed -n 's/^Exec=//p' "$desktop" | sed 's/\\\\/\\/g')
eval "set -- $exec_line"
for start in first again; do
  HOME="$scratch/home dir" PATH="$scratch/bin:$PATH" "$@" || fail "menu entry's command failed ($start start)"
done
printf '%s\n' "$scratch/home dir/MORVEK Comm" "$scratch/home dir/MORVEK Comm" >"$scratch/expected-in"
cmp -s "$scratch/started-in" "$scratch/expected-in" || fail "menu entry started the program in: $(cat "$scratch/started-in" 2>/dev/null)"

LC_ALL=C.UTF-8 groff -ww -man -Tutf8 -z "$prefix/share/man/man1/morvek-comm.1" >"$scratch/groff" 2>&1 ||
  fail "manual page does not render"
[ ! -s "$scratch/groff" ] || fail "manual page warnings: $(cat "$scratch/groff")"

version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/morvek-comm" --version) ||
  fail "--version failed"
[ "$version" = "MORVEK Comm 2.02" ] || fail "--version printed '$version'"

[ "$failures" -eq 0 ] || exit 1
echo "install checks passed"
