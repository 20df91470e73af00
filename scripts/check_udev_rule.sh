#!/usr/bin/env bash
# Checks what the Wii Remote's udev rule grants, with udev's own rule engine (udevadm test) run over mocked
# devices (umockdev): the remote's hidraw node, event nodes and LEDs get their access on Bluetooth and
# behind a USB adapter, the desktop ignores its input devices, and a device with other ids gets nothing.
# Runs in a private mount namespace, so that only this rule is read and nothing of udev's database is
# written on the machine. Needs root (for the namespace); usage: check_udev_rule.sh [RULE_FILE].
set -euo pipefail
cd "$(dirname "$0")/.."
rule=$(realpath "${1:-udev/70-vireta-wiimote.rules}")
devices=$(realpath packaging/udev-test/remotes.umockdev)

if [ "$(id -u)" -ne 0 ]; then
  echo "udev rule: needs root for a private mount namespace; not checked"
  exit 1
fi

# Prints "<device> <tags> <LIBINPUT_IGNORE_DEVICE> <run lines>" for every node, inside the namespace.
answers=$(
  unshare -m bash -s "$rule" "$devices" <<'INNER'
set -euo pipefail
rule=$1 devices=$2
for d in /etc/udev/rules.d /usr/lib/udev/rules.d /lib/udev/rules.d /run/udev; do
  [ -d "$d" ] && mount -t tmpfs none "$d"
done
mkdir -p /dev/char && mount -t tmpfs none /dev/char
cp "$rule" /usr/lib/udev/rules.d/
cat >/tmp/udev-answers.sh <<'ASK'
for node in $(cd /sys && find devices \( -name 'hidraw[0-9]*' -o -name 'event[0-9]*' -o -path '*/leds/*' \) -prune); do
  out=$(udevadm test --action=add "/sys/$node" 2>/dev/null || true)
  tags=$(sed -n 's/^TAGS=//p' <<<"$out")
  ignore=$(sed -n 's/^LIBINPUT_IGNORE_DEVICE=//p' <<<"$out")
  run=$(sed -n "s/^run: '\(.*\)'$/\1/p" <<<"$out" | tr '\n' ';')
  echo "$(basename "$node") tags=${tags:--} ignore=${ignore:--} run=${run:--}"
done
ASK
umockdev-run --device "$devices" -- bash /tmp/udev-answers.sh
INNER
)
echo "$answers"

failures=0
expect() {  # expect NODE PATTERN WHAT
  grep -E "^$1 " <<<"$answers" | grep -qE "$2" || {
    echo "udev rule: $1 $3"
    failures=$((failures + 1))
  }
}
refuse() {
  ! grep -E "^$1 " <<<"$answers" | grep -qE "$2" || {
    echo "udev rule: $1 $3"
    failures=$((failures + 1))
  }
}
for n in hidraw0 hidraw1 event3 event4; do expect "$n" 'tags=[^ ]*:uaccess:' "is not given to the desktop user"; done
for n in event3 event4; do expect "$n" 'ignore=1' "is not ignored by the desktop"; done
expect '0005:057E:0306.0001:blue:p0' 'run=.*chmod 0666 /sys/.*0005:057E:0306.0001:blue:p0/brightness' "LED not opened"
expect '0003:057E:0330.0002:blue:p0' 'run=.*chmod 0666 /sys/.*0003:057E:0330.0002:blue:p0/brightness' "LED not opened"
for n in hidraw2 event5; do
  refuse "$n" 'uaccess' "of another device is given to the desktop user"
  refuse "$n" 'ignore=1' "of another device is hidden from the desktop"
done
refuse 'input7::scrolllock' 'chmod' "of another device is opened"
[ "$(grep -c . <<<"$answers")" -eq 9 ] || { echo "udev rule: expected 9 nodes"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] && echo "udev rule: as expected"
exit "$failures"
