#!/bin/sh
# Cross-builds libjpeg-turbo (static, with its SIMD code through nasm) for
# i686 Windows from the distribution's own source package, once. The result
# is installed under $1/libjpeg-win32 and reused by every later run.
set -eu

DEST=${1:?usage: build-libjpeg-win32.sh DIR}
PREFIX=$DEST/libjpeg-win32
STAMP=$PREFIX/.built
[ -f "$STAMP" ] && exit 0

WORK=$DEST/libjpeg-src
rm -rf "$WORK"
mkdir -p "$WORK/apt/lists/partial" "$WORK/apt/archives/partial"

# A private deb-src list mirroring the system's binary sources, so the
# system's apt configuration is left untouched.
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

cmake -S "$SRC" -B "$WORK/build" -G Ninja \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=i686 \
    -DCMAKE_C_COMPILER=i686-w64-mingw32-gcc-posix \
    -DCMAKE_RC_COMPILER=i686-w64-mingw32-windres \
    -DCMAKE_ASM_NASM_COMPILER=nasm \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF -DREQUIRE_SIMD=ON >"$WORK/configure.log"
cmake --build "$WORK/build" --target install >"$WORK/build.log"
rm -rf "$WORK"
touch "$STAMP"
