#!/usr/bin/env bash
# The docs stay true where a machine can tell:
#   every relative link and #anchor in the Markdown leads somewhere, and
#   every path in backticks (`tests/support/`) is in the tree;
#   every test docs/testing.md names is one ctest lists here, or, for a
#   preset not built here, one a tests/ CMakeLists.txt adds;
#   the README's run is a game's own: its lines (but the answers) are
#   lines of tests/expected, in order;
#   each game's questions and length in cmake/games.cmake are the game's;
#   every count of the games, in words or figures ("a series of four",
#   "four story games", "yarnlet1 to yarnlet4"), is the length of the list.
# Usage: docs.sh SOURCE_DIR BUILD_DIR INTERPOSER GAME:QUESTIONS:SECONDS:PROGRAM...
set -euo pipefail
src=$1 build=$2 shim=$3
shift 3
cd "$src"
status=0
fail() { echo "$*"; status=1; }

markdown=$(find . -name '*.md' -not -path './build/*' -not -path './dist/*' -not -path './node_modules/*' | sort)
# A file's prose: code blocks and code spans left out.
prose() { awk '/^```/ { code = !code; next } !code { gsub(/`[^`]*`/, ""); print }' "$1"; }
# GitHub's anchors: a heading in lower case, its punctuation dropped, its
# blanks made dashes.
anchors() { awk '/^```/ { code = !code } !code && /^#+ / { sub(/^#+ /, ""); print }' "$1" |
    tr 'A-Z' 'a-z' | sed 's/[^a-z0-9 _-]//g; s/ /-/g'; }

for md in $markdown; do
    dir=$(dirname "$md")
    for link in $(prose "$md" | grep -o '\](\([^) ]*\))' | sed 's/^](//; s/)$//'); do
        case $link in *://* | mailto:*) continue ;; esac
        path=${link%%#*}
        target=$dir/$path
        [ -n "$path" ] || target=$md
        [ -e "$target" ] || { fail "$md: a link to $link, which is not there"; continue; }
        [[ $link == *#* ]] || continue
        anchors "$target" | grep -qx -- "${link#*#}" || fail "$md: a link to $link, which has no such heading"
    done
    [ "$md" = ./CHANGELOG.md ] && continue
    for path in $(grep -o '`[A-Za-z0-9_.-]*/[A-Za-z0-9_./-]*`' "$md" | tr -d '`' | sort -u); do
        # (A path into the tree; not a test's name, nor what a build makes.)
        case $path in build/* | dist/* | node_modules/*) continue ;; esac
        [ -d "${path%%/*}" ] || continue
        [ -e "${path//yarnletN/yarnlet1}" ] || fail "$md: \`$path\` is not in the tree"
    done
done

# The tests' table names them in its first column, a * for any ending, N
# for any game. ctest writes a log even to list the tests, over the one of
# the run this test is part of: it lists them from a copy of the build's
# test files.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && find . -name CTestTestfile.cmake -exec cp --parents {} "$work" \;)
listed=$(ctest --test-dir "$work" -N | sed -n 's/^ *Test *#[0-9]*: //p')
added=$(grep -rhoE 'add_test\(NAME [^ )]+' tests | sed 's/add_test(NAME //')
for name in $(sed -n '/^## What the tests prove/,/^## /p' docs/testing.md | grep '^| `' | cut -d'|' -f2 | grep -o '`[^`]*`' | tr -d '`'); do
    pattern="^$(sed 's/[.]/[.]/g; s/[*]/.*/g; s/[Nn]$/[0-9]+/; s/\([Yy]arnlet\)N/\1[0-9]+/g' <<<"$name")\$"
    grep -qE "$pattern" <<<"$listed"$'\n'"$added" || fail "docs/testing.md names $name, which is no test"
done

# The README's run, of the game it names: its lines, but the answers and
# the "...", are lines of tests/expected, in order.
run=$(sed -n '/^## A run/,/^## /p' README.md)
game=$(grep -o -m1 '`yarnlet[0-9]*`' <<<"$run" | tr -d '`')
sed -n '/^```text/,/^```$/p' <<<"$run" | sed '1d; $d' | grep -v -e '^> ' -e '^\.\.\.$' |
    awk 'NR == FNR { want[n++] = $0; next } i < n && $0 == want[i + 0] { i++ } END { exit i < n }' - \
        "tests/expected/$game.txt" || fail "README.md: the run is not, line for line, tests/expected/$game.txt"

# A game's length is its pauses when no answer comes: each sleep of it,
# made instant and logged.
for said in "$@"; do
    IFS=: read -r name questions seconds program <<<"$said"
    asked=$(($(grep -c ' read$' "tests/expected/$name.waits") - 1))
    [ "$asked" = "$questions" ] || fail "cmake/games.cmake: $name asks $questions questions; it asks $asked"
    LD_PRELOAD=$shim YARNLET_SLEEP_LOG=$work/$name.sleeps "$program" </dev/null >/dev/null
    lasts=$(awk '{ ns += $1 } END { printf "%.0f", ns / 1e9 }' "$work/$name.sleeps")
    [ "$lasts" = "$seconds" ] || fail "cmake/games.cmake: $name lasts $seconds seconds; its pauses take $lasts"
done

# The counts, a sentence at a time (one may run over a line end), in
# whatever ships or is read: not the changelog's history, nor the games'
# own texts, nor this file's examples above.
games=$#
words=(zero one two three four five six seven eight nine ten eleven twelve)
number='([0-9]+|zero|one|two|three|four|five|six|seven|eight|nine|ten|eleven|twelve)'
for f in $(grep -rlIi --exclude-dir={.git,build,dist,node_modules,expected,programs} \
    --exclude=CHANGELOG.md --exclude=package-lock.json --exclude="$(basename "$0")" -e yarnlet -e games .); do
    while read -r said; do
        case ${said,,} in
            series\ of\ *) n=${said##* } ;;
            *games) n=${said%% *} ;;
            *) n=${said##*yarnlet} ;;
        esac
        n=${n,,}
        for i in "${!words[@]}"; do [ "${words[i]}" = "$n" ] && n=$i; done
        [ "$n" = "$games" ] || fail "${f#./}: \"$said\", of $games games"
    done < <(tr -s ' \n' '  ' <"$f" |
        grep -oiE "series of $number|\b$number( [a-z-]+)? games|yarnlet1[.a-z\`]* to \`?yarnlet[0-9]+" || true)
done
exit $status
