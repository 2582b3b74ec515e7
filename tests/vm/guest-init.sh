#!/bin/busybox sh
# /init of the VM test. The simulated controller sits on the kernel's real
# HID stack (uhid, hid-generic, hidraw); vornak-flash reaches it through
# hidapi and the hot-plug probe through the udev monitor. Prints one
# "PASS case" or "FAIL case: why" line per case, then powers off.

/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
exec >/dev/console 2>&1
echo  # the firmware's terminal codes end the line before

report() {  # report CASE STATUS [WHY]
    if [ "$2" = 0 ]; then echo "PASS $1"; else echo "FAIL $1${3:+: $3}"; fi
}

show() { sed 's/^/#   /' "$@"; }

for module in hid hid-generic uhid; do
    insmod "/lib/modules/$module.ko" || echo "FAIL boot: insmod $module"
done

node=
wait_node() {  # until a hidraw node exists; sets node
    i=0
    while [ $i -lt 100 ]; do
        for n in /dev/hidraw*; do
            [ -e "$n" ] && node=$n && return 0
        done
        sleep 0.1
        i=$((i + 1))
    done
    return 1
}

wait_log() {  # wait_log TEXT COUNT: until the simulator's log holds TEXT COUNT times
    i=0
    while [ $i -lt 100 ]; do
        [ "$(grep -c "$1" /tmp/sim.log)" -ge "$2" ] && return 0
        sleep 0.1
        i=$((i + 1))
    done
    return 1
}

sim_pid=
start_sim() {
    : >/tmp/sim.log
    vornak-sim --uhid "$@" 2>>/tmp/sim.log &
    sim_pid=$!
    wait_node
}

stop_sim() {
    kill "$sim_pid" 2>/dev/null
    wait "$sim_pid" 2>/dev/null
    sim_pid=
}

flash() {  # flash ARGS...: vornak-flash, its output in /tmp/flash.out, bounded
    timeout "$FLASH_BOUND" vornak-flash "$@" >/tmp/flash.out 2>&1
}
FLASH_BOUND=60

# A raw hidraw round trip with no project code on the host side: the report
# ID byte 0 goes first on write, a 64-byte report comes back on read.
case_uhid_raw() {
    if ! start_sim --version 3 --minor 7; then
        report uhid_raw 1 "no hidraw node appeared"; return
    fi
    printf '\000\005\301' >/tmp/request
    dd if=/dev/zero bs=62 count=1 2>/dev/null >>/tmp/request
    exec 3<"$node"  # open for reading first, so the reply is queued for us
    dd if=/tmp/request of="$node" bs=65 count=1 2>/dev/null
    timeout 10 dd bs=64 count=1 of=/tmp/reply 2>/dev/null <&3
    exec 3<&-
    reply=$(od -An -tx1 -N6 /tmp/reply 2>/dev/null | tr -s ' ')
    [ "$reply" = " 00 05 00 00 c1 00" ]
    report uhid_raw $? "GetFlashLayout reply starts '$reply' on $node"
}

case_detect() {
    flash detect
    status=$?
    show /tmp/flash.out
    [ $status = 0 ] && grep -q "Device: v3.7" /tmp/flash.out
    report detect $? "exit $status, expected 0 and the title with 'Device: v3.7'"
}

case_update_all() {
    flash update -y /fw.dat
    status=$?
    show /tmp/flash.out
    [ $status = 0 ] && grep -q "blocks written, 0 already matched" /tmp/flash.out &&
        ! grep -q ": 0 of " /tmp/flash.out
    report update_all $? "exit $status, expected 0 and every block written"
    wait_log "back on the bus" 1 && wait_node
}

case_update_again() {
    flash update -y /fw.dat
    status=$?
    show /tmp/flash.out
    [ $status = 0 ] && grep -q ": 0 of [0-9]* blocks written" /tmp/flash.out
    report update_again $? "exit $status, expected 0 and no block written"
    wait_log "back on the bus" 2 && wait_node
}

# The udev monitor sees the device leave (the simulator ends) and come back.
case_hotplug() {
    rm -f /tmp/probe.ready
    vornak-hotplug-probe /tmp/probe.ready 30 >/tmp/probe.log 2>&1 &
    probe=$!
    i=0
    while [ ! -e /tmp/probe.ready ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
    stop_sim
    start_sim
    wait "$probe"
    status=$?
    show /tmp/probe.log
    [ $status = 0 ] && grep -q "^source kernel" /tmp/probe.log && flash detect
    report hotplug $? "probe exit $status"
}

# The controller vanishes in the middle of the update: it fails, and soon.
case_vanish() {
    stop_sim
    start_sim --vanish-after 100
    start=$(date +%s)
    flash update -y /fw.dat
    status=$?
    seconds=$(($(date +%s) - start))
    tail -n 12 /tmp/flash.out | show
    echo "#   ended after $seconds s"
    [ $status = 1 ] && grep -q "Updated failed!" /tmp/flash.out
    ok=$?
    why="exit $status after $seconds s, expected 1 and 'Updated failed!'"
    [ $status = 124 ] && why="still running after $FLASH_BOUND s"
    report vanish $ok "$why"
}

case_uhid_raw
case_detect
case_update_all
case_update_again
case_hotplug
case_vanish
stop_sim
echo "#   simulator log:"
show /tmp/sim.log
echo "VM-DONE"
poweroff -f
