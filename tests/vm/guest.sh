#!/bin/sh
# The checks inside the virtual machine (busybox sh), run by its /init after
# the hid, hid-generic and uhid modules are loaded. One console line a check:
#   VMCHECK NAME ok TIME       or       VMCHECK NAME fail REASON
# /orlix holds the programs (bin/), the configuration the host prepared
# (pristine/) and what the same steps gave over the socket (expected/).

B=/orlix/bin
E=/orlix/expected
export HOME=/tmp XDG_RUNTIME_DIR=/run/user XDG_STATE_HOME=/tmp/xdg-state XDG_CONFIG_HOME=/tmp/xdg-config \
  XDG_DATA_HOME=/tmp/xdg-data
mkdir -p -m 700 /run/user
export ORLIX_VKBD_SOCKET=/run/kb.sock
cp -r /orlix/pristine /tmp/case
export ORLIX_ROOT=/tmp/case/root ORLIX_CONFIG_DIR=/tmp/case/cfg
STATE=/tmp/vkbd
ID=0003:000024AE:00004009

# Centiseconds since boot.
now() {
  read -r up _ </proc/uptime
  echo $((${up%.*} * 100 + 1${up#*.} - 100))
}
since() { echo $(($(now) - $1)); }
secs() { printf '%d.%02ds' $(($1 / 100)) $(($1 % 100)); }

# wait_until CENTISECONDS COMMAND...: true once COMMAND succeeds, false after the time.
wait_until() {
  limit=$(($(now) + $1))
  shift
  while ! "$@"; do
    [ "$(now)" -ge "$limit" ] && return 1
    usleep 50000
  done
}

# check NAME FUNCTION: runs the function; its last output line is the reason of a failure.
# It runs in this shell, not a subshell, so that the programs it starts stay
# children of this shell for the later checks to wait for.
check() {
  _name=$1
  _t0=$(now)
  "$2" >/tmp/check.out 2>&1
  _rc=$?
  if [ $_rc -eq 0 ]; then
    _detail=$(tail -1 /tmp/check.out)
    echo "VMCHECK $_name ok $(secs $(since $_t0))${_detail:+ ($_detail)}"
  else
    echo "VMCHECK $_name fail $(tail -1 /tmp/check.out)"
    sed "s/^/  $_name: /" /tmp/check.out
  fi
  return $_rc
}

# The keyboard's hidraw node by the HID device's identity, as "hidrawN"; empty when none.
keyboard_node() {
  for n in /sys/class/hidraw/hidraw*; do
    [ -e "$n/device/uevent" ] && grep -q "^HID_ID=$ID$" "$n/device/uevent" && { echo "${n##*/}"; return; }
  done
}
node_present() { n=$(keyboard_node) && [ -n "$n" ] && [ -c "/dev/$n" ]; }
node_absent() { ! node_present; }
# A child that ended but was not waited for yet is a zombie: it counts as ended.
alive() { [ -r "/proc/$1/stat" ] && [ "$(cut -d' ' -f3 "/proc/$1/stat")" != Z ]; }
dead() { ! alive "$1"; }

ctl() { "$B/orlixctl" "$@"; }

no_access_without_root() {
  su nobody -s /bin/sh -c "$B/orlix-vkbd --uhid --socket /tmp/nobody.sock --state /tmp/nobody-state" \
    >/tmp/nobody.out 2>&1
  rc=$?
  cat /tmp/nobody.out
  [ $rc -ne 0 ] || { echo "orlix-vkbd --uhid ran without access to /dev/uhid"; return 1; }
  [ "$(wc -l </tmp/nobody.out)" -eq 1 ] || { echo "not one line"; return 1; }
  grep -q '/dev/uhid' /tmp/nobody.out || { echo "the line does not name /dev/uhid"; return 1; }
  echo "exit $rc: $(cat /tmp/nobody.out)"
}

hidraw_node() {
  "$B/orlix-vkbd" --uhid --socket "$ORLIX_VKBD_SOCKET" --state "$STATE" 2>/tmp/vkbd.err &
  VKBD=$!
  echo $VKBD >/tmp/vkbd.pid
  wait_until 1500 node_present || { cat /tmp/vkbd.err; echo "no hidraw node with HID_ID=$ID"; return 1; }
  echo "node $(keyboard_node)"
}

devices() {
  ctl devices >/tmp/devices.out 2>&1
  cat /tmp/devices.out
  grep -q '^keyboard present: yes' /tmp/devices.out || { echo "keyboard not present"; return 1; }
  grep -q "/dev/$(keyboard_node)  interface 2  vendor collection  (used)" /tmp/devices.out ||
    { echo "the node is not listed as the used vendor collection"; return 1; }
  echo "$(grep '(used)' /tmp/devices.out | sed 's/^ *//')"
}

version() {
  ctl --driver hidraw version >/tmp/version.out 2>&1 || { cat /tmp/version.out; echo "version failed"; return 1; }
  cmp -s /tmp/version.out "$E/version.txt" || { echo "version '$(cat /tmp/version.out)', socket run '$(cat "$E/version.txt")'"; return 1; }
  echo "version $(cat /tmp/version.out), as over the socket"
}

apply_memory() {
  ctl --driver hidraw apply >/tmp/apply.out 2>&1 || { cat /tmp/apply.out; echo "apply failed"; return 1; }
  cmp "$STATE/memory.bin" "$E/memory.bin" || { echo "memory.bin differs from the socket run's"; return 1; }
  echo "memory.bin identical to the socket run's, $(wc -c <"$STATE/memory.bin") bytes"
}

light_transfers() {
  ctl --driver hidraw light always --keys all --color 255,0,0 >/tmp/light.out 2>&1 ||
    { cat /tmp/light.out; echo "light failed"; return 1; }
  cut -d' ' -f1,3- "$STATE/transfers.log" >/tmp/transfers.txt
  cmp -s /tmp/transfers.txt "$E/transfers.txt" || {
    diff "$E/transfers.txt" /tmp/transfers.txt | head -5
    echo "transfers.log differs from the socket run's ($(wc -l </tmp/transfers.txt) lines, socket run $(wc -l <"$E/transfers.txt"))"
    return 1
  }
  echo "transfers.log equal to the socket run's, $(wc -l </tmp/transfers.txt) transfers"
}

listen_press() {
  printf '#!/bin/sh\nprintf "%%s|" "$#" "$@" >/tmp/opened.part && mv /tmp/opened.part /tmp/opened\n' >/tmp/recorder
  chmod +x /tmp/recorder
  ORLIX_OPENER=/tmp/recorder "$B/orlixctl" --driver hidraw listen >/tmp/listen.out 2>/tmp/listen.err &
  echo $! >/tmp/listen.pid
  wait_until 1000 grep -q listening /tmp/listen.out || { cat /tmp/listen.err; echo "listen did not start"; return 1; }
  ctl sim press 9 2 >/dev/null || { echo "sim press failed"; return 1; }
  wait_until 500 test -f /tmp/opened || { cat /tmp/listen.out /tmp/listen.err; echo "the recorder was not started"; return 1; }
  [ "$(cat /tmp/opened)" = "1|/tmp/opened target.txt|" ] || { echo "recorder got '$(cat /tmp/opened)'"; return 1; }
  echo "recorder got '$(cat /tmp/opened)'"
}

unplug_node_gone() {
  # The window program's device monitor, on its own, listens to udev meanwhile.
  if [ -x /sbin/udevadm ] && [ -x /orlix/removal_probe ]; then
    /orlix/removal_probe 10 >/tmp/probe.out 2>&1 &
    echo $! >/tmp/probe.pid
    wait_until 500 grep -q watching /tmp/probe.out || echo "the removal probe did not start"
  fi
  t=$(now)
  ctl sim unplug >/dev/null || { echo "sim unplug failed"; return 1; }
  wait_until 100 node_absent || { echo "the hidraw node is still there after a second"; return 1; }
  echo "node gone after $(secs $(since $t))"
}

udev_removal() {
  pid=$(cat /tmp/probe.pid)
  wait_until 300 dead "$pid" || { kill "$pid"; echo "no removal from udev three seconds after the unplug"; return 1; }
  wait "$pid"
  rc=$?
  cat /tmp/probe.out
  [ $rc -eq 0 ] || { echo "the probe ended with $rc"; return 1; }
}

unplug_version_fails() {
  t=$(now)
  ctl --driver hidraw version >/tmp/gone.out 2>/tmp/gone.err
  rc=$?
  took=$(since $t)
  cat /tmp/gone.err
  [ $rc -ne 0 ] || { echo "version answered without the keyboard"; return 1; }
  [ "$(wc -l </tmp/gone.err)" -eq 1 ] || { echo "not one line on stderr"; return 1; }
  [ "$took" -lt 100 ] || { echo "took $(secs $took)"; return 1; }
  echo "exit $rc after $(secs $took): $(cat /tmp/gone.err)"
}

unplug_devices_absent() {
  ctl devices >/tmp/devices2.out 2>&1
  cat /tmp/devices2.out
  grep -q '^keyboard present: no' /tmp/devices2.out || { echo "the keyboard still counts as present"; return 1; }
  grep -q '^hidraw nodes of the keyboard: none' /tmp/devices2.out || { echo "a node is still listed"; return 1; }
  echo "keyboard present: no, no node"
}

unplug_listen_ends() {
  pid=$(cat /tmp/listen.pid)
  wait_until 200 dead "$pid" || { kill "$pid"; echo "listen still runs two seconds after the unplug"; return 1; }
  wait "$pid"
  rc=$?
  cat /tmp/listen.err
  [ $rc -ne 0 ] || { echo "listen ended with 0 after an unplug"; return 1; }
  echo "exit $rc: $(tail -1 /tmp/listen.err)"
}

plug_found() {
  ctl sim plug >/dev/null || { echo "sim plug failed"; return 1; }
  wait_until 200 node_present || { echo "no hidraw node after plug"; return 1; }
  ctl --driver hidraw version >/tmp/version2.out 2>&1 || { cat /tmp/version2.out; echo "version failed after plug"; return 1; }
  cmp -s /tmp/version2.out "$E/version.txt" || { echo "version '$(cat /tmp/version2.out)' after plug"; return 1; }
  echo "$(keyboard_node) again, version $(cat /tmp/version2.out)"
}

udev_uaccess() {
  n=$(keyboard_node)
  udevadm settle -t 10
  udevadm info --query=property --name="/dev/$n" >/tmp/udev.out 2>&1 || { cat /tmp/udev.out; echo "udevadm info failed"; return 1; }
  grep '^TAGS=' /tmp/udev.out
  grep -q '^TAGS=.*:uaccess:' /tmp/udev.out || { echo "the rule gave /dev/$n no uaccess tag"; return 1; }
  echo "/dev/$n $(grep '^TAGS=' /tmp/udev.out)"
}

holds_node() { ls -l /proc/"$1"/fd 2>/dev/null | grep -q '/dev/hidraw'; }

gui_starts() {
  mkdir -p /tmp/gui && cp -r /tmp/case/root /tmp/gui/root && cp -r /tmp/case/cfg /tmp/gui/cfg
  for d in skins Language; do ln -s "$B/$d" "/tmp/gui/root/$d"; done
  QT_QPA_PLATFORM=offscreen "$B/orlix" --driver hidraw --show --root /tmp/gui/root --config /tmp/gui/cfg \
    >/tmp/orlix.log 2>&1 &
  GUI=$!
  echo $GUI >/tmp/gui.pid
  wait_until 9000 holds_node $GUI || { tail -5 /tmp/orlix.log; echo "orlix did not open the node"; return 1; }
  # Past the start-up presence check: a program that found no keyboard ends
  # after its five-second notice.
  sleep 7
  if ! alive $GUI; then
    # How it ended tells a crash (a signal) from a program that closed itself.
    wait $GUI
    rc=$?
    tail -5 /tmp/orlix.log
    echo "orlix ended with the keyboard present (exit status $rc)"
    return 1
  fi
  echo "orlix holds /dev/$(keyboard_node) and runs"
}

gui_ends_on_unplug() {
  pid=$(cat /tmp/gui.pid)
  alive "$pid" || { echo "orlix is not running"; return 1; }
  t=$(now)
  ctl sim unplug >/dev/null || { echo "sim unplug failed"; return 1; }
  wait_until 3000 dead "$pid" || { kill "$pid"; tail -5 /tmp/orlix.log; echo "orlix still runs 30 s after the unplug"; return 1; }
  wait "$pid"
  rc=$?
  echo "ended after $(secs $(since $t)) with $rc"
  [ $rc -eq 0 ] || { tail -5 /tmp/orlix.log; echo "orlix ended with $rc"; return 1; }
}

stop_removes_node() {
  if ! node_present; then
    ctl sim plug >/dev/null || { echo "sim plug failed"; return 1; }
    wait_until 200 node_present || { echo "no hidraw node after plug"; return 1; }
  fi
  pid=$(cat /tmp/vkbd.pid)
  ctl sim stop >/dev/null || { echo "sim stop failed"; return 1; }
  wait_until 300 dead "$pid" || { echo "orlix-vkbd still runs three seconds after sim stop"; return 1; }
  wait "$pid"
  rc=$?
  node_absent || { echo "the hidraw node outlived the daemon"; return 1; }
  echo "orlix-vkbd ended with $rc, node gone"
}

echo "VMCHECK-START $(uname -r)"
if [ -x /sbin/udevadm ]; then
  /lib/systemd/systemd-udevd --daemon 2>/tmp/udevd.err || echo "  udevd: $(cat /tmp/udevd.err)"
fi
check uhid-needs-access no_access_without_root
if check hidraw-node hidraw_node; then
  check devices devices
  if [ -x /sbin/udevadm ]; then
    check udev-uaccess udev_uaccess
  else
    echo "VMCHECK udev-uaccess skip udev could not be downloaded"
  fi
  check version version
  check apply-memory apply_memory
  check light-transfers light_transfers
  check listen-press listen_press
  check unplug-node-gone unplug_node_gone
  if [ -f /tmp/probe.pid ]; then
    check udev-removal udev_removal
  else
    echo "VMCHECK udev-removal skip no udev or no removal probe in the machine"
  fi
  check unplug-version-fails unplug_version_fails
  check unplug-listen-ends unplug_listen_ends
  check unplug-devices-absent unplug_devices_absent
  check plug-found plug_found
  if [ "$(cat /orlix/gui)" = 1 ]; then
    # Uses the plugged keyboard of plug-found.
    check gui-starts gui_starts && check gui-ends-on-unplug gui_ends_on_unplug
  else
    echo "VMCHECK gui-starts skip the window program is not built"
    echo "VMCHECK gui-ends-on-unplug skip the window program is not built"
  fi
  check stop-removes-node stop_removes_node
fi
