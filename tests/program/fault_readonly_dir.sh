# The show writes nothing: from a read-only working directory it plays to its
# end, and nothing in that directory is created or changed.
source "$(dirname "$0")/lib/faults.bash"
make_workdir
trap 'chmod -R u+w "$WORK"; rm -rf "$WORK"' EXIT
mkdir "$WORK/show" && mv "$WORK/data" "$WORK/show/"
snapshot() { (cd "$WORK/show" && find . -printf '%p %s %T@ %m\n' | sort); }
chmod -R a-w "$WORK/show"
before=$(snapshot)

# Root ignores file modes; then the folder is also mounted read-only, where
# that is allowed (where not, the comparison below still sees any write).
if [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null; then
  run_readonly() {
    unshare -m sh -c 'mount --bind -o ro "$1" "$1" || exit 98
      touch "$1/probe" 2>/dev/null && exit 99
      cd "$1" && exec timeout --signal=KILL 60 "$2" 203000' sh "$WORK/show" "$RUVO"
  }
else
  run_readonly() { (cd "$WORK/show" && exec timeout --signal=KILL 60 "$RUVO" 203000); }
fi
run_readonly >"$WORK/stdout" 2>"$WORK/stderr"
STATUS=$?
[ "$STATUS" -ge 98 ] && [ "$STATUS" -le 99 ] && fail "the working directory could not be made read-only"
expect_clean_end
[ "$(snapshot)" = "$before" ] || fail "the working directory changed: $(diff <(echo "$before") <(snapshot))"
exit 0
