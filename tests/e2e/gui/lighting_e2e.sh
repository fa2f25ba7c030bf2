#!/usr/bin/env bash
# The lighting page as a person uses it: a rubber band over some keys, the
# always-on page, a colour picked in the palette, OK, OK; the keyboard receives
# the always-on command with exactly those keys and that colour, and Apply in
# the main window sends the LED group commands. On the way it takes pictures
# of every effect page and of the message for a page opened without keys.
source "$(dirname "$0")/harness.sh"
e2e_init "$1"

# The lighting key map's row of entries 19..40 has its centres at y 170; a band
# from (80, 160) to (300, 182) covers the centres of entries 20..25, whose LED
# codes are 80..85.
band_codes="808182838485"

# Window-relative centre of a rectangle of the page titled $1.
in_page() { click_in "$1" $(((${2} + ${4}) / 2)) $(((${3} + ${5}) / 2)); }
window_visible() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
# A dialog that just showed: wait for it, and give it a moment to be placed and drawn.
gone() { ! window_visible "$1"; }
shown() {
  wait_until 10 window_visible "$1"
  settle 0.3
}
window_origin() {
  local id X Y
  id=$(xdotool search --onlyvisible --name "^$1\$" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$id")"
  echo "$X $Y"
}

start_orlix
click 350 100           # the lighting tab
settle

# The band, with a picture while the button is still down.
xdotool mousemove $((WIN_X + 17 + 80)) $((WIN_Y + 128 + 160))
sleep 0.1
xdotool mousedown 1
for i in 1 2 3 4 5 6; do
  xdotool mousemove $((WIN_X + 17 + 80 + 220 * i / 6)) $((WIN_Y + 128 + 160 + 22 * i / 6))
  sleep 0.05
done
settle
shot lighting-band
xdotool mouseup 1
settle
shot lighting-band-selected

before=$(transfer_count)
page_click 840 427      # always-on effect button
shown CDlgLedAlways
shot lighting-always
in_page CDlgLedAlways 52 127 149 224    # the colour swatch
shown CPaletteDlg

# The colour the palette shows at (250, 80) of its wheel is the colour picked.
read -r px py < <(window_origin CPaletteDlg)
pixel=$(import -window root -crop "1x1+$((px + 250))+$((py + 80))" -depth 8 txt:- | tail -1 |
        sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr 'A-F' 'a-f')
[[ ${#pixel} == 6 ]] || fail "could not read the palette's pixel"
click_in CPaletteDlg 250 80
shot lighting-palette
click_in CPaletteDlg 216 178             # palette OK
in_page CDlgLedAlways 205 162 284 188    # always-on OK

command="ac000100${pixel}06${band_codes}"
sent_always() { transfers | awk -v n="$before" '$1 > n' | grep -q " out 14 ${command}\$"; }
wait_until 10 sent_always
settle
shot lighting-after-always

# Apply in the main window: the LED group commands, each with one 0 byte more;
# the always-on keys form the group after the default seven-colour one.
before=$(transfer_count)
click 890 610
sent_group() { transfers | awk -v n="$before" '$1 > n' | grep -q " out 15 ${command}00\$"; }
wait_until 30 sent_group
settle 1.5

# Every effect page once, left with its Cancel button.
declare -A cancel=([CDlgLedSeven]="361 274 440 301" [CDlgLedStrength]="334 234 412 261"
                   [CDlgLedWave]="321 216 399 243" [CDlgLedBreath]="362 274 440 301"
                   [CDlgLedSingle]="361 257 440 284")
declare -A button=([CDlgLedSeven]="100 427" [CDlgLedStrength]="280 427" [CDlgLedWave]="430 427"
                   [CDlgLedBreath]="550 427" [CDlgLedSingle]="690 427")
declare -A name=([CDlgLedSeven]=seven [CDlgLedStrength]=strength [CDlgLedWave]=wave
                 [CDlgLedBreath]=breathing [CDlgLedSingle]=single)
for page in CDlgLedSeven CDlgLedStrength CDlgLedWave CDlgLedBreath CDlgLedSingle; do
  page_click ${button[$page]}
  shown "$page"
  shot "lighting-${name[$page]}"
  in_page "$page" ${cancel[$page]}
  wait_until 10 gone "$page"
done

# No key selected (Cancel cleared them): single's OK asks first.
before=$(transfer_count)
page_click 690 427
shown CDlgLedSingle
in_page CDlgLedSingle 273 257 352 284    # OK
shown UlmoraTiskelInfoDlg
shot lighting-no-selection
click_in UlmoraTiskelInfoDlg 211 143     # its OK closes the page as cancelled
wait_until 10 gone CDlgLedSingle
(($(transfers | awk -v n="$before" '$1 > n && $3 == "out"' | wc -l) == 0)) || fail "a page without keys sent"

quit_orlix
echo "lighting e2e passed"
