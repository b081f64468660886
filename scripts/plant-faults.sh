#!/usr/bin/env bash
# Plants small faults in src/ one at a time, rebuilds and runs the fast tests against each: a fault
# that no test notices is code the suite does not guard. Everything happens in a copy of the tree
# (tracked and new files as they are now, uncommitted edits included) with its own build folder,
# so the developer's tree is never touched, even when the run is killed; the next run refreshes
# the copy and puts back whatever a killed run left planted.
#
#   scripts/plant-faults.sh [-f faults] [-o table] [-k name-regex] [-x test-regex] [-t seconds] [-u time] [-a] [-n]
#
#   -f  the faults (default scripts/faults.txt); one a line: name @@ file @@ exact text @@ replacement.
#       The text is looked for in every file under src/, so a file that moved still works; the file
#       part only decides between several files holding the same text. Text found nowhere: the
#       fault is "n/a" (the code changed; write a new fault). An empty replacement drops the text.
#       A file given as file:line (under src/) takes the text as that whole line and replaces it
#       there only (scripts/random-faults.py draws such faults from a seed).
#   -o  the per-fault table (default <copy>/faults-table.txt)
#   -k  only the faults whose names match this regular expression
#   -x  tests left out, a ctest -E expression (default: e2e|packaging, the slow layers)
#   -t  timeout of each test in seconds (default 120): a fault that hangs a test is caught
#   -u  start no new fault after this time (as `date -d` reads it, e.g. 18:10); the rest count as not run
#   -a  run every test on every fault and name all that fail (slower); default: stop at the first
#   -n  only check which faults still apply; no build
#   PLANT_DIR: the copy (default <tree>/build-plant; build folders are ignored by git). NICE: 19.
set -euo pipefail

top=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
faults="$top/scripts/faults.txt"
table=""
only="."
exclude="e2e|packaging"
timeout=120
all=0
dry=0
until=""
while getopts "f:o:k:x:t:u:anh" opt; do
  case $opt in
    f) faults=$(realpath "$OPTARG") ;;
    o) table=$(realpath -m "$OPTARG") ;;
    k) only=$OPTARG ;;
    x) exclude=$OPTARG ;;
    t) timeout=$OPTARG ;;
    u) until=$(date -d "$OPTARG" +%s) ;;
    a) all=1 ;;
    n) dry=1 ;;
    h) sed -n '2,23p' "$0"; exit 0 ;;
    *) sed -n '2,23p' "$0"; exit 2 ;;
  esac
done
copy=${PLANT_DIR:-$top/build-plant}
build=$copy/build
table=${table:-$copy/faults-table.txt}
logs=$copy/logs
nice=(nice -n "${NICE:-19}")
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache} QT_QPA_PLATFORM=offscreen

# The copy: every file git knows or would add, refreshed by content so that make rebuilds only what
# differs; files gone from the tree go from the copy too (the copy is the tree as it is, no more).
sync_copy() {
  python3 - "$top" "$copy" <<'PY'
import os, shutil, subprocess, sys
top, copy = sys.argv[1:3]
names = subprocess.run(["git", "-C", top, "ls-files", "-z", "-co", "--exclude-standard"],
                       check=True, capture_output=True).stdout.decode().split("\0")
keep = set()
for name in filter(None, names):
    src, dst = os.path.join(top, name), os.path.join(copy, name)
    if not os.path.isfile(src):
        continue
    keep.add(name)
    with open(src, "rb") as f:
        data = f.read()
    if os.path.isfile(dst):
        with open(dst, "rb") as f:
            if f.read() == data:
                continue
    os.makedirs(os.path.dirname(dst), exist_ok=True)
    with open(dst, "wb") as f:
        f.write(data)
    shutil.copymode(src, dst)
for root, dirs, files in os.walk(copy):
    rel = os.path.relpath(root, copy)
    if rel == "." :
        dirs[:] = [d for d in dirs if d not in ("build", "logs")]
    for f in files:
        name = os.path.normpath(os.path.join(rel, f))
        if name not in keep and "/" in name:
            os.remove(os.path.join(root, f))
PY
}

