#!/bin/sh
# Writes what each game must do for the answers in <game>.in beside this
# script: <game>.txt, its output, from the built game (its sleeps made
# instant), and <game>.waits, from its content (tests/tools/waits.cpp).
#   write.sh [--check] INTERPOSER WAITS_TOOL GAME...
# Run by `cmake --build --preset default --target expected` after a
# deliberate change of a game, and reviewed as a diff. With --check, the
# files are written elsewhere and must equal these.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
check=
if [ "$1" = --check ]; then check=1; shift; fi
shim=$1 waits=$2
shift 2
to=$here
[ -z "$check" ] || { to=$(mktemp -d); trap 'rm -rf "$to"' EXIT; }
status=0
for game in "$@"; do
    name=$(basename "$game" .exe)
    LD_PRELOAD=$shim "$game" <"$here/$name.in" >"$to/$name.txt"
    "$waits" "$name" >"$to/$name.waits"
    [ -z "$check" ] && continue
    for f in "$name.txt" "$name.waits"; do
        diff -u "$here/$f" "$to/$f" || status=1
    done
done
[ $status = 0 ] || echo "tests/expected is not what the games do now; after a deliberate change, rewrite it with" \
    "cmake --build --preset default --target expected and review the diff"
exit $status
