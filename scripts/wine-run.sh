#!/bin/sh
# The emulator CTest uses for the Windows test programs.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/wine-env.sh"
wine_prefix_ready
exec wine "$@"
