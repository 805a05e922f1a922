#!/usr/bin/env bash
# The kernel stage: the simulated firmware as real HID devices of a Linux
# kernel, found and driven through /sys/class/hidraw and /dev/hidrawN.
#
#   1. installs Debian's kernel, QEMU and a static busybox when missing;
#   2. builds quellix-sim, quellixctl and the two helpers of the cases;
#   3. runs the cases (cases.sh) against the socket simulator on this
#      machine: their results are the reference;
#   4. packs an initramfs: busybox, the HID, generic HID and UHID modules,
#      the binaries with the libraries ldd lists and the loader, the cases
#      and the reference results;
#   5. boots it under QEMU's TCG (this machine's KVM cannot run guests and
#      its kernel has no UHID) with a time limit; the guest runs the cases
#      against the simulator served through /dev/uhid and prints each
#      result on the serial console;
#   6. reads the console: fails when a case failed, a case is missing or
#      the guest did not finish.
#
#   tests/kernel/run.sh            (build dir: $QUELLIX_BUILD_DIR or build)
#
# The console log is kept in $QUELLIX_KERNEL_LOG (default
# build/kernel-stage.log).
set -euo pipefail
cd "$(dirname "$0")/../.."
started=$SECONDS
build=$(realpath -m "${QUELLIX_BUILD_DIR:-build}")
console_log=${QUELLIX_KERNEL_LOG:-$build/kernel-stage.log}
guest_limit=${QUELLIX_KERNEL_TIMEOUT:-150} # seconds for the boot and the cases

echo "-- packages"
missing=()
for package in linux-image-amd64 qemu-system-x86 busybox-static; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if ((${#missing[@]})); then
    apt-get update -qq
    # INITRD=No: the host needs no initramfs of its own for this kernel, and
    # building one takes minutes.
    INITRD=No DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" \
        >/dev/null
fi
kernel=$(find /boot -maxdepth 1 -name 'vmlinuz-*-amd64' | sort -V | tail -n 1)
release=${kernel#/boot/vmlinuz-}
modules=/lib/modules/$release/kernel/drivers/hid
[[ -r $kernel && -d $modules ]] || {
    echo "kernel stage: no kernel image or modules for $release" >&2
    exit 1
}

echo "-- build"
if [[ ! -f $build/build.ninja ]]; then
    cmake -S . -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build" --target quellix-sim quellixctl quellix-detect-devices \
    quellix-latency-spike -- -j"$(nproc)" |
    tail -n 1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root

echo "-- reference: the cases against the socket simulator"
sh tests/kernel/cases.sh socket "$build/bin" "$root/stage/expected" >"$work/reference.log" 2>&1 || true
cases=$(find "$root/stage/expected" -name '*.txt' | wc -l)
echo "$cases reference results"
# The reference is only worth comparing with when it shows what each case
# is about: case, a line pattern, how many lines match it.
reference_checks=(
    "list|^hid#NODE vendor 0x0c45 product 0x5f0[12] usage_page 0xff1c |2"
    "info-pad|^exit 0$|1"
    "info-mouse|^exit 0$|1"
    "read-pad-0-320|^exit 0$|1"
    "read-mouse-0x40-100|^exit 0$|1"
    "keys-mouse-2|^exit 0$|1"
    "keys-pad-0|status 0xff|1"
    "late-reply|^> 04 01 00 01 |2" # the first request again: its reply came late
    "late-reply|^< 04 01 00 01 |1"
    "late-reply|^exit 0$|1"
    "silent|^> 04 01 00 01 |4"
    "silent|the device did not answer|1"
    "unplug-mid-transfer|^exit 1$|1"
    "no-access|is present but could not be opened|1"
    "detection|^mouse found, connect sequence read its info block$|1"
    "detection|^pad removal noticed$|1"
    "detection|^pad found again at the same node$|1"
)
reference_ok=1
for check in "${reference_checks[@]}"; do
    IFS='|' read -r name pattern count <<<"$check"
    found=$(grep -c -- "$pattern" "$root/stage/expected/$name.txt" 2>/dev/null || true)
    if [[ $found != "$count" ]]; then
        echo "reference $name: $found line(s) match '$pattern', expected $count" >&2
        reference_ok=0
    fi
done
if ((!reference_ok)); then
    echo "kernel stage: the reference run against the socket simulator is wrong:" >&2
    cat "$work/reference.log" >&2
    exit 1
fi

echo "-- initramfs"
mkdir -p "$root"/{bin,usr/bin,proc,sys,dev,tmp,stage/bin,stage/modules}
cp /bin/busybox "$root/bin/busybox"
cp tests/kernel/init "$root/init"
cp tests/kernel/cases.sh "$root/stage/cases.sh"
for module in hid hid-generic uhid; do
    file=$(find "$modules" -name "$module.ko*" | head -n 1)
    case $file in
    *.xz) xz -dc "$file" >"$root/stage/modules/$module.ko" ;;
    *.zst) zstd -qdc "$file" >"$root/stage/modules/$module.ko" ;;
    *) cp "$file" "$root/stage/modules/$module.ko" ;;
    esac
done
binaries=("$build/bin/quellix-sim" "$build/bin/quellixctl" "$build/bin/quellix-detect-devices"
    "$build/bin/quellix-latency-spike")
for binary in "${binaries[@]}"; do
    strip -o "$root/stage/bin/$(basename "$binary")" "$binary"
done
cp "$(command -v setpriv)" "$root/usr/bin/setpriv"
# The libraries and the loader, at the paths ldd names.
for binary in "${binaries[@]}" "$(command -v setpriv)"; do
    ldd "$binary" | grep -o '/[^ ]*' || true
done | sort -u | while read -r library; do
    mkdir -p "$root$(dirname "$library")"
    cp -L "$library" "$root$library"
done
(cd "$root" && find . | cpio -o -H newc --quiet) >"$work/initramfs.cpio"
echo "$(du -m "$work/initramfs.cpio" | cut -f1) MB, kernel $release"

echo "-- guest (QEMU TCG, at most $guest_limit s)"
guest_started=$SECONDS
guest_status=0
# no_timer_check: on a busy host the emulated CPU can be slow enough for the
# kernel's IO-APIC timer check to fail, which panics the boot.
timeout "$guest_limit" qemu-system-x86_64 -accel tcg -m 512 -smp 2 -no-reboot \
    -display none -monitor none -serial stdio \
    -kernel "$kernel" -initrd "$work/initramfs.cpio" \
    -append "console=ttyS0 panic=-1 quiet loglevel=3 no_timer_check" </dev/null >"$console_log" 2>&1 ||
    guest_status=$?
guest_seconds=$((SECONDS - guest_started))
tr -d '\r' <"$console_log" >"$work/console"

grep -E '^KTEST(-INFO| |\|)' "$work/console" | sed -n '/^KTEST[ |]/p;/^KTEST-INFO/p' || true
passed=$(grep -c '^KTEST [^ ]* PASS$' "$work/console" || true)
failed=$(grep -c '^KTEST [^ ]* FAIL$' "$work/console" || true)
finished=$(grep -c '^KTEST-END' "$work/console" || true)
total=$((SECONDS - started))
echo "kernel stage: $passed passed, $failed failed of $cases; guest ${guest_seconds} s, stage ${total} s"
status=0
if ((finished == 0)); then
    echo "kernel stage: the guest did not finish (exit $guest_status); console in $console_log" >&2
    status=1
fi
if ((failed > 0 || passed != cases)); then
    echo "kernel stage: cases failed or missing; console in $console_log" >&2
    status=1
fi
exit $status
