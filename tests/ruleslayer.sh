#!/bin/sh
# The rules library decides and never draws or talks: it is built from exactly the sources in the
# rules/ folders of src/, they include no header from outside those folders, and its objects use
# Qt Core and the standard library, nothing of Qt Gui, Widgets or Network, and never the game state `gs`.
# Usage: ruleslayer.sh <rules archive> <src folder> <Qt library>...
set -eu
archive=$1
src=$2
shift 2
fail() { echo "$1"; printf '%s\n' "$2"; exit 1; }
built=$(ar t "$archive" | sed 's/\.o$//' | sort)
placed=$(cd "$src" && ls ./*/rules/*.cpp | xargs -n 1 basename | sort)
[ "$built" = "$placed" ] || fail "The rules library is not built from exactly the rules/ folders' sources:" \
    "$(printf '%s\n' "$built" "$placed" | sort | uniq -u)"
outside=$(cd "$src" && grep -H '^#include "' ./*/rules/* | grep -v '#include "[a-z]*/rules/' || true)
[ -z "$outside" ] || fail "A rule includes a header from outside the rules/ folders:" "$outside"
undefined=$(nm -C --undefined-only "$archive" | sed -n 's/^ *U //p' | sort -u)
forbidden=$(for lib in "$@"; do nm -C -D --defined-only "$lib" | awk '{ $1 = ""; $2 = ""; sub(/^  /, ""); sub(/@.*$/, ""); print }'; done | sort -u)
bad=$( { printf '%s\n' "$undefined" | grep -Fxe gs || true; printf '%s\n%s\n' "$forbidden" "$undefined" | sort | uniq -d; } )
[ -z "$bad" ] || fail "The rules library reaches beyond Qt Core:" "$bad"
echo "The rules library is the $(printf '%s\n' "$placed" | wc -l) sources of the rules/ folders and uses Qt Core and the standard library only ($(printf '%s\n' "$undefined" | wc -l) symbols)."
