#!/bin/sh
# Installs the build into a fresh prefix, checks what went where, builds the example program
# against the installed library through pkg-config alone and runs it on a simulated board.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR CXX "CXXFLAGS" "EMULATOR"
set -eu
build=$1 source=$2 cxx=$3 flags=$4 emulator=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/usr"

cmake --install "$build" --prefix "$prefix" >"$work/install.log"

pc=$(find "$prefix" -name quarnel4.pc)
[ -n "$pc" ] || { echo "no quarnel4.pc installed"; cat "$work/install.log"; exit 1; }
export PKG_CONFIG_PATH="$(dirname "$pc")"
libdir=$(pkg-config --variable=libdir quarnel4)
for file in "$(pkg-config --variable=includedir quarnel4)/quarnel4.h" \
            "$libdir/libquarnel4.so" "$libdir/libquarnel4.so.5" \
            "$libdir/libquarnel4x64.so" "$libdir/libquarnel4x64.so.5" \
            "$prefix/lib/udev/rules.d/60-quarnel4.rules"; do
  [ -e "$file" ] || { echo "missing after install: $file"; cat "$work/install.log"; exit 1; }
done
[ -L "$libdir/libquarnel4.so" ] || { echo "libquarnel4.so is not the development link"; exit 1; }

# shellcheck disable=SC2086 # the flags and pkg-config's answer are lists of words
"$cxx" $flags -Wall -Wextra -Werror "$source/examples/quarnel4_example.cpp" \
  $(pkg-config --cflags --libs quarnel4) -o "$work/example"

# Only the installed library can be found: the program carries no path to the build.
output=$(LD_LIBRARY_PATH="$libdir" QUARNEL_SIM=2d QUARNEL_LOCK_DIR="$work" $emulator "$work/example")
echo "$output"
echo "$output" | grep -qx "quarnel_count_cards: 1" || { echo "the example found no simulated board"; exit 1; }
