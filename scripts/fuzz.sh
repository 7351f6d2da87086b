#!/bin/sh
# Builds the libFuzzer targets of fuzz/ over the Qt-free engines with
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs each for a short
# time seeded with the real DICOM files of pydicom's corpus. Exits non-zero
# when a target crashes or finds a sanitizer fault.
#
#   scripts/fuzz.sh [seconds per target]      (default 30; env FUZZ_SECONDS too)
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-${FUZZ_SECONDS:-30}}
cxx=${CXX_FUZZ:-clang++}
out=${FUZZ_BUILD_DIR:-$here/build-fuzz}
seeds=/usr/lib/python3/dist-packages/pydicom/data/test_files

if ! command -v "$cxx" >/dev/null 2>&1; then
    echo "fuzz.sh: $cxx not found, skipping" >&2
    exit 0
fi
mkdir -p "$out"

flags="-std=c++20 -O1 -g -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I$here/src"
engine="$here/src/dicom/dictionary.cpp $here/src/dicom/dictionary_table.cpp $here/src/dicom/walk.cpp
        $here/src/dicom/anonymise.cpp $here/src/common/numeric.cpp $here/src/common/errors.cpp"

# The engine objects once (the generated table is large), then each target.
objs=""
for src in $engine; do
    obj="$out/$(basename "$src" .cpp).o"
    if [ ! -f "$obj" ] || [ "$src" -nt "$obj" ]; then
        # shellcheck disable=SC2086
        $cxx $(echo "$flags" | sed 's/fuzzer,/fuzzer-no-link,/') -c "$src" -o "$obj"
    fi
    objs="$objs $obj"
done

status=0
for target in "$here"/fuzz/fuzz_*.cpp; do
    name=$(basename "$target" .cpp)
    # shellcheck disable=SC2086
    $cxx $flags "$target" $objs -o "$out/$name"
    corpus="$out/corpus_$name"
    mkdir -p "$corpus"
    set -- "$corpus"
    [ -d "$seeds" ] && set -- "$@" "$seeds"
    echo "fuzz.sh: running $name for ${seconds}s" >&2
    if ! "$out/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
            -artifact_prefix="$out/$name-" -print_final_stats=1 "$@" 2>"$out/$name.log"; then
        echo "fuzz.sh: $name FAILED, see $out/$name.log" >&2
        tail -40 "$out/$name.log" >&2
        status=1
    else
        grep -E '^stat::number_of_executed_units|^#[0-9]+ +DONE' "$out/$name.log" >&2 || true
    fi
done
exit $status
