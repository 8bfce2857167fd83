#!/usr/bin/env bash
# cmake --install into a user's own prefix: the games in bin/ (or where
# the build was told, games/ for a Debian package), beside their manual
# pages, desktop entries and software-centre listing. And a player's
# build, the tests off, makes the games and nothing else: no benchmark or
# test support, which need more than a player's system may have.
# Usage: check_install.sh SOURCE_DIR BUILD_DIR BINDIR GAME...
set -euo pipefail
src=$1 build=$2 bin=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
status=0

# What the player's build would run, unrun: Ninja lists its commands.
if command -v ninja >/dev/null; then
    cmake -S "$src" -B "$work/play" -G Ninja -DYARNLET_BUILD_TESTS=OFF >/dev/null
    commands=$(ninja -C "$work/play" -t commands)
    compiled=$(grep -oE " -c [^ ]+" <<<"$commands" |
        grep -vE " -c $src/(kit/[a-z_]+|programs/yarnlet[0-9]+/main)[.]cpp$" || true)
    [ -z "$compiled" ] || { echo "the player's build compiles more than the kit and the games:$compiled"; status=1; }
    linked=$(grep -oE " -o [^ ]+" <<<"$commands" | grep -vE "[.](o|a)$" | sed 's/^ -o //' | sort | xargs)
    [ "$linked" = "$(printf 'programs/%s\n' "$@" | sort | xargs)" ] || { echo "the player's build links $linked"; status=1; }
else
    echo "skipped: the player's build is not checked: it needs ninja"
fi
for f in share/metainfo/invalid.yarnlet.yarnlet.metainfo.xml share/icons/hicolor/scalable/apps/yarnlet.svg; do
    [ -f "$prefix/$f" ] || { echo "cmake --install: no $f"; status=1; }
done
for game in "$@"; do
    for f in "$bin/$game" "share/man/man6/$game.6" "share/applications/$game.desktop"; do
        [ -f "$prefix/$f" ] || { echo "cmake --install: no $f"; status=1; }
    done
    [ -x "$prefix/$bin/$game" ] || { echo "cmake --install: $bin/$game is not executable"; status=1; }
done
exit $status
