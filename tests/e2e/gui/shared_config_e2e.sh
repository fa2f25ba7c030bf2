#!/usr/bin/env bash
# orlixctl and the window program on the same configuration: a change that
# orlixctl stores while the window runs is taken up by the window (its key
# shows modified), and the window's next edit and Apply keep it, in the
# keyboard's memory and in the stored profile. A change made without telling
# the window (another --instance) is kept by the same Apply as well: the
# window takes up what is stored before it writes. While another program
# keeps the lock, an Apply says so and writes nothing.
source "$(dirname "$0")/harness.sh"
e2e_init "$1"

PANEL="UlmoraOrlixRGBSetting"
KEY_A_X=200 KEY_A_Y=217          # centre of key A on the page
KEY_TABLE=$((0x0C00))
KEY_INDEX_A=8 KEY_INDEX_F1=11 KEY_INDEX_S=14

panel_visible() { xdotool search --onlyvisible --name "^${PANEL}\$"; }
panel_gone() { ! panel_visible; }
panel_click() { click_in "$PANEL" "$1" "$2"; }
# The pixels of key A's button as the screen shows them.
key_a_look() {
  import -window root -crop 24x14+$((WIN_X + E2E_PAGE_X + KEY_A_X - 12))+$((WIN_Y + E2E_PAGE_Y + KEY_A_Y - 7)) \
    +repage rgb:- | md5sum
}

start_orlix
xdotool mousemove $((WIN_X + 5)) $((WIN_Y + 700))   # the pointer off the keys
settle
before=$(key_a_look)

ctl key set a disable >/dev/null
a_taken_up() { [[ "$(key_a_look)" != "$before" ]]; }
wait_until 10 a_taken_up
shot shared-key-a-taken-up

# Stored without a word to the window.
ctl --instance "nobody-$E2E_INSTANCE" key set f1 disable >/dev/null

# The window's own edit: Win+D on key S, then Apply.
page_click 231 217
wait_until 10 panel_visible
panel_click 86 200                # the Win box
id=$(xdotool search --onlyvisible --name "^${PANEL}\$" | head -1)
eval "$(xdotool getwindowgeometry --shell "$id")"
xdotool mousemove $((X + 60)) $((Y + 8))
settle 0.2
key d
panel_click 354 271               # OK
wait_until 10 panel_gone
click 890 610                     # Apply

all_written() {
  [[ "$(memory_word $((KEY_TABLE + 4 * KEY_INDEX_A)))" == 00000007 &&
     "$(memory_word $((KEY_TABLE + 4 * KEY_INDEX_F1)))" == 00000007 &&
     "$(memory_word $((KEY_TABLE + 4 * KEY_INDEX_S)))" == 07080002 ]]
}
wait_until 30 all_written
shot shared-after-apply

# The profile the apply saved holds all three.
s_stored() { ctl key show s | grep -q "code: 0x07080002"; }
wait_until 15 s_stored
ctl key show a | grep -q "function: disable" || fail "the window's save undid orlixctl's change of key A"
ctl key show f1 | grep -q "function: disable" || fail "the window's save undid orlixctl's change of key F1"

# orlixctl keeping the lock long (as through its own apply): the window's
# Apply waits a bounded time, says so and writes nothing.
INFO="UlmoraTiskelInfoDlg"
exec {holder}>"$E2E_DATA/.orlix.lock"
flock -n "$holder" || fail "could not take the data folder's lock"
before=$(transfer_count)
click 890 610                     # Apply
info_shown() { xdotool search --onlyvisible --name "^${INFO}\$"; }
wait_until 15 info_shown
shot shared-busy-notice
[[ "$(transfer_count)" == "$before" ]] || fail "the Apply wrote while another program held the lock"
click_in "$INFO" 273 143          # OK
exec {holder}>&-
info_gone() { ! info_shown; }
wait_until 10 info_gone

quit_orlix
echo "shared configuration e2e passed"
