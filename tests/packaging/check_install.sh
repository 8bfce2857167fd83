#!/usr/bin/env bash
# cmake --install into a user's own prefix: the games in bin/ (or where
# the build was told, games/ for a Debian package), beside their manual
# pages, desktop entries and software-centre listing.
# Usage: check_install.sh BUILD_DIR BINDIR GAME...
set -euo pipefail
build=$1 bin=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work" >/dev/null
status=0
for f in share/metainfo/invalid.yarnlet.yarnlet.metainfo.xml share/icons/hicolor/scalable/apps/yarnlet.svg; do
    [ -f "$work/$f" ] || { echo "cmake --install: no $f"; status=1; }
done
for game in "$@"; do
    for f in "$bin/$game" "share/man/man6/$game.6" "share/applications/$game.desktop"; do
        [ -f "$work/$f" ] || { echo "cmake --install: no $f"; status=1; }
    done
    [ -x "$work/$bin/$game" ] || { echo "cmake --install: $bin/$game is not executable"; status=1; }
done
exit $status
