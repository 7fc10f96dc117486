# LeakSanitizer over real runs of the sanitizer build of ruvo: one that loads
# everything, plays the last second and tears down, and one that fails while
# loading (the error unwinds a half-built show). Neither may report a leak or
# an invalid access; the libraries' own leaks are suppressed in lsan.supp.
# Usage (from build-asan/, under a display): leak_check.sh path/to/ruvo
source "$(dirname "$0")/../program/lib/common.bash"
export SDL_AUDIODRIVER=dummy RUVO_NO_DIALOG=1
# Full allocation stacks (the libraries have no frame pointers), so that the
# suppressions can name the call that leaked. The slow unwinder deadlocks in
# llvmpipe's JIT, so GL is drawn by softpipe, without LLVM.
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:exitcode=86:fast_unwind_on_malloc=0:malloc_context_size=30
export LSAN_OPTIONS=suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp:print_suppressions=0
export GALLIUM_DRIVER=softpipe DRAW_USE_LLVM=0
# The GL driver is unloaded when the context goes, before the leak scan; what
# its globals still point to would then look leaked. Preloaded, it stays.
asan_runtime=$(ldd "$RUVO" | awk '/libasan/ {print $3}')
gl_driver=$(ls /usr/lib/*/dri/swrast_dri.so /usr/lib/dri/swrast_dri.so 2>/dev/null | head -1)
[ -n "$asan_runtime" ] || fail "$RUVO is not built with AddressSanitizer"
preload="$asan_runtime${gl_driver:+ $gl_driver}"
make_workdir

run_checked() {
  local what=$1
  shift
  (cd "$WORK" && LD_PRELOAD=$preload timeout --signal=KILL 120 "$RUVO" "$@" >"$WORK/stdout" 2>"$WORK/stderr")
  STATUS=$?
  grep -qE "ERROR: (LeakSanitizer|AddressSanitizer)|runtime error:" "$WORK/stderr" && fail "$what: sanitizer report"
  return 0
}

run_checked "whole run" 203000
expect_status 0

rm "$WORK/data/kasser/kasse2.png"
run_checked "failed run" 203000
expect_status 1
grep -q "^An error occurred: Couldn't open data/kasser/kasse2.png: " "$WORK/stderr" ||
  fail "failed run: no message naming the missing picture"
exit 0
