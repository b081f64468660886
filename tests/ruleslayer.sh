#!/bin/sh
# The rules library decides and never draws or talks: its objects may use Qt Core and the standard
# library, nothing of Qt Gui, Widgets or Network, and never the game state `gs`.
# Usage: ruleslayer.sh <rules archive> <Qt library>...
set -eu
archive=$1
shift
undefined=$(nm -C --undefined-only "$archive" | sed -n 's/^ *U //p' | sort -u)
forbidden=$(for lib in "$@"; do nm -C -D --defined-only "$lib" | awk '{ $1 = ""; $2 = ""; sub(/^  /, ""); sub(/@.*$/, ""); print }'; done | sort -u)
bad=$( { printf '%s\n' "$undefined" | grep -Fxe gs || true; printf '%s\n%s\n' "$forbidden" "$undefined" | sort | uniq -d; } )
if [ -n "$bad" ]; then
    echo "The rules library reaches beyond Qt Core:"
    printf '%s\n' "$bad"
    exit 1
fi
echo "The rules library uses Qt Core and the standard library only ($(printf '%s\n' "$undefined" | wc -l) symbols)."
