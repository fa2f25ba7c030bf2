#!/usr/bin/env bash
# The windows as people see them: the window program on headless weston (its
# native Wayland platform) and on Xvfb (X11, no window manager, no compositor),
# every window it opens photographed (tests/desktop/desktop_look.cpp names
# them), and no pixel on any picture that looks like the skins' key colour or a
# blend of it (orlix-keycount).
#
#   desktop_look.sh PROGRAM_FOLDER TOOLS_FOLDER
#
# With E2E_SHOTS set the pictures stay there, as desktop-<desktop>-<window>.png.
# Exit 77 (skipped) when neither desktop can be started here; a missing weston
# or Wayland plugin alone skips that desktop with a note.
source "$(dirname "$0")/../e2e/gui/harness.sh"
TOOLS=$(cd "$2" && pwd)
e2e_init "$1"

counts=()
bad=0

# photograph DESKTOP SHOT_PROGRAM: runs the tour, counts each picture.
photograph() {
  local desktop=$1 shooter=$2 out="$E2E_SCRATCH/$1"
  mkdir -p "$out"
  "$TOOLS/orlix-desktop-look" --root "$E2E_ROOT" --instance "OrlixLook-$desktop-$(basename "$E2E_SCRATCH")" \
    --shot "$shooter" --out "$out" >"$E2E_SCRATCH/$desktop.log" 2>&1 ||
    { sed "s/^/$desktop: /" "$E2E_SCRATCH/$desktop.log" >&2; fail "the tour on $desktop did not finish"; }
  local name picture line n
  while read -r _ name picture; do
    line=$("$TOOLS/orlix-keycount" --list 5 "$picture") || true
    n=${line%% *}
    counts+=("$desktop $name $n")
    if ((n != 0)); then
      bad=1
      echo "$desktop $name: $n pixels of the key colour or a blend of it" >&2
      sed -n '2,$p' <<<"$line" >&2
    fi
    cp "$picture" "$E2E_SHOTS/desktop-$desktop-$name.png"
  done < <(grep '^SHOT ' "$E2E_SCRATCH/$desktop.log")
  grep -q '^SHOT ' "$E2E_SCRATCH/$desktop.log" || fail "no picture was taken on $desktop"
}

# --- X11: Xvfb from the harness, root-window screenshots.
cat >"$E2E_SCRATCH/shoot-x11" <<'SH'
#!/bin/sh
exec import -window root "$1"
SH
chmod +x "$E2E_SCRATCH/shoot-x11"
QT_QPA_PLATFORM=xcb photograph xvfb "$E2E_SCRATCH/shoot-x11"

# --- Wayland: headless weston with the pixman renderer, screenshots through
# its screenshooter (allowed with --debug).
wayland_skip=
for tool in weston weston-screenshooter; do
  command -v "$tool" >/dev/null || wayland_skip="$tool is not installed"
done
plugin_dir=$(qtpaths6 --plugin-dir 2>/dev/null || qmake6 -query QT_INSTALL_PLUGINS 2>/dev/null || true)
if [[ -z "$wayland_skip" && -n "$plugin_dir" ]] && ! ls "$plugin_dir"/platforms/libqwayland-*.so >/dev/null 2>&1; then
  wayland_skip="Qt's Wayland platform plugin (qt6-wayland) is not installed"
fi
if [[ -z "$wayland_skip" ]]; then
  socket="orlix-look-$$"
  weston --backend=headless-backend.so --use-pixman --debug --socket="$socket" \
    --width=1280 --height=1024 --idle-time=0 >"$E2E_SCRATCH/weston.log" 2>&1 &
  weston_pid=$!
  trap 'kill "$weston_pid" 2>/dev/null; wait "$weston_pid" 2>/dev/null; _e2e_cleanup' EXIT
  wait_until 15 test -S "$XDG_RUNTIME_DIR/$socket"
  settle 1.5   # the desktop shell draws its background and panel
  mkdir -p "$E2E_SCRATCH/wl-shots"
  cat >"$E2E_SCRATCH/shoot-wayland" <<SH
#!/bin/sh
# weston-screenshooter writes wayland-screenshot-<time>.png into the folder it runs in.
cd "$E2E_SCRATCH/wl-shots" && rm -f wayland-screenshot-*.png && weston-screenshooter >/dev/null 2>&1 &&
  mv wayland-screenshot-*.png "\$1"
SH
  chmod +x "$E2E_SCRATCH/shoot-wayland"
  WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland DISPLAY= photograph weston "$E2E_SCRATCH/shoot-wayland"
else
  echo "NOTE: weston side skipped: $wayland_skip" >&2
fi

printf '%s\n' "${counts[@]}"
((bad == 0)) || fail "key-coloured pixels on screen"
echo "desktop look passed"
