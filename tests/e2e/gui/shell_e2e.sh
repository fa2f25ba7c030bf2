#!/usr/bin/env bash
# The main window as a person uses it: it shows, Apply writes the key table
# into the keyboard, and the session's end (SIGTERM) closes the program cleanly.
source "$(dirname "$0")/harness.sh"
e2e_init "$1"

start_orlix
before=$(transfer_count)
click 890 610            # Apply
wrote() { (($(transfer_count) > before)); }
wait_until 30 wrote
# The apply writes the key table image at 0x0C00; its first entry is a key
# code, never zero.
table_written() { [[ "$(memory_word $((0x0C00)))" != 00000000 ]]; }
wait_until 30 table_written
shot after-apply
quit_orlix
test -f "$E2E_DATA/Profile/Profile1.cfg" || ls "$E2E_DATA/Profile" | grep -q . || fail "no profile was saved"
echo "shell e2e passed"
