#!/usr/bin/env bash
# cmake --install into a user's own prefix: the games in bin/ (or where
# the build was told, games/ for a Debian package), beside their manual
# pages, desktop entries and software-centre listing.
# Usage: check_install.sh BUILD_DIR [BINDIR]
set -euo pipefail
bin=${2:-bin}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$1" --prefix "$work" >/dev/null
status=0
for f in share/metainfo/invalid.yarnlet.yarnlet.metainfo.xml \
    share/icons/hicolor/scalable/apps/yarnlet.svg "$bin"/yarnlet{1,2,3,4} share/man/man6/yarnlet{1,2,3,4}.6 share/applications/yarnlet{1,2,3,4}.desktop; do
    [ -f "$work/$f" ] || { echo "cmake --install: no $f"; status=1; }
done
for n in 1 2 3 4; do
    [ -x "$work/$bin/yarnlet$n" ] || { echo "cmake --install: $bin/yarnlet$n is not executable"; status=1; }
done
exit $status
