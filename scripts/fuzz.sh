#!/bin/sh
# The fuzz build and its runs.
#   scripts/fuzz.sh build                    instrumented libjpeg once, then every fuzzer
#   scripts/fuzz.sh run TARGET SECONDS [ARGS] one run, at the lowest priority
#   scripts/fuzz.sh merge TARGET              seeds and run minimised into the seeds
# TARGET is a seed folder under fuzz/corpus (icon, bmp, jpeg, profile,
# color_text). A run starts from a scratch copy of the seeds in
# build/fuzz-runs/TARGET (libFuzzer adds its finds to the first folder)
# and logs to build/fuzz-runs/TARGET.log; crashes land beside it.
set -eu

ROOT=$(cd "$(dirname "$0")/.." && pwd)
RUNS=$ROOT/build/fuzz-runs

fuzzer() {
    case "$1" in
        icon) echo icon_file_fuzzer ;;
        bmp) echo bitmap_fuzzer ;;
        *) echo "$1_fuzzer" ;;
    esac
}

case "${1:-}" in
    build)
        "$ROOT/scripts/build-libjpeg-fuzz.sh" "$ROOT/build/third_party"
        cd "$ROOT"
        cmake --preset fuzz >/dev/null
        cmake --build --preset fuzz
        ;;
    run)
        target=${2:?target}
        seconds=${3:?seconds}
        shift 3
        mkdir -p "$RUNS/$target"
        cp -n "$ROOT/fuzz/corpus/$target"/* "$RUNS/$target"/
        cd "$RUNS"
        # No input of any target needs a second; ten catch a reader whose
        # work grows faster than its input (libFuzzer's own default is 1,200).
        nice -n 19 "$ROOT/build/fuzz/fuzz/$(fuzzer "$target")" -max_total_time="$seconds" -timeout=10 \
            -print_final_stats=1 -artifact_prefix="$RUNS/$target-" "$@" "$RUNS/$target" \
            >"$RUNS/$target.log" 2>&1
        ;;
    merge)
        # The seeds and the run's inputs minimised together: libFuzzer keeps
        # the fewest inputs that reach every feature of both. Named seeds
        # (hand-made pictures and findings) stay whatever they cover; the
        # inputs libFuzzer names by their SHA-1 are replaced.
        target=${2:?target}
        seeds=$ROOT/fuzz/corpus/$target
        fresh=$RUNS/$target-merged
        rm -rf "$fresh"
        mkdir -p "$fresh"
        nice -n 19 "$ROOT/build/fuzz/fuzz/$(fuzzer "$target")" -merge=1 "$fresh" "$seeds" "$RUNS/$target" \
            >"$RUNS/$target-merge.log" 2>&1
        for seed in "$seeds"/*; do
            name=$(basename "$seed")
            if expr "$name" : '[0-9a-f]\{40\}$' >/dev/null; then
                rm "$seed"
            else
                rm -f "$fresh/$(sha1sum <"$seed" | cut -c1-40)"
            fi
        done
        mv "$fresh"/* "$seeds"/
        rmdir "$fresh"
        ls "$seeds" | wc -l
        ;;
    *)
        sed -n '2,10p' "$0" >&2
        exit 2
        ;;
esac
