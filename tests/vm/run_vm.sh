#!/usr/bin/env bash
# Boots Debian's own kernel in a small virtual machine and runs the keyboard's
# hidraw path against the kernel's HID stack: orlix-vkbd --uhid makes the
# keyboard a HID device through /dev/uhid, and orlixctl and orlix drive its
# hidraw node as they drive the real keyboard's.
#
#   run_vm.sh SOURCE_DIR BIN_DIR WORK_DIR [REMOVAL_PROBE]
#
# Steps: the kernel package (apt-get download, cached in WORK_DIR/cache), the
# expected keyboard state from the same steps over the socket on this machine,
# an initramfs (busybox, the hid, hid-generic and uhid modules, the programs
# and the libraries ldd lists), then qemu-system-x86_64 with TCG and one vCPU.
# The guest (guest.sh) prints "VMCHECK NAME ok" or "VMCHECK NAME fail REASON"
# per check and "VMCHECK-END"; they are written to WORK_DIR/results.txt, one
# check per line, for the per-check tests (check.sh).
#
# Exit codes: 0 the guest ran to its end (checks may still have failed: each
# has its own test), 1 the machine could not be prepared or did not finish,
# 77 skipped: the machine cannot run it (the reason is printed and written to
# results.txt as "SKIP reason").
set -uo pipefail

src=$1 bin=$2 work=$3 probe=${4:-}
results="$work/results.txt"
mkdir -p "$work/cache"
rm -f "$results"
start_time=$(date +%s.%N)

skip() {
  echo "SKIP: $*"
  echo "SKIP $*" >"$results"
  exit 77
}
die() {
  echo "FAIL: $*" >&2
  echo "FAIL $*" >"$results"
  exit 1
}
log() { printf '[%6.1fs] %s\n' "$(awk -v a="$start_time" -v b="$(date +%s.%N)" 'BEGIN{print b-a}')" "$*"; }

# --- what the machine needs -------------------------------------------------
for tool in qemu-system-x86_64 cpio dpkg-deb apt-get; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/setup-deps.sh installs it)"
done
busybox=$(command -v busybox || true)
[[ -n "$busybox" ]] || skip "busybox is not installed (package busybox-static)"
# The initramfs has no C library of its own for busybox: it must be static.
if ldd "$busybox" >/dev/null 2>&1; then skip "$busybox is dynamically linked (install busybox-static)"; fi
for p in orlix-vkbd orlixctl; do [[ -x "$bin/$p" ]] || die "$bin/$p is not built"; done
# KVM is not asked for: on some machines it hangs at boot, and TCG takes seconds here.

# --- packages, cached ----------------------------------------------------------
# fetch PACKAGE: downloads and unpacks a Debian package into the cache (not
# installed); prints its folder, or nothing when it cannot be had.
fetch() {
  local pkg=$1 dir="$work/cache/$1"
  if [[ ! -f "$dir/done" ]]; then
    rm -rf "$dir" && mkdir -p "$dir"
    if (cd "$work/cache" && rm -f "$pkg"_*.deb && apt-get download "$pkg" >"$dir.download.log" 2>&1) &&
      dpkg-deb -x "$work/cache/$pkg"_*.deb "$dir/root"; then
      touch "$dir/done"
    fi
    rm -f "$work/cache/$pkg"_*.deb
  fi
  [[ -f "$dir/done" ]] && echo "$dir"
}

kernel_pkg=${ORLIX_VM_KERNEL_PACKAGE:-}
if [[ -z "$kernel_pkg" ]]; then
  kernel_pkg=$(apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-[0-9]/{print $2; exit}')
fi
kdir=""
[[ -n "$kernel_pkg" ]] && kdir=$(fetch "$kernel_pkg")
if [[ -z "$kdir" ]]; then
  # Without package lists or a network, an earlier download still serves.
  for d in "$work"/cache/linux-image-*/; do [[ -f "$d/done" ]] && kdir=${d%/} && break; done
  [[ -n "$kdir" ]] || skip "no Debian kernel package could be downloaded (apt-get download linux-image-amd64)"
fi
# Only the kernel and its HID modules are used: the rest of the 400 MB goes.
for d in "$kdir"/root/lib/modules/*/kernel/* "$kdir"/root/lib/modules/*/kernel/drivers/*; do
  case ${d##*/} in drivers | hid) ;; *) rm -rf "$d" ;; esac
