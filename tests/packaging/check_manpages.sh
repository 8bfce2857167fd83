#!/usr/bin/env bash
# Every manual page renders without a single groff warning, and has the
# sections a player looks for, pointing to the other games.
set -euo pipefail
command -v groff >/dev/null || { echo "skipped: it needs groff-base"; exit 77; }
status=0
for page in "$@"; do
    name=$(basename "$page" .6)
    warnings=$(groff -man -ww -z "$page" 2>&1)
    if [ -n "$warnings" ]; then
        echo "$page: groff warns:"; echo "$warnings"; status=1
    fi
    text=$(groff -man -Tascii -P-c -P-b -P-u "$page" 2>/dev/null)
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" "SEE ALSO" "Ctrl-D" "ignored"; do
        grep -q -- "$section" <<<"$text" || { echo "$page: no \"$section\""; status=1; }
    done
    for other in "$@"; do
        o=$(basename "$other" .6)
        [ "$o" = "$name" ] && continue
        grep -q "$o(6)" <<<"$text" || { echo "$page: no see-also to $o"; status=1; }
    done
    grep -q "$name(6)" <<<"$(sed -n '/SEE ALSO/,$p' <<<"$text")" && { echo "$page: points to itself"; status=1; }
done
exit $status
