#!/bin/sh
# Shows that the release package is reproducible: makes it with
# scripts/package.sh in two fresh clones of one commit, in folders of
# different names and depths (the second on tmpfs where /dev/shm can take
# it: another file system lists a folder in another order), and compares
# the two ZIPs byte for byte (and the two quorvane.debug files, whose
# checksum the program carries).
#
#   scripts/check-reproducible.sh [--own-libjpeg] [COMMIT]   (default HEAD)
#
# The clones share this tree's libjpeg-turbo (build/third_party) unless
# --own-libjpeg is given: then each cross-builds its own from the source
# package in its own folder, which also shows that no path of that build
# reaches the package. The second clone builds a day later by its clock
# (faketime, where installed), so that nothing that reads the clock, such
# as libjpeg-turbo's version string with --own-libjpeg, passes unseen.
# Each clone builds the program from nothing, so a run takes a few minutes
# (see DESIGN.md, "Build and test").
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OWN_LIBJPEG=
if [ "${1:-}" = --own-libjpeg ]; then OWN_LIBJPEG=1; shift; fi
COMMIT=$(git -C "$ROOT" rev-parse --verify "${1:-HEAD}^{commit}")

WORK=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-repro.XXXXXX")
OTHER=$WORK
if [ -d /dev/shm ] && [ -w /dev/shm ]; then OTHER=$(mktemp -d /dev/shm/quorvane-repro.XXXXXX); fi
trap 'rm -rf "$WORK" "$OTHER"' EXIT
set -- "$WORK/one" "$OTHER/second/clone-of-$(echo "$COMMIT" | cut -c1-8)"
LATER=
if command -v faketime >/dev/null 2>&1; then
    LATER="faketime -f +1d"
else
    echo "no faketime: both clones build on today's date" >&2
fi
for clone in "$@"; do
    clock=
    [ "$clone" = "$2" ] && clock=$LATER
    git clone -q --no-checkout "$ROOT" "$clone"
    git -C "$clone" checkout -q --detach "$COMMIT"
    if [ -z "$OWN_LIBJPEG" ]; then
        mkdir -p "$clone/build"
        ln -s "$(cd "$ROOT/build/third_party" && pwd -P)" "$clone/build/third_party"
    fi
    echo "== package in $clone"
    $clock "$clone/scripts/package.sh" >"$clone.log" 2>&1 || { cat "$clone.log" >&2; exit 1; }
done

zip=$(cd "$1/build" && ls quorvane-*-win32.zip)
status=0
for file in "build/$zip" build/win32/app/quorvane.debug; do
    if cmp -s "$1/$file" "$2/$file"; then
        echo "same: $file ($(sha256sum <"$1/$file" | cut -c1-16)...)"
    else
        echo "DIFFERENT: $file" >&2
        status=1
    fi
done
exit $status