# Plants one fault in the copy: prints "<file>" when planted, "n/a" or "ambiguous" otherwise. The
# original is kept next to the build so that restore() can put it back.
plant() {
  python3 - "$copy" "$1" "$2" "$3" "$logs/original" <<'PY'
import os, re, sys
copy, hint, find, repl, keep = sys.argv[1:6]
at = re.fullmatch(r"(.+):([0-9]+)", hint)
hits = []
if at:
    # file:line: the text is that whole line (blanks around it aside), replaced there only.
    path, number = os.path.join(copy, "src", at.group(1)), int(at.group(2))
    lines = open(path, encoding="latin-1").read().split("\n") if os.path.isfile(path) else []
    if number > len(lines) or lines[number - 1].strip() != find:
        print("n/a"); sys.exit()
    if os.environ.get("PLANT_CHECK_ONLY"):
        print(os.path.relpath(path, copy)); sys.exit()
    line = lines[number - 1]
    lines[number - 1] = line[:len(line) - len(line.lstrip())] + repl if repl else ""
    with open(keep, "w") as fh:
        fh.write(path)
    os.replace(path, path + ".plant-orig")
    with open(path, "w", encoding="latin-1") as fh:
        fh.write("\n".join(lines))
    print(os.path.relpath(path, copy)); sys.exit()
for root, _, files in os.walk(os.path.join(copy, "src")):
    for f in sorted(files):
        path = os.path.join(root, f)
        with open(path, encoding="latin-1") as fh:
            n = fh.read().count(find)
        if n:
            hits.append((path, n))
if not hits:
    print("n/a"); sys.exit()
if len(hits) > 1 or hits[0][1] > 1:
    hits = [h for h in hits if os.path.basename(h[0]) == os.path.basename(hint) and h[1] == 1]
    if len(hits) != 1:
        print("ambiguous"); sys.exit()
path = hits[0][0]
if os.environ.get("PLANT_CHECK_ONLY"):
    print(os.path.relpath(path, copy)); sys.exit()
with open(path, encoding="latin-1") as fh:
    text = fh.read()
with open(keep, "w") as fh:
    fh.write(path)
with open(path + ".plant-orig", "w", encoding="latin-1") as fh:
    fh.write(text)
with open(path, "w", encoding="latin-1") as fh:
    fh.write(text.replace(find, repl, 1))
print(os.path.relpath(path, copy))
PY
}

restore() {
  [ -f "$logs/original" ] || return 0
  local path
  path=$(cat "$logs/original")
  # Newer than the object built with the fault, so that make builds it again.
  [ -f "$path.plant-orig" ] && mv -f "$path.plant-orig" "$path" && touch "$path"
  rm -f "$logs/original"
}

# The faults file, as "name<TAB>file<TAB>find<TAB>replace" lines.
read_faults() {
  python3 - "$faults" "$only" <<'PY'
import re, sys
for number, line in enumerate(open(sys.argv[1], encoding="latin-1"), 1):
    line = line.rstrip("\n")
    if not line.strip() or line.lstrip().startswith("#"):
        continue
    parts = [p.strip() for p in line.split("@@")]
    if len(parts) != 4 or not parts[0] or not parts[2]:
        sys.exit(f"{sys.argv[1]}:{number}: expected: name @@ file @@ text @@ replacement")
    if re.search(sys.argv[2], parts[0]):
        print("\t".join(parts))
PY
}

mkdir -p "$copy" "$logs"
# Two runs on one copy would restore each other's faults.
exec 9>"$copy/.lock"
flock -n 9 || { echo "plant-faults: another run is using $copy (PLANT_DIR picks another copy)" >&2; exit 1; }
restore
# The commit the copy was taken from (with any uncommitted edits), for the table's heading.
copied_from=$(git -C "$top" rev-parse --short HEAD)$(git -C "$top" diff --quiet HEAD -- src tests || echo " with uncommitted edits")
sync_copy

if [ "$dry" = 1 ]; then
  while IFS=$'\t' read -r name hint find repl; do
    printf '%-28s %s\n' "$name" "$(PLANT_CHECK_ONLY=1 plant "$hint" "$find" "$repl")"
  done < <(read_faults)
  exit 0
fi

trap restore EXIT
cmake -S "$copy" -B "$build" >"$logs/configure.log"
# The fast tests and the targets they run: each test executable, the game and the scripted game.
mapfile -t tests < <(cd "$build" && ctest -N -E "$exclude" 2>/dev/null | awk '/Test +#[0-9]+:/ { print $3 }')
known=$(cmake --build "$build" --target help | awk '{ print $2 }')
targets=(trotix)
for t in "${tests[@]}" trotix-testgame; do grep -qx -- "$t" <<<"$known" && targets+=("$t"); done

# One make over all of them: `cmake --build --target` makes each target in turn, and checking the
# whole tree two dozen times costs more than the fault's own compile.
goals=()
for t in "${targets[@]}"; do
  goal=$(grep -o "^[^ :]*/$t\.dir/all:" "$build/CMakeFiles/Makefile2" 2>/dev/null | head -n 1) || true
  goals+=("${goal%:}")
