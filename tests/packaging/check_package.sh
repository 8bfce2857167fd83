#!/usr/bin/env bash
# Installs from a build folder, builds the Debian package from it, unpacks
# the package into a scratch root and plays a game from there.
# Usage: check_package.sh BUILD_DIR VERSION INSTANT_SLEEP_LIBRARY
set -euo pipefail
build=$1 version=$2 instant_sleep=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }

cmake --install "$build" --prefix "$work/inst" >/dev/null
for n in 1 2 3 4; do
    [ -x "$work/inst/bin/yarnlet$n" ] || fail "cmake --install: no bin/yarnlet$n"
    [ -f "$work/inst/share/man/man6/yarnlet$n.6" ] || fail "cmake --install: no share/man/man6/yarnlet$n.6"
done

(cd "$build" && cpack -G DEB -B "$work/pkg") >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/pkg/*.deb)
[ "$(dpkg-deb -f "$deb" Package)" = yarnlet ] || fail "package name: $(dpkg-deb -f "$deb" Package)"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version: $(dpkg-deb -f "$deb" Version)"
dpkg-deb -f "$deb" Description | grep -q "fill-in-the-blanks" || fail "no description"

dpkg -x "$deb" "$work/root"
for n in 1 2 3 4; do
    [ -x "$work/root/usr/bin/yarnlet$n" ] || fail "package: no usr/bin/yarnlet$n"
    [ -f "$work/root/usr/share/man/man6/yarnlet$n.6" ] || fail "package: no usr/share/man/man6/yarnlet$n.6"
done

# Played from the unpacked package, its pauses made instant.
out=$(printf 'home\npizza\nhappy\nthe attic\n3\nfine\n' | LD_PRELOAD="$instant_sleep" "$work/root/usr/bin/yarnlet2")
story="I was back at home. Man, that was terrible. I needed to eat something, so I got pizza out of the fridge. It made me feel happy. After that, I headed to the attic, and sat there. Then, 3 hour(s) later, I got back up, and went to bed."
grep -qxF "$story" <<<"$out" || fail "yarnlet2 from the package did not tell its story: $out"
[ "$(tail -n 1 <<<"$out")" = "Awesome. Closing the program now." ] || fail "yarnlet2 from the package did not finish"
echo "package $(basename "$deb") installs and plays"
