#!/usr/bin/env bash
# Shared helpers for the window program's end-to-end runs: a person's session
# under Xvfb, with the virtual keyboard, scripted with xdotool.
#
# A run script sources this file and calls, in order:
#   e2e_init BIN_DIR        scratch folders (home, settings, program folder view),
#                           an Xvfb display, the virtual keyboard; DISPLAY is set
#   start_orlix [ARGS...]   starts `orlix --simulate --show ARGS` and waits for its
#                           main window; sets WIN (X id), WIN_X, WIN_Y (screen origin)
# and then, as it needs:
#   click X Y [BUTTON]      clicks at (X, Y) of the main window (BUTTON 1 left, 3 right)
#   page_click X Y [BUTTON] the same at (X, Y) of the current page (page origin 17, 128)
#   click_in WINDOW_NAME X Y [BUTTON]
#                           clicks at (X, Y) of the first visible window of that title
#   drag X1 Y1 X2 Y2        presses at (X1, Y1) of the main window, moves, releases at (X2, Y2)
#   page_drag X1 Y1 X2 Y2   the same in page coordinates
#   key KEYSYM...           real key presses (xdotool key names: a, ctrl+shift+a, Return)
#   type_text TEXT          types TEXT
#   settle [SECONDS]        lets the program draw (default 0.4 s)
#   shot NAME               a screenshot of the screen in $E2E_SHOTS/NAME.png
#   ctl ARGS...             orlixctl on the same virtual keyboard and folders, telling
#                           this run's orlix of what it stores (--instance)
#   memory_word OFFSET      the little-endian 32-bit word at OFFSET of the keyboard's memory
#   transfers               the virtual keyboard's transfers.log
#   wait_until SECONDS CMD... runs CMD until it succeeds; fails the run after SECONDS.
#                           CMD's arguments are expanded once, at the call: put
#                           anything that must be read again into a function
#   transfer_count          the number of transfers the virtual keyboard logged
#   quit_orlix              ends the program as the session would (SIGTERM), waits for it
#   fail MESSAGE            prints MESSAGE and ends the run with failure
# The program's writable files are in $E2E_DATA (Profile/, Macro.cfg); the
# settings in $E2E_CONFIG. Everything is removed at exit, except screenshots
# when E2E_SHOTS was set by the caller.
# An exit code of 77 means the run was skipped (no Xvfb or xdotool here).

set -euo pipefail

E2E_PAGE_X=17
E2E_PAGE_Y=128
E2E_WINDOW_TITLE="Ulmora Orlix Driver"

fail() {
  echo "FAIL: $*" >&2
  if [[ -n "${E2E_SCRATCH:-}" && -d "$E2E_SCRATCH" ]]; then
    import -window root "$E2E_SCRATCH/failure.png" 2>/dev/null || true
    [[ -n "${E2E_KEEP_SHOTS:-}" ]] && cp "$E2E_SCRATCH/failure.png" "$E2E_SHOTS/" 2>/dev/null || true
    [[ -f "$E2E_SCRATCH/orlix.log" ]] && sed 's/^/orlix: /' "$E2E_SCRATCH/orlix.log" >&2
    # A program that could not reach the display: was the server still there?
    if [[ -n "${E2E_XVFB_PID:-}" ]]; then
      kill -0 "$E2E_XVFB_PID" 2>/dev/null && echo "Xvfb ${DISPLAY:-}: running" >&2 || echo "Xvfb ${DISPLAY:-}: ended" >&2
      [[ -s "$E2E_SCRATCH/xvfb.log" ]] && sed 's/^/Xvfb: /' "$E2E_SCRATCH/xvfb.log" >&2
    fi
  fi
  exit 1
}

_e2e_cleanup() {
  set +e
  if [[ -n "${E2E_ORLIX_PID:-}" ]] && kill -0 "$E2E_ORLIX_PID" 2>/dev/null; then
    kill "$E2E_ORLIX_PID" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$E2E_ORLIX_PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$E2E_ORLIX_PID" 2>/dev/null
  fi
  [[ -n "${E2E_BIN:-}" ]] && ctl sim stop >/dev/null 2>&1
  [[ -n "${E2E_XVFB_PID:-}" ]] && kill "$E2E_XVFB_PID" 2>/dev/null && wait "$E2E_XVFB_PID" 2>/dev/null
  [[ -n "${E2E_SCRATCH:-}" ]] && rm -rf "$E2E_SCRATCH"
}

wait_until() {
  local limit=$1
  shift
  local end=$((SECONDS + limit))
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < end)) || fail "timed out after ${limit}s waiting for: $*"
    sleep 0.1
  done
}

