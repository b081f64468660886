#!/bin/sh
# Runs a command beside a DNS-SD responder of its own: in a network and mount namespace made for
# it, a veth pair on 192.0.2.0/24 (kept for documentation), a system-type message bus on a socket
# in a temporary folder, and an Avahi daemon allowed that pair's one end only. Nothing leaves the
# namespace, and the bus and the daemon end with the command.
# No process namespace: an X server's lock names its process by number, and a number from another
# process namespace reads as a dead one's, so an X server inside and one outside both took :0.
# Usage: lanns.sh <command> [argument...]; exits 77 (skipped), saying why, where it cannot.
set -eu
PATH=$PATH:/usr/sbin:/sbin
skip() { echo "lanns: skipped: $*"; exit 77; }
if [ "${TROTIX_LANNS:-}" != inside ]; then
    for tool in unshare ip dbus-daemon dbus-send avahi-daemon avahi-browse; do
        command -v "$tool" >/dev/null || skip "$tool is missing (bash scripts/setup.sh test)"
    done
    [ "$(id -u)" -eq 0 ] || skip "not root: no network namespace of its own"
    unshare -n -m true 2>/dev/null || skip "this machine makes no namespaces"
    TROTIX_LANNS=inside exec unshare -n -m "$0" "$@"
fi

mount -t tmpfs tmpfs /run
ip link set lo up
ip link add trotix0 type veth peer name trotix1
for i in 0 1; do ip addr add 192.0.2.$((i + 1))/24 dev trotix$i; ip link set trotix$i up; done
dir=$(mktemp -d)
pids=
trap 'kill $pids 2>/dev/null; rm -rf "$dir"' EXIT
echo "<busconfig><type>system</type><listen>unix:path=$dir/bus</listen><auth>EXTERNAL</auth><policy context=\"default\">
<allow user=\"*\"/><allow own=\"*\"/><allow send_destination=\"*\"/><allow receive_sender=\"*\"/></policy></busconfig>" >"$dir/bus.conf"
printf '[server]\nallow-interfaces=trotix0\nuse-ipv6=no\nhost-name=stable\n[publish]\npublish-workstation=no\n' >"$dir/avahi.conf"
dbus-daemon --config-file="$dir/bus.conf" --nofork --nopidfile &
pids=$!
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$dir/bus"
while [ ! -S "$dir/bus" ]; do sleep 0.1; done
avahi-daemon --no-drop-root --no-chroot --no-rlimits -f "$dir/avahi.conf" >"$dir/avahi.log" 2>&1 &
pids="$pids $!"
tries=0
until dbus-send --system --print-reply --dest=org.freedesktop.Avahi / org.freedesktop.Avahi.Server.GetState 2>/dev/null | grep -q 'int32 2'; do
    [ "$((tries += 1))" -lt 100 ] || { cat "$dir/avahi.log"; echo "lanns: the Avahi daemon did not start"; exit 1; }
    sleep 0.1
done
"$@"
