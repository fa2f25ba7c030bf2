#!/usr/bin/env bash
# The macro page as a person uses it: a new macro is named, A, B and the
# on-screen left mouse button are recorded, the macro is bound to the key A
# through the keyboard page's Macro Set tab and applied; the keyboard's macro slot then holds the recorded events and
# Macro.cfg keeps the macro after the program ended.
source "$(dirname "$0")/harness.sh"
e2e_init "$1"

start_orlix
click 600 100                 # the macro tab
page_click 46 426             # new macro: its name is edited in place
type_text Combo
key Return
page_click 841 36             # record
key a
key b
page_click 728 230            # the on-screen left mouse button
page_click 841 36             # stop
shot macro-recorded

listing=$(ctl macro list --category 21)
echo "$listing"
id=$(awk '/Combo/ { print $1; exit }' <<<"$listing")
[[ -n "$id" ]] || fail "the recorded macro is not in the macro library"
shown=$(ctl macro show "$id")
echo "$shown"
grep -qi "events: A down, [0-9]*ms, A up, [0-9]*ms, B down, [0-9]*ms, B up, [0-9]*ms, lbutton down, [0-9]*ms, lbutton up$" \
  <<<"$shown" || fail "the macro does not hold A, B and the left button with their delays"

# The binding, on the keyboard page: a click on the key A opens the key
# setting panel; its Macro Set tab lists category 21, where the new macro is
# picked, and OK binds it.
PANEL="UlmoraOrlixRGBSetting"
panel_visible() { xdotool search --onlyvisible --name "^${PANEL}\$"; }
panel_gone() { ! panel_visible; }
click 130 100                 # the keyboard tab
page_click 200 217            # key A
wait_until 10 panel_visible
click_in "$PANEL" 159 50      # Macro Set tab
click_in "$PANEL" 300 84      # the first macro of category 21: Combo
click_in "$PANEL" 354 271     # OK
wait_until 10 panel_gone
before=$(transfer_count)
click 890 610                 # Apply
slot_written() { ctl sim dump | grep -q "^  slot  0: start"; }
wait_until 30 slot_written
dump=$(ctl sim dump)
# The slot image: loop header 00 00, then six triples (pressed bit and delay,
# 0, usage): A (0x04), B (0x05), the left button (0xF0), each pressed and released.
image=$(awk '/^  slot  0:/ { on = 1; next } on && /^    [0-9a-f]+: / { printf "%s", $2; next } on { exit }' <<<"$dump")
echo "slot 0: $image"
[[ "${image:0:4}" == 0000 ]] || fail "the slot's loop header is not 00 00: $image"
usages="" pressed=""
for i in 0 1 2 3 4 5; do
  triple=${image:$((4 + 6 * i)):6}
  usages+="${triple:4:2} "
  pressed+="$(( 0x${triple:0:2} & 1 ))"
done
[[ "$usages" == "04 04 05 05 f0 f0 " ]] || fail "the slot's usages are $usages"
[[ "$pressed" == 101010 ]] || fail "the slot's pressed bits are $pressed"
[[ ${#image} -eq $((4 + 6 * 6)) ]] || fail "the slot holds more than the six recorded events: $image"

# The apply ends when its progress dialog has closed.
progress_gone() { ! xdotool search --onlyvisible --name "^UlmoraTiskelProcessDlg\$" >/dev/null 2>&1; }
wait_until 30 progress_gone
# The apply saved the profile: key A plays the macro.
bound() { ctl key show a | grep -q "Combo"; }
wait_until 10 bound
settle 1

# The page as it shows the macro again: the game menu, the editing panel with
# a captured key (left without confirming it), and the page in Chinese.
click 600 100                 # the macro tab
page_click 175 59             # the game button
shot macro-game-menu
key Escape
page_click 480 96             # the third event
page_click 376 426            # insert
page_click 713 348            # key option: the next key is captured
key c
shot macro-editing-panel
page_click 720 397            # delay option: capture ends
page_click 872 422            # delay OK with an empty box: nothing is inserted
click 36 626                  # the language button
click 69 365                  # Chinese
shot macro-chinese

quit_orlix
[[ "$(ctl macro show "$id" | grep events:)" == "$(grep events: <<<"$shown")" ]] ||
  fail "Macro.cfg does not hold the macro after the program ended"
echo "macro e2e passed"
