#!/usr/bin/env bash
# Plays one of the Windows games under wine, in real time, with piped
# answers (most with CR LF line ends), from the zip unpacked as a player
# would or from the folder it was installed in: its output must be the
# expected bytes with CR LF line ends, nothing on standard error, exit
# status 0, and the run no shorter than its pauses.
# Usage: check_game_under_wine.sh WINE ZIP|FOLDER GAME.exe EXPECTED
#   EXPECTED is tests/expected/<game>: its .txt holds the output with plain
#   LF line ends, its .waits the production script's pauses.
set -euo pipefail
wine=$1 from=$2 game_name=$3 expected=$4.txt
script_ms=$(awk '$2 == "pause" { ms += $3 } END { print ms + 0 }' "$4.waits")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

[ -d "$from" ] || { unzip -q "$from" -d "$work/unpacked" && from=$work/unpacked; }
game=$(find "$from" -name "$game_name")
[ -n "$game" ] || { echo "$game_name is not in $2"; exit 1; }

# Wine makes its prefix on first use and says so; that is not the game's.
"$wine" cmd /c exit >/dev/null 2>&1 || true

printf 'home\r\npizza\r\nblas\303\251\nthe attic\r\n3\r\nfine\r\n' >"$work/in"
sed 's/$/\r/' "$expected" >"$work/expected"

start=$(date +%s%N)
status=0
"$wine" "$game" <"$work/in" >"$work/out" 2>"$work/err" || status=$?
elapsed_ms=$((($(date +%s%N) - start) / 1000000))

fail=0
[ "$status" -eq 0 ] || { echo "exit status $status"; fail=1; }
[ ! -s "$work/err" ] || { echo "standard error:"; cat "$work/err"; fail=1; }
if ! cmp -s "$work/out" "$work/expected"; then
    echo "output differs from the expected bytes:"
    diff <(od -c "$work/out") <(od -c "$work/expected") >"$work/diff" || true
    head -n 20 "$work/diff"
    fail=1
fi
typed=$(tr -d '\n' <"$expected" | wc -c)
least=$((typed * 50 + script_ms))
echo "ran ${elapsed_ms} ms; its pauses take ${least} ms"
[ "$elapsed_ms" -ge "$least" ] || { echo "the run was shorter than its pauses"; fail=1; }
exit $fail
