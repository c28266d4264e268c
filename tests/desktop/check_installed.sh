#!/usr/bin/env bash
# Installs the build tree into a scratch root under /usr, as the package does, and checks
# what a desktop and a man reader see of it.
#   check_installed.sh entry  CMAKE BUILD_DIR VERSION   files, desktop entry, metainfo, icons
#   check_installed.sh manual CMAKE BUILD_DIR VERSION   the manual page (skipped without man)
set -euo pipefail
mode=$1 cmake=$2 build=$3 version=$4
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failed=0
fail() { echo "FAILED: $*"; failed=1; }

DESTDIR=$root "$cmake" --install "$build" --prefix /usr >/dev/null
usr=$root/usr

# A checker's findings fail the test: any line from desktop-file-validate (it exits 0
# on warnings), or appstreamcli's failure (with --strict, on warnings and infos too).
silent() {
  local output
  if ! output=$("$@" 2>&1) || [ -n "$output" ]; then
    fail "$*"
    echo "$output"
  fi
}
passes() {
  local output
  output=$("$@" 2>&1) || { fail "$*"; echo "$output"; }
}

png_size() {   # width x height from the PNG header
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}

check_entry() {
  # Exactly these files: a test or bench program installed by mistake shows here.
  local expected actual
  expected=$(printf '%s\n' \
    bin/tavrelia \
    lib/systemd/user/tavrelia-conveyor.service \
    lib/systemd/user/tavrelia-player.service \
    lib/tavrelia/libtavrelia_alsa_midi.so \
    lib/tavrelia/libtavrelia_aubio.so \
    lib/tavrelia/libtavrelia_core.so \
    lib/tavrelia/libtavrelia_gui.so \
    lib/tavrelia/libtavrelia_ltc.so \
    lib/tavrelia/libtavrelia_ola.so \
    lib/tavrelia/libtavrelia_osc.so \
    lib/tavrelia/libtavrelia_remote.so \
    lib/udev/rules.d/99-tavrelia-ftdi.rules \
    share/applications/tavrelia.desktop \
    share/doc/tavrelia/copyright \
    share/icons/hicolor/128x128/apps/tavrelia.png \
    share/icons/hicolor/48x48/apps/tavrelia.png \
    share/icons/hicolor/scalable/apps/tavrelia.svg \
    share/man/man1/tavrelia.1.gz \
    share/metainfo/org.tavrelia.tavrelia.metainfo.xml \
    share/mime/packages/tavrelia.xml | sort)
  actual=$(cd "$usr" && find . -type f | sed 's|^\./||' | sort)
  [ "$actual" = "$expected" ] || fail "installed files differ: $(diff <(echo "$expected") <(echo "$actual") | grep '^[<>]' | tr '\n' ' ')"

  silent desktop-file-validate "$usr/share/applications/tavrelia.desktop"
  passes appstreamcli validate --no-net --strict "$usr/share/metainfo/org.tavrelia.tavrelia.metainfo.xml"
  # The metainfo with the desktop entry and icons it names, as a software centre reads them.
  passes appstreamcli validate-tree --no-net --strict "$root"

  # A show file is its own type, by its name and by the text it starts with, and the
  # window's entry opens it.
  local shows
  shows=$(mktemp -d)
  update-mime-database "$usr/share/mime"
  printf 'it is DMX512 File and the rest of a show' >"$shows/unnamed"
  head -c 4096 /dev/zero >"$shows/zeros.tvl"
  for show in "$shows/unnamed" "$shows/zeros.tvl"; do
    type=$(XDG_DATA_HOME=$shows XDG_DATA_DIRS=$usr/share gio info 2>/dev/null -a standard::content-type "$show" | awk '/content-type/ { print $2 }')
    [ "$type" = application/x-tavrelia-show ] || fail "$(basename "$show") is $type"
  done
  rm -rf "$shows"
  grep -qx 'MimeType=application/x-tavrelia-show;' "$usr/share/applications/tavrelia.desktop" || fail "the entry opens no show files"
  grep -qx 'Exec=tavrelia %f' "$usr/share/applications/tavrelia.desktop" || fail "the entry is not given the file"
  grep -q '^License: GPL-3.0-or-later$' "$usr/share/doc/tavrelia/copyright" || fail "the copyright file names no GPL-3.0-or-later"

  local newest
  newest=$(grep -o '<release version="[^"]*"' "$usr/share/metainfo/org.tavrelia.tavrelia.metainfo.xml" | head -1 | cut -d'"' -f2)
  [ "$newest" = "$version" ] || fail "the metainfo's newest release is $newest, the project's version $version"

  local size
  for size in 48x48 128x128; do
    [ "$(png_size "$usr/share/icons/hicolor/$size/apps/tavrelia.png")" = "$size" ] || fail "the $size icon is $(png_size "$usr/share/icons/hicolor/$size/apps/tavrelia.png")"
  done

  local unit
  for unit in player conveyor; do
    grep -q '^ExecStart=/usr/bin/tavrelia ' "$usr/lib/systemd/user/tavrelia-$unit.service" ||
      fail "tavrelia-$unit.service does not start /usr/bin/tavrelia"
  done
}

check_manual() {
  if ! command -v man >/dev/null; then
    echo "man is not installed: skipped"
    exit 77
  fi
  local page=$usr/share/man/man1/tavrelia.1.gz warnings text option
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings --nh --nj -E UTF-8 -l "$page" 2>&1 >/dev/null) || fail "man failed"
  [ -z "$warnings" ] || fail "warnings from man: $warnings"
  # Every option the program's usage names is in the manual.
  text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man --nh --nj -E UTF-8 -l "$page" 2>/dev/null | col -b)
  for option in $("$usr/bin/tavrelia" --help | grep -oE '(^|[ ,])--?[a-z][a-z0-9-]*' | tr -d ' ,' | sort -u); do
    grep -qwF -- "$option" <<<"$text" || fail "the manual does not name $option"
  done
  grep -qF "Tavrelia $version" <<<"$text" || fail "the manual is not of version $version"
}

"check_$mode"
[ $failed = 0 ] && echo "all checked"
exit $failed
