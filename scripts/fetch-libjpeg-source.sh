#!/bin/sh
# Fetches the distribution's libjpeg-turbo source package into $1 through
# private apt lists, so the system's apt configuration is left untouched,
# and prints the unpacked source folder.
set -eu

WORK=${1:?usage: fetch-libjpeg-source.sh DIR}
mkdir -p "$WORK/apt/lists/partial" "$WORK/apt/archives/partial"

# A private deb-src list mirroring the system's binary sources.
SOURCES=$WORK/apt/sources.list
: >"$SOURCES"
if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list >>"$SOURCES"
fi
for f in /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    grep -q '^[[:space:]]*deb[[:space:]].*debian.org\|ubuntu.com' "$f" || continue
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >>"$SOURCES"
done
PARTS=$WORK/apt/parts
mkdir -p "$PARTS"
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed 's/^Types:.*/Types: deb-src/' "$f" >"$PARTS/$(basename "$f")"
done

APT_OPTS="-o Dir::Etc::SourceList=$SOURCES -o Dir::Etc::SourceParts=$PARTS
 -o Dir::State::Lists=$WORK/apt/lists -o Dir::Cache::Archives=$WORK/apt/archives
 -o APT::Sandbox::User=root"
# shellcheck disable=SC2086
apt-get -q $APT_OPTS update >/dev/null
cd "$WORK"
# shellcheck disable=SC2086
apt-get -q $APT_OPTS source libjpeg-turbo >/dev/null
SRC=$(find "$WORK" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
[ -n "$SRC" ] || { echo "libjpeg-turbo source not found" >&2; exit 1; }
echo "$SRC"