e2e_init() {
  E2E_BIN=$(cd "$1" && pwd)
  for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed" >&2; exit 77; }
  done
  E2E_SCRATCH=$(mktemp -d /tmp/orlix-gui-e2e-XXXXXX)
  trap _e2e_cleanup EXIT
  # The single-instance channel is a name for the whole machine: each run has
  # its own, so runs side by side (and a person's own orlix) never meet.
  E2E_INSTANCE="OrlixE2E-$(basename "$E2E_SCRATCH")"
  export HOME="$E2E_SCRATCH/home"
  export XDG_RUNTIME_DIR="$E2E_SCRATCH/run" XDG_CONFIG_HOME="$E2E_SCRATCH/config" \
         XDG_DATA_HOME="$E2E_SCRATCH/data" XDG_STATE_HOME="$E2E_SCRATCH/state"
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_STATE_HOME"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  unset ORLIX_ROOT ORLIX_CONFIG_DIR ORLIX_OPENER WAYLAND_DISPLAY
  # The program folder: the build's read-only parts, with its own writable
  # Profile/ and Macro.cfg, so runs never share or change the build tree.
  E2E_ROOT="$E2E_SCRATCH/program"
  mkdir -p "$E2E_ROOT"
  local entry
  for entry in "$E2E_BIN"/*; do
    case "$(basename "$entry")" in
      Profile|Macro.cfg) cp -r "$entry" "$E2E_ROOT/" ;;
      skins)
        # The language choice is written into skins/languagetype.ini: that
        # file is the run's own, the images stay links.
        mkdir "$E2E_ROOT/skins"
        ln -s "$entry"/* "$E2E_ROOT/skins/"
        rm -f "$E2E_ROOT/skins/languagetype.ini"
        [[ -f "$entry/languagetype.ini" ]] && cp "$entry/languagetype.ini" "$E2E_ROOT/skins/"
        ;;
      *) ln -s "$entry" "$E2E_ROOT/" ;;
    esac
  done
  E2E_DATA="$E2E_ROOT"
  E2E_CONFIG="$XDG_CONFIG_HOME/orlix"
  export ORLIX_VKBD_SOCKET="$E2E_SCRATCH/vkbd.sock"
  E2E_VKBD_STATE="$E2E_SCRATCH/vkbd"
  if [[ -z "${E2E_SHOTS:-}" ]]; then
    E2E_SHOTS="$E2E_SCRATCH/shots"
  else
    E2E_KEEP_SHOTS=1
  fi
  mkdir -p "$E2E_SHOTS"

  # A display of our own: Xvfb picks a free number and writes it to fd 3. It
  # does not reset whenever its last client leaves (each xdotool call here):
  # every reset compiles the keymap anew, and the next client waits for it.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$E2E_SCRATCH/display" >"$E2E_SCRATCH/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  wait_until 10 test -s "$E2E_SCRATCH/display"
  export DISPLAY=":$(head -1 "$E2E_SCRATCH/display")" QT_QPA_PLATFORM=xcb
  wait_until 10 xdotool getdisplaygeometry
  ctl sim start --state "$E2E_VKBD_STATE" >/dev/null || fail "the virtual keyboard did not start"
}

ctl() { "$E2E_BIN/orlixctl" --root "$E2E_ROOT" --instance "$E2E_INSTANCE" "$@"; }

_find_main_window() {
  local id
  id=$(xdotool search --onlyvisible --name "^${E2E_WINDOW_TITLE}\$" 2>/dev/null | head -1)
  [[ -n "$id" ]] || return 1
  WIN=$id
}

start_orlix() {
  "$E2E_BIN/orlix" --simulate --show --root "$E2E_ROOT" --instance "$E2E_INSTANCE" "$@" >"$E2E_SCRATCH/orlix.log" 2>&1 &
  E2E_ORLIX_PID=$!
  local end=$((SECONDS + 20))
  until _find_main_window; do
    kill -0 "$E2E_ORLIX_PID" 2>/dev/null || fail "orlix ended before its window showed"
    ((SECONDS < end)) || fail "the main window did not show"
    sleep 0.1
  done
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
  WIN_X=$X WIN_Y=$Y
  settle 0.8
}

settle() { sleep "${1:-0.4}"; }

click() {
  xdotool mousemove $((WIN_X + $1)) $((WIN_Y + $2))
  sleep 0.1
  xdotool click "${3:-1}"
  settle
}

page_click() { click $((E2E_PAGE_X + $1)) $((E2E_PAGE_Y + $2)) "${3:-1}"; }

click_in() {
  local name=$1 id X Y
  id=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null | head -1)
  [[ -n "$id" ]] || fail "no visible window named \"$name\""
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove $((X + $2)) $((Y + $3))
  sleep 0.1
  xdotool click "${4:-1}"
  settle
}

drag() {
  xdotool mousemove $((WIN_X + $1)) $((WIN_Y + $2))
  sleep 0.1
  xdotool mousedown 1
  local steps=8 i
  for ((i = 1; i <= steps; i++)); do
    xdotool mousemove $((WIN_X + $1 + ($3 - $1) * i / steps)) $((WIN_Y + $2 + ($4 - $2) * i / steps))
    sleep 0.03
  done
  xdotool mouseup 1
  settle
}

page_drag() { drag $((E2E_PAGE_X + $1)) $((E2E_PAGE_Y + $2)) $((E2E_PAGE_X + $3)) $((E2E_PAGE_Y + $4)); }

key() {
  xdotool key --delay 60 "$@"
  settle
}

type_text() {
  xdotool type --delay 60 "$1"
  settle
}

shot() { import -window root "$E2E_SHOTS/$1.png"; }

memory_word() {
  od -An -tx4 -j "$1" -N 4 "$E2E_VKBD_STATE/memory.bin" | tr -d ' '
}

transfers() { cat "$E2E_VKBD_STATE/transfers.log"; }

transfer_count() { wc -l <"$E2E_VKBD_STATE/transfers.log"; }

quit_orlix() {
  [[ -n "${E2E_ORLIX_PID:-}" ]] || return 0
  kill -TERM "$E2E_ORLIX_PID"
  local end=$((SECONDS + 15))
  while kill -0 "$E2E_ORLIX_PID" 2>/dev/null; do
    ((SECONDS < end)) || fail "orlix did not end after SIGTERM"
    sleep 0.1
  done
  wait "$E2E_ORLIX_PID" || fail "orlix ended with status $?"
  E2E_ORLIX_PID=
}
