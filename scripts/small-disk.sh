#!/bin/sh
# small-disk.sh mount|unmount DIR: the tiny file system on which the Windows
# tests try writes to a full disk. CTest runs it around that one test. When
# it cannot mount (not root, no tmpfs), it says why in DIR.why; the test
# then reports itself skipped with that reason.
set -u
action=$1
dir=$2
why="$dir.why"

case $action in
mount)
    rm -f "$why"
    mkdir -p "$dir"
    # Left over from an interrupted run.
    if mountpoint -q "$dir"; then umount "$dir"; fi
    if ! out=$(mount -t tmpfs -o size=64k,mode=0755 quorvane-small-disk "$dir" 2>&1); then
        echo "cannot mount a 64 KiB tmpfs at $dir: $(echo "$out" | head -n 1)" | tee "$why"
    fi
    ;;
unmount)
    if mountpoint -q "$dir"; then umount "$dir" || exit 1; fi
    rmdir "$dir" 2>/dev/null
    rm -f "$why"
    ;;
*)
    echo "usage: $0 mount|unmount DIR" >&2
    exit 2
    ;;
esac
exit 0
