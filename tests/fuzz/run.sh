#!/usr/bin/env bash
# Builds one libFuzzer target with clang (address and undefined-behaviour
# sanitizers on) and runs it for a bounded time over its seed corpus.
# Usage: run.sh SOURCE_DIR BUILD_DIR TARGET SECONDS
set -euo pipefail
source_dir=$1 build_dir=$2 target=$3 seconds=$4
out=$build_dir/fuzz
mkdir -p "$out/$target-corpus"
sources=("$source_dir/tests/fuzz/${target}_fuzzer.cpp" "$source_dir/platform/Platform.cpp")
case $target in
  sync_file) sources+=("$source_dir/runtime/FileSynchronizer.cpp") ;;
  start_time) sources+=("$source_dir/runtime/StartTime.cpp") ;;
esac
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$source_dir" "${sources[@]}" -o "$out/${target}_fuzzer"
# New inputs go to a scratch corpus; the seeds in the source tree stay as they are.
"$out/${target}_fuzzer" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=1024 -max_len=65536 \
  -artifact_prefix="$out/$target-" "$out/$target-corpus" "$source_dir/tests/fuzz/corpus/$target"
