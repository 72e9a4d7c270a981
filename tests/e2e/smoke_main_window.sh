#!/bin/bash
# Starts the built program on a virtual display in a program directory of its own:
# its window appears and Esc ends it with exit code 0; without the theme library it shows
# only the error box, and dismissing the box ends it with exit code 255.
# Usage: smoke_main_window.sh <tomeferry> <SkinH_EL.so> <catalogue.mdb>
set -u
if [ -z "${SMOKE_ON_DISPLAY:-}" ]; then
  exec env SMOKE_ON_DISPLAY=1 xvfb-run -a -s '-screen 0 1024x768x24' "$0" "$@"
fi

program=$1 skin=$2 catalogue=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; exit 1; }

# Waits up to 20 s for a window whose title matches $1; prints its id.
wait_for_window() {
  for _ in $(seq 200); do
    local id
    id=$(xdotool search --name "$1" 2>/dev/null | head -1)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

# Waits up to 20 s for process $1 to end; its exit code goes to $status.
wait_for_exit() {
  for _ in $(seq 200); do
    if ! kill -0 "$1" 2>/dev/null; then wait "$1"; status=$?; return 0; fi
    sleep 0.1
  done
  kill "$1"; wait "$1"
  return 1
}

lay_out() {  # program directory with or without the theme library
  rm -rf "$work/program"
  mkdir -p "$work/program/data"
  cp "$program" "$work/program/tomeferry"
  cp "$catalogue" "$work/program/data/db1.mdb"
  chmod u+w "$work/program/data/db1.mdb"
  if [ "$1" = with-skin ]; then cp "$skin" "$work/program/SkinH_EL.so"; fi
}

echo "== the main window appears and Esc closes it"
lay_out with-skin
(cd "$work" && exec "$work/program/tomeferry") &
pid=$!
id=$(wait_for_window '^Tomeferry V4\.0$') || fail "no main window"
timeout 20 xdotool windowfocus --sync "$id" key Escape
wait_for_exit "$pid" || fail "the program did not end after Esc"
[ "$status" -eq 0 ] || fail "exit code $status after Esc, expected 0"
echo "exit code $status"

echo "== without SkinH_EL.so only the error box shows, and dismissing it ends the program"
lay_out without-skin
(cd "$work" && exec "$work/program/tomeferry") &
pid=$!
id=$(wait_for_window '^错误$') || fail "no error box"
if xdotool search --name '^Tomeferry V4\.0$' >/dev/null 2>&1; then fail "the main window was shown"; fi
timeout 20 xdotool windowfocus --sync "$id" key Return
wait_for_exit "$pid" || fail "the program did not end after the error box"
[ "$status" -eq 255 ] || fail "exit code $status after the error box, expected 255"
echo "exit code $status"
echo "PASS"