done
rm -rf "$kdir/root/usr"
# udev in the machine checks the packaged rule; without it that one check is skipped.
udev_dir=$(fetch udev)
vmlinuz=$(ls "$kdir"/root/boot/vmlinuz-* | head -1)
kver=${vmlinuz##*/vmlinuz-}
moddir="$kdir/root/lib/modules/$kver"
log "kernel $kver"
config="$kdir/root/boot/config-$kver"
# HIDRAW must be built in (it is part of hid.ko); hid, hid-generic and uhid
# are modules or built in, depending on the configuration.
grep -q '^CONFIG_HIDRAW=y' "$config" || die "the kernel $kver has no hidraw"
modules=()
for m in HID:hid HID_GENERIC:hid-generic UHID:uhid; do
  opt=${m%%:*} name=${m#*:}
  if grep -q "^CONFIG_$opt=m" "$config"; then
    f=$(find "$moddir/kernel/drivers/hid" -name "$name.ko*" | head -1)
    [[ -n "$f" ]] || die "module $name is missing from $kernel_pkg"
    modules+=("$f")
  elif ! grep -q "^CONFIG_$opt=y" "$config"; then
    die "the kernel $kver has no $name (CONFIG_$opt)"
  fi
done

# --- the expected state, over the socket --------------------------------------
case="$work/case"
rm -rf "$case" && mkdir -p "$case/pristine/root" "$case/pristine/cfg" "$case/expected"
ctl() { "$bin/orlixctl" --root "$ORLIX_ROOT" "$@"; }
export ORLIX_ROOT="$case/pristine/root" ORLIX_CONFIG_DIR="$case/pristine/cfg"
ctl key set a combo:ctrl+shift+a >/dev/null || die "host: key set combo failed"
macro=$(ctl macro new --category 21 --name Tap --events "A down, 50ms, A up") || die "host: macro new failed"
macro_id=$(grep -o '0x[0-9a-fA-F]\{8\}' <<<"$macro" | head -1)
[[ -n "$macro_id" ]] || die "host: no macro id in: $macro"
ctl key set g1 "macro:$macro_id" >/dev/null || die "host: key set macro failed"
ctl key set '#9' "host:open:/tmp/opened target.txt" >/dev/null || die "host: key set host function failed"

# The same configuration, applied over the socket to a fresh virtual keyboard.
sock="$case/socket-run"
mkdir -p "$sock" && cp -r "$case/pristine/root" "$case/pristine/cfg" "$sock/"
# The socket lives in a short folder of its own: a deep build tree could pass
# the 107 bytes a socket path may have.
sockdir=$(mktemp -d /tmp/orlix-vm-XXXXXX)
trap 'rm -rf "$sockdir"' EXIT
export ORLIX_ROOT="$sock/root" ORLIX_CONFIG_DIR="$sock/cfg" ORLIX_VKBD_SOCKET="$sockdir/kb.sock"
ctl sim start --state "$sock/state" >/dev/null || die "host: orlix-vkbd does not start"
host_steps() {
  ctl --driver sim version >"$case/expected/version.txt" || return 1
  ctl --driver sim apply >/dev/null || return 1
  cp "$sock/state/memory.bin" "$case/expected/memory.bin" || return 1
  ctl --driver sim light always --keys all --color 255,0,0 >/dev/null || return 1
}
host_steps
rc=$?
ctl sim stop >/dev/null 2>&1
[[ $rc -eq 0 ]] || die "host: the socket run failed"
# Sequence number, direction, length and bytes: the time column differs.
cut -d' ' -f1,3- "$sock/state/transfers.log" >"$case/expected/transfers.txt"
unset ORLIX_ROOT ORLIX_CONFIG_DIR ORLIX_VKBD_SOCKET
log "expected state from the socket run: $(wc -l <"$case/expected/transfers.txt") transfers"

# --- the initramfs ------------------------------------------------------------
fs="$work/initramfs"
rm -rf "$fs" && mkdir -p "$fs"/{bin,sbin,proc,sys,dev,tmp,run,etc,modules,orlix/bin}
cp "$busybox" "$fs/bin/busybox"
for applet in $("$busybox" --list); do [[ $applet == busybox ]] || ln -sf busybox "$fs/bin/$applet"; done
cp "${modules[@]}" "$fs/modules/"
printf '%s\n' "${modules[@]##*/}" >"$fs/modules/order"
programs=("$bin/orlix-vkbd" "$bin/orlixctl")
gui=0
if [[ -x "$bin/orlix" && -z "${ORLIX_VM_NO_GUI:-}" ]]; then
  qtplugins=$(dirname "$(find /usr/lib -path '*qt6/plugins/platforms/libqoffscreen.so' 2>/dev/null | head -1)")
  if [[ -f "$qtplugins/libqoffscreen.so" ]]; then
    gui=1
    programs+=("$bin/orlix")
    mkdir -p "$fs/$qtplugins"
    cp "$qtplugins/libqoffscreen.so" "$fs/$qtplugins/"
    programs+=("$qtplugins/libqoffscreen.so")
    for d in skins Language; do [[ -d "$bin/$d" ]] && cp -rL "$bin/$d" "$fs/orlix/bin/"; done
    [[ -d /etc/fonts ]] && cp -r /etc/fonts "$fs/etc/"
    [[ -d /usr/share/fonts/truetype/dejavu ]] && mkdir -p "$fs/usr/share/fonts/truetype" &&
      cp -r /usr/share/fonts/truetype/dejavu "$fs/usr/share/fonts/truetype/"
  fi
fi
if [[ -n "$udev_dir" && -x "$udev_dir/root/bin/udevadm" ]]; then
  mkdir -p "$fs/lib/systemd" "$fs/lib/udev/rules.d" "$fs/etc/udev"
  cp "$udev_dir/root/bin/udevadm" "$fs/sbin/udevadm"
  ln -s /sbin/udevadm "$fs/lib/systemd/systemd-udevd"
  programs+=("$udev_dir/root/bin/udevadm")
  # Only the project's rule: the check is about what it matches.
  cp "$src/data/70-orlix.rules" "$fs/lib/udev/rules.d/"
fi
if [[ -n "$probe" && -x "$probe" ]]; then
  cp "$probe" "$fs/orlix/removal_probe"
  programs+=("$probe")
fi
cp "$bin/orlix-vkbd" "$bin/orlixctl" "$fs/orlix/bin/"
[[ $gui -eq 1 ]] && cp "$bin/orlix" "$fs/orlix/bin/"
# Every library the programs load, at the path the loader looks for it.
for lib in $(for p in "${programs[@]}"; do ldd "$p"; done | awk '/=> \//{print $3} /^\t\//{print $1}' | sort -u); do
  mkdir -p "$fs/$(dirname "$lib")"
  cp -L "$lib" "$fs/$lib"
done
# The 64-bit loader is asked for as /lib64/ld-linux-x86-64.so.2.
[[ -e "$fs/lib64/ld-linux-x86-64.so.2" ]] || { mkdir -p "$fs/lib64" && cp -L /lib64/ld-linux-x86-64.so.2 "$fs/lib64/"; }
cp -r "$case/pristine" "$case/expected" "$fs/orlix/"
cp "$src/tests/vm/guest.sh" "$fs/orlix/guest.sh"
echo "root:x:0:0:root:/:/bin/sh" >"$fs/etc/passwd"
echo "nobody:x:65534:65534:nobody:/tmp:/bin/sh" >>"$fs/etc/passwd"
printf 'root:x:0:\nnogroup:x:65534:\n' >"$fs/etc/group"
cat >"$fs/init" <<'EOF'
#!/bin/sh
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
mount -t tmpfs tmp /tmp
mount -t tmpfs run /run
for m in $(cat /modules/order); do insmod /modules/$m || echo "VMCHECK modules fail insmod $m"; done
sh /orlix/guest.sh
echo VMCHECK-END
sync
reboot -f
EOF
chmod +x "$fs/init"
echo "$gui" >"$fs/orlix/gui"
(cd "$fs" && find . | cpio -o -H newc --quiet >"$work/initramfs.cpio") || die "cannot pack the initramfs"
log "initramfs $(du -m "$work/initramfs.cpio" | cut -f1) MB (window program: $([[ $gui -eq 1 ]] && echo yes || echo no), udev: $([[ -x "$fs/sbin/udevadm" ]] && echo yes || echo no))"
rm -rf "$fs"

# --- the machine --------------------------------------------------------------
console="$work/console.log"
log "booting (TCG, one vCPU)"
timeout "${ORLIX_VM_TIMEOUT:-600}" qemu-system-x86_64 -accel tcg -cpu max -smp 1 -m 1024 -nodefaults \
  -display none -no-reboot -serial stdio -monitor none \
  -kernel "$vmlinuz" -initrd "$work/initramfs.cpio" \
  -append "console=ttyS0 quiet loglevel=3 panic=-1 rdinit=/init" >"$console" 2>"$work/qemu.err" </dev/null
qrc=$?
tr -d '\r' <"$console" | grep -a '^VMCHECK' >"$work/checks.txt"
grep -a '^VMCHECK [^ ]* ' "$work/checks.txt" | cut -d' ' -f2- >"$results"
sed 's/^/  /' "$work/checks.txt"
log "the machine ended (qemu exit $qrc): $(grep -c ' ok' "$results") checks ok, $(grep -c ' fail' "$results") failed, $(grep -c ' skip' "$results") skipped"
if ! grep -q '^VMCHECK-END' "$work/checks.txt"; then
  [[ $qrc -eq 124 ]] && echo "FAIL: the machine did not finish in time" >&2
  echo "last console lines:" >&2
  tr -d '\r' <"$console" | tail -20 >&2
  cat "$work/qemu.err" >&2
  exit 1
fi
exit 0
