#!/usr/bin/env bash
# Takes the gallery screenshots of this folder under Xvfb.
#   docs/screenshots/take.sh [BUILD_DIR]   (default: build)
# Needs xvfb-run, xdotool and ImageMagick; the gallery must be built.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "${1:-$here/../../build}" && pwd)/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# shot NAME ACTIONS GALLERY-ARGS...: one screenshot of the whole screen.
shot() {
  local name=$1 actions=$2
  shift 2
  cat >"$work/run.sh" <<SCRIPT
#!/usr/bin/env bash
cd "$bin"
./orlix-gallery "\$@" &
pid=\$!
sleep 2.5
xdotool search --name "Orlix gallery" windowfocus >/dev/null 2>&1 || true
$actions
sleep 0.8
import -window root "$work/$name.png"
kill \$pid; wait \$pid 2>/dev/null || true
SCRIPT
  chmod +x "$work/run.sh"
  xvfb-run -a -s "-screen 0 1280x1024x24" "$work/run.sh" "$@" >/dev/null 2>&1
}

# The gallery's content area, trimmed to the demo.
demo() { convert "$work/$1.png" -crop 992x660+184+0 +repage -bordercolor '#0b0d10' -border 1 -fuzz 2% -trim +repage "$work/$1-c.png"; }
save() { convert "$1" -strip -define png:compression-level=9 "$here/$2"; }

shot main 'xdotool mousemove 540 635; sleep 0.4; xdotool mousemove 557 117; sleep 0.2; xdotool mousemove 558 118'
convert "$work/main.png" -crop 1176x700+0+0 +repage "$work/main-c.png"
save "$work/main-c.png" gallery-main-window.png

for page in lighting macro support; do
  shot "$page" 'true' --show "$page"
  convert "$work/$page.png" -crop 962x644+199+14 +repage "$work/$page-c.png"
  save "$work/$page-c.png" "main-$page-page.png"
done

# Key states: normal, over (E), down (W, A, S, D, G1: modified keys) and a tooltip.
shot keys 'xdotool mousemove 430 340; sleep 0.3; xdotool mousemove 471 331; sleep 0.3; xdotool mousemove 472 332'
shot tip 'xdotool mousemove 440 331; sleep 0.3; xdotool mousemove 441 332; sleep 1.6'
convert "$work/keys.png" -crop 300x110+360+285 +repage "$work/k1.png"
convert "$work/tip.png" -crop 300x110+360+285 +repage "$work/k2.png"
convert "$work/k1.png" "$work/k2.png" -append -scale 200% "$work/keys-c.png"
save "$work/keys-c.png" key-states.png

for tab in setting setting-macro setting-base; do shot "$tab" 'true' --show "$tab"; demo "$tab"; done
convert "$work/setting-c.png" "$work/setting-macro-c.png" "$work/setting-base-c.png" -background '#0b0d10' -splice 8x0 +append "$work/panel.png"
save "$work/panel.png" key-setting-panel.png

for e in always breath seven single strength wave; do shot "$e" 'true' --show "$e"; demo "$e"; done
montage "$work/always-c.png" "$work/breath-c.png" "$work/seven-c.png" "$work/single-c.png" "$work/strength-c.png" \
        "$work/wave-c.png" -tile 3x2 -geometry +4+4 -gravity northwest -background '#0b0d10' "$work/effects.png"
save "$work/effects.png" effect-pages.png

shot palette 'xdotool mousemove 780 350; sleep 0.3; xdotool click 1' --show palette
demo palette
save "$work/palette-c.png" palette.png

for o in info info-two info-timed info-long; do shot "o-$o" 'true' --show dialogs --open "$o"; done
convert "$work/o-info.png" -crop 332x174+474+425 +repage "$work/d1.png"
convert "$work/o-info-two.png" -crop 332x174+474+425 +repage "$work/d2.png"
convert "$work/o-info-long.png" -crop 332x174+474+425 +repage "$work/d3.png"
convert "$work/o-info-timed.png" -crop 332x174+940+850 +repage "$work/d4.png"
convert \( "$work/d1.png" "$work/d2.png" -splice 8x0 +append \) \( "$work/d3.png" "$work/d4.png" -splice 8x0 +append \) \
        -splice 0x8 -append "$work/info.png"
save "$work/info.png" info-dialogs.png

shot o-progress 'sleep 1.2' --show dialogs --open progress
convert "$work/o-progress.png" -crop 332x82+474+471 +repage "$work/p.png"
save "$work/p.png" progress-dialog.png

shot o-language 'xdotool mousemove 260 400; sleep 0.3; xdotool mousemove 261 401' --show dialogs --open language
convert "$work/o-language.png" -crop 300x360+150+310 +repage "$work/lang.png"
save "$work/lang.png" language-menu.png
shot o-game 'xdotool mousemove 330 334; sleep 0.3; xdotool mousemove 331 335' --show dialogs --open game
convert "$work/o-game.png" -crop 560x600+200+60 +repage "$work/game.png"
save "$work/game.png" game-menu.png
shot o-tray 'xdotool mousemove 660 538; sleep 0.3; xdotool mousemove 661 539' --show dialogs --open tray
convert "$work/o-tray.png" -crop 200x90+600+480 +repage -scale 200% "$work/tray.png"
save "$work/tray.png" tray-menu.png
ls -la "$here"
