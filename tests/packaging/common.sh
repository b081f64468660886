# Shared by the packaging tests: failing with a reason, and starting an installed game headless.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

need() {
  command -v "$1" >/dev/null 2>&1 || fail "$1 is missing (scripts/setup.sh test installs it: $2)"
}

# run_installed BINARY WORKDIR [VAR=VALUE...]: starts the game as a player would, with no QPEDIR and
# the save under WORKDIR, headless, for three ticks; checks the first start asks for the name and
# that the save went where the player's data lives. Extra variables go to the game's environment.
run_installed() {
  local binary=$1 work=$2
  shift 2
  mkdir -p "$work/home" "$work/data"
  # The log exists before the game starts: the wait below must not race the game's first write.
  : >"$work/game.log"
  env -u QPEDIR -u DISPLAY -u WAYLAND_DISPLAY -u TROTIX_SCALE \
      HOME="$work/home" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=offscreen "$@" \
      timeout 20 "$binary" >"$work/game.log" 2>&1 &
  local pid=$!
  while [ "$(grep -c '^trotix: Action>>Naming()$' "$work/game.log")" -lt 3 ]; do
    kill -0 "$pid" 2>/dev/null || { cat "$work/game.log" >&2; fail "$binary stopped before three ticks"; }
    sleep 0.1
  done
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  # A first start puts the shipped template in place as the save.
  grep -q '^%%%%%%%%%%%%%%%%' "$work/data/trotix/trotix_attr.conf" 2>/dev/null \
    || { cat "$work/game.log" >&2; fail "the save is not under XDG_DATA_HOME"; }
  grep -qx 'trotix: New parameter file.' "$work/game.log" || fail "a first start did not find a new horse"
  echo "ok: $binary started headless ($*) and ticked"
}

# check_layout ROOT PREFIX ID: the installed files a player and a desktop need.
check_layout() {
  local root=$1 prefix=$2 id=$3
  local share=$root$prefix/share
  [ -x "$root$prefix/games/trotix" ] || fail "no executable $prefix/games/trotix"
  [ -f "$share/applications/$id.desktop" ] || fail "no desktop entry $id.desktop"
  [ -f "$share/metainfo/$id.metainfo.xml" ] || fail "no AppStream metadata $id.metainfo.xml"
  [ -f "$share/trotix/trotix_attr.conf" ] || fail "no attribute-file template"
  [ "$(find "$share/trotix/pics" -name '*.png' | wc -l)" -eq 34 ] || fail "not the 34 pictures installed"
  [ "$(find "$share/trotix/sounds" -name '*.wav' | wc -l)" -eq 10 ] || fail "not the 10 sounds installed"
  [ -n "$(find "$root$prefix" -path '*/lib*/trotix/trotix-sound.so')" ] || fail "no sound module"
  [ -n "$(find "$root$prefix" -path '*/lib*/trotix/trotix-pad.so')" ] || fail "no gamepad module"
  for size in 16 24 32 48 64 128 256; do
    file "$share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "PNG image data, $size x $size," \
      || fail "no ${size}px icon"
  done
  [ -f "$share/man/man6/trotix.6.gz" ] && [ -f "$share/doc/trotix/copyright" ] || fail "no manual page or copyright"
  grep -qx "Icon=$id" "$share/applications/$id.desktop" || fail "the desktop entry names another icon"
  # The menu starts the installed game itself, whatever the prefix is and the PATH holds.
  grep -qx "Exec=$prefix/games/trotix" "$share/applications/$id.desktop" || fail "the desktop entry starts another program"
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$share/metainfo/$id.metainfo.xml" \
    || fail "the metainfo launches another desktop id"
  echo "ok: layout under $root$prefix"
}
