#!/usr/bin/env bash
# The keyboard page as a person uses it: a click on the key A opens the key
# setting panel, Ctrl+Shift+A pressed on the keyboard is captured, OK stores
# the combination and Apply writes it into the keyboard. Along the way the
# panel's other tabs, the Chinese panel and the lighting page's keyboard
# overlay are photographed (kept when E2E_SHOTS is set).
source "$(dirname "$0")/harness.sh"
e2e_init "$1"

PANEL="UlmoraOrlixRGBSetting"
KEY_A_X=200 KEY_A_Y=217          # centre of key A (record 62) on the page
KEY_TABLE=$((0x0C00))
KEY_INDEX_A=8

# A few keys changed beforehand, and two macros of category 21 to bind.
ctl key set f1 media:mute >/dev/null
ctl key set g1 key:b >/dev/null
ctl key set esc disable >/dev/null
ctl macro new --category 21 --name "Rush combo" --events "A down, 50ms, A up" >/dev/null
ctl macro new --category 21 --name "Quick heal" --events "B down, 30ms, B up" >/dev/null

panel_visible() { xdotool search --onlyvisible --name "^${PANEL}\$"; }
panel_click() { click_in "$PANEL" "$1" "$2"; }
# Pointer onto the panel's title row, so the key presses reach the program.
panel_point() {
  local id X Y
  id=$(xdotool search --onlyvisible --name "^${PANEL}\$" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove $((X + 60)) $((Y + 8))
  settle 0.2
}

start_orlix
page_click $KEY_A_X $KEY_A_Y
wait_until 10 panel_visible
panel_point
key ctrl+shift+a
shot keys-panel-combination

panel_click 159 50                # Macro Set tab
shot keys-panel-macro-set
panel_click 255 50                # Base tab
shot keys-panel-base
panel_click 55 50                 # back to the combination page, the capture kept
panel_click 354 271               # OK
panel_gone() { ! panel_visible; }
wait_until 10 panel_gone

# The key button's tooltip (tooltips show in the active window; without a
# window manager the focus is given by hand).
xdotool windowfocus --sync "$WIN"
for dx in 0 1 2 3 4; do
  xdotool mousemove $((WIN_X + E2E_PAGE_X + KEY_A_X + dx)) $((WIN_Y + E2E_PAGE_Y + KEY_A_Y))
  sleep 0.1
done
settle 2
shot keys-page-modified

click 350 102                     # lighting tab: the keyboard overlay above the light buttons
settle 0.6
page_drag 95 150 470 215          # a band over the keys Tab to L: they show selected under the overlay
shot keys-lighting-overlay
click 120 102                     # back to the keyboard page

# Win+D on key S: the Win box ticked with the mouse, D pressed; OK also sends
# the synthetic Win key events, which must leave the program working.
KEY_INDEX_S=14
page_click 231 217                # key S (record 63)
wait_until 10 panel_visible
panel_click 86 200                # the Win box of the combination page
panel_point
key d
panel_click 354 271               # OK
wait_until 10 panel_gone

click 890 610                     # Apply
key_written() {
  [[ "$(memory_word $((KEY_TABLE + 4 * KEY_INDEX_A)))" == 04030002 &&
     "$(memory_word $((KEY_TABLE + 4 * KEY_INDEX_S)))" == 07080002 ]]
}
wait_until 30 key_written

# The profile saved after the apply says the same as the window.
profile_says() { ctl key show a | grep -q "description: Shift + Ctrl + A"; }
wait_until 15 profile_says
ctl key show a | grep -q "(modified" || fail "key A is not modified in the profile"

quit_orlix

# The panel in Chinese (the run's own skins/languagetype.ini records it).
ctl lang set 1 >/dev/null
start_orlix
page_click $KEY_A_X $KEY_A_Y
wait_until 10 panel_visible
panel_click 255 50                # Base tab
shot keys-panel-chinese
panel_click 397 12                # close button: nothing changes
wait_until 10 panel_gone
[[ "$(ctl key show a | grep -c 'Shift + Ctrl + A')" == 1 ]] || fail "closing the panel changed key A"
quit_orlix
echo "keys e2e passed"
