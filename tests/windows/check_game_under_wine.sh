#!/usr/bin/env bash
# Plays one of the Windows games under wine, in real time, with piped
# answers (most with CR LF line ends), from the zip unpacked as a player
# would, through its launcher as a double-click starts it: its output must
# be the expected bytes with CR LF line ends, then the launcher's prompt
# to press a key; nothing on standard error, exit status 0, and the run no
# shorter than its pauses. And each pause waited on a high-resolution
# timer, as Windows' own 15.6 ms tick would make a Sleep a quarter too
# long (a wine that refuses the timer must see the fallback ask for a 1 ms
# tick instead): wine traces the calls that wait.
# Usage: check_game_under_wine.sh WINE ZIP LAUNCHER EXPECTED
#   LAUNCHER is the game's .cmd in the zip; EXPECTED is
#   tests/expected/<game>: its .txt holds the output with plain LF line
#   ends, its .waits the production script's pauses.
set -euo pipefail
wine=$1 zip=$2 launcher=$3 expected=$4.txt
script_ms=$(awk '$2 == "pause" { ms += $3 } END { print ms + 0 }' "$4.waits")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

unzip -q "$zip" -d "$work/unpacked"
game=$(find "$work/unpacked" -name "$launcher")
[ -n "$game" ] || { echo "$launcher is not in $zip"; exit 1; }

# Wine makes its prefix on first use and says so; that is not the game's.
# Its services start then too, so that only the launcher's and the game's
# own processes trace these calls below.
traced='kernel32.Sleep;kernel32.SleepEx;kernel32.CreateWaitableTimerExW;kernel32.SetWaitableTimer'
"$wine" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d "$traced;winmm.timeBeginPeriod" /f >/dev/null 2>&1 ||
    true

printf 'home\r\npizza\r\nblas\303\251\nthe attic\r\n3\r\nfine\r\n' >"$work/in"
sed 's/$/\r/' "$expected" >"$work/expected"

start=$(date +%s%N)
status=0
WINEDEBUG=-all,+relay "$wine" "$game" <"$work/in" >"$work/out" 2>"$work/all-err" || status=$?
elapsed_ms=$((($(date +%s%N) - start) / 1000000))

grep -E '^[0-9a-f]{4}:' "$work/all-err" >"$work/trace" || true
grep -vE '^[0-9a-f]{4}:' "$work/all-err" >"$work/err" || true

fail=0
[ "$status" -eq 0 ] || { echo "exit status $status"; fail=1; }
[ ! -s "$work/err" ] || { echo "standard error:"; cat "$work/err"; fail=1; }
# (What wine's cmd prompts with is its own: Windows' says "Press any key
# to continue . . .")
if ! head -c "$(wc -c <"$work/expected")" "$work/out" | cmp -s - "$work/expected"; then
    echo "output differs from the expected bytes:"
    diff <(od -c "$work/out") <(od -c "$work/expected") >"$work/diff" || true
    head -n 20 "$work/diff"
    fail=1
fi
held=$(tail -c +"$(($(wc -c <"$work/expected") + 1))" "$work/out")
[[ $held == "Press any key to continue"* ]] || { echo "after the game, the launcher wrote: $held"; fail=1; }
typed=$(tr -d '\n' <"$expected" | wc -c)
least=$((typed * 50 + script_ms))
echo "ran ${elapsed_ms} ms; its pauses take ${least} ms"
[ "$elapsed_ms" -ge "$least" ] || { echo "the run was shorter than its pauses"; fail=1; }
pauses=$((typed + $(awk '$2 == "pause" && $3 > 0' "$4.waits" | wc -l)))
waited=$(awk -v pauses="$pauses" '
    /Call KERNEL32.CreateWaitableTimerExW\(.*,00000002,/ { asked = 1 }
    /Ret  KERNEL32.CreateWaitableTimerExW\(\) retval=/ { granted = $0 !~ /retval=0+ / }
    /Call KERNEL32.SetWaitableTimer\(/ { timed++ }
    /Call KERNEL32.Sleep(Ex)?\(/ { slept++ }
    /Call winmm.timeBeginPeriod\(00000001\)/ { tick = 1 }
    END {
        if (!asked) print "the game never asked for a high-resolution timer"
        else if (granted && (slept || timed < pauses)) print timed + 0 " timer waits and " slept + 0 " sleeps for " pauses " pauses"
        else if (!granted && !tick) print "refused the high-resolution timer, the game did not ask for a 1 ms tick"
        else print "its pauses waited on " (granted ? "the high-resolution timer" : "a 1 ms tick")
    }' "$work/trace")
echo "$waited"
[[ $waited == "its pauses waited on"* ]] || fail=1
exit $fail