done
rebuild() {
  if [ -n "${goals[0]}" ] && [ "${#goals[@]}" = "${#targets[@]}" ] && [[ " ${goals[*]} " != *"  "* ]]; then
    "${nice[@]}" make -C "$build" -s -f CMakeFiles/Makefile2 -j 2 "${goals[@]}" >"$1" 2>&1
  else
    "${nice[@]}" cmake --build "$build" -j 2 --target "${targets[@]}" >"$1" 2>&1
  fi
}

# Port 1234 is taken in a private network namespace, where there is one.
netns=(unshare -n sh -c 'ip link set lo up && exec "$@"' sh)
"${netns[@]}" true 2>/dev/null || { echo "plant-faults: no private network namespace; the port-1234 tests run on the host's." >&2; netns=(); }
run_tests() { # log-file extra-ctest-args...
  local out=$1; shift
  (cd "$build" && "${netns[@]}" "${nice[@]}" ctest -E "$exclude" --timeout "$timeout" -j 2 --output-on-failure "$@" \
     >"$out" 2>&1) || true
  # Each failing test, with the QtTest functions that failed in it: tst_x(oneFunction+another).
  awk '/Test +#[0-9]+: / { for (i = 1; i < NF; i++) if ($i ~ /^#[0-9]+:$/) current = $(i + 1) }
       /^FAIL!  : / { f = $3; sub(/^[^:]*::/, "", f); sub(/\(.*/, "", f)
                      if (!seen[current, f]++) fns[current] = fns[current] (fns[current] == "" ? "" : "+") f }
       /^[[:space:]]*[0-9]+ - [^ ]+ \(/ { failed[$3] = 1 }
       END { for (t in failed) print t (fns[t] == "" ? "" : "(" fns[t] ")") }' "$out" | sort | paste -sd, -
}

echo "plant-faults: building the copy in $build"
rebuild "$logs/build-baseline.log" || { echo "plant-faults: the unplanted copy does not build; see $logs/build-baseline.log" >&2; exit 1; }
start=$SECONDS
failing=$(run_tests "$logs/tests-baseline.log")
echo "plant-faults: the fast tests take $((SECONDS - start)) s unplanted (${#tests[@]} tests; times in $logs/tests-baseline.log)"
if [ -n "$failing" ]; then
  echo "plant-faults: failing without any fault, so left out: $failing" >&2
  names=$(sed 's/([^)]*)//g' <<<"$failing")
  exclude="$exclude|^(${names//,/|})\$"
fi
stop=(--stop-on-failure)
[ "$all" = 1 ] && stop=()

caught=0 missed=0 na=0 nobuild=0 notrun=0
summarize() {
  local s="caught $caught of $((caught + missed)) ($na not applicable"
  [ "$nobuild" = 0 ] || s+=", $nobuild not building"
  [ "$notrun" = 0 ] || s+=", $notrun not run"
  echo "$s)"
}
trap 'restore; echo "# stopped: $(summarize)" | tee -a "$table"; exit 130' INT TERM
{
  echo "# Planted faults against the fast tests ($copied_from, $(date -u '+%F %H:%M') UTC)."
  echo "# ctest -E '$exclude' --timeout $timeout$([ "$all" = 1 ] || echo ', stopped at the first failing test')"
  printf '%-8s %-28s %-28s %s\n' "# result" "fault" "file" "failing tests"
} >"$table"
while IFS=$'\t' read -r name hint find repl; do
  if [ -n "$until" ] && [ "$(date +%s)" -ge "$until" ]; then
    notrun=$((notrun + 1))
    printf '%-8s %-28s\n' "notrun" "$name" >>"$table"
    continue
  fi
  where=$(plant "$hint" "$find" "$repl")
  result=""
  by=""
  case $where in
    n/a|ambiguous) result=n/a; na=$((na + 1)); where="($where)" ;;
    *)
      if ! rebuild "$logs/build-$name.log"; then
        result=nobuild; nobuild=$((nobuild + 1))
      else
        by=$(run_tests "$logs/tests-$name.log" "${stop[@]}")
        if [ -n "$by" ]; then result=caught; caught=$((caught + 1)); else result=MISSED; missed=$((missed + 1)); fi
      fi
      restore ;;
  esac
  printf '%-8s %-28s %-28s %s\n' "$result" "$name" "$where" "$by" | tee -a "$table"
done < <(read_faults)
rebuild "$logs/build-restored.log" || true

summary=$(summarize)
echo "# $summary" >>"$table"
echo "plant-faults: $summary; table in $table"
