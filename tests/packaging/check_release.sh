#!/usr/bin/env bash
# ./release, twice, from two clones of the last commit at different paths,
# at different times, in different time zones and under different umasks:
# the artefacts must be the same bytes. Then the one set is checked as a
# distribution would check it (lintian, hardening-check, the desktop and
# AppStream validators), and a game is played from the unpacked package.
# Usage: check_release.sh SOURCE_DIR VERSION INSTANT_SLEEP_LIBRARY
set -euo pipefail
src=$1 version=$2 instant_sleep=$3

missing=""
for tool in git lintian hardening-check desktop-file-validate appstreamcli dh dpkg-buildpackage \
    x86_64-w64-mingw32-g++-posix emcc; do
    command -v "$tool" >/dev/null || missing+=" $tool"
done
if [ -n "$missing" ]; then
    echo "skipped: missing$missing (.ci/run installs them)"
    exit 77
fi
git -C "$src" rev-parse --verify -q HEAD >/dev/null || { echo "skipped: $src is not a git checkout"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }

git clone -q "$src" "$work/a"
git clone -q "$src" "$work/b/somewhere/much/deeper/yarnlet"
(cd "$work/a" && TZ=Pacific/Kiritimati ./release >"$work/a.log" 2>&1) || { cat "$work/a.log"; exit 1; }
(cd "$work/b/somewhere/much/deeper/yarnlet" && umask 077 && TZ=America/Adak ./release >"$work/b.log" 2>&1) ||
    { cat "$work/b.log"; exit 1; }
dist=$work/a/dist
deb=$dist/yarnlet_${version}_$(dpkg --print-architecture).deb
expected="SHA256SUMS yarnlet-$version-windows-x64.zip yarnlet-$version-web.zip yarnlet-$version.tar.gz $(basename "$deb")"
[ "$(cd "$dist" && ls | sort | xargs)" = "$(xargs -n 1 <<<"$expected" | sort | xargs)" ] ||
    fail "dist/ holds: $(ls "$dist" | xargs)"
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "sha256sum -c SHA256SUMS"
for f in "$dist"/*; do
    cmp -s "$f" "$work/b/somewhere/much/deeper/yarnlet/dist/$(basename "$f")" ||
        fail "$(basename "$f") differs between the two builds"
done
echo "reproducible:"
(cd "$dist" && cat SHA256SUMS)

# The source: the commit and the generated Debian changelog, nothing else.
tar -tzf "$dist/yarnlet-$version.tar.gz" >"$work/tar.list"
grep -E "^yarnlet-$version/(\.git|build|dist)(/|$)" "$work/tar.list" && fail "the tarball holds .git, build or dist"
grep -qx "yarnlet-$version/debian/changelog" "$work/tar.list" || fail "the tarball has no debian/changelog"

# The package, as Debian checks it. Anything lintian says is listed; an
# error or a warning fails.
lintian --pedantic -I -E --fail-on error,warning "$deb" || fail "lintian"
dpkg -x "$deb" "$work/root"
for n in 1 2 3 4; do
    for f in usr/games/yarnlet$n usr/share/man/man6/yarnlet$n.6.gz usr/share/applications/yarnlet$n.desktop; do
        [ -f "$work/root/$f" ] || fail "package: no $f"
    done
    hardening-check "$work/root/usr/games/yarnlet$n" >"$work/hardening" || true
    for feature in "Position Independent Executable" "Stack protected" "Read-only relocations" "Immediate binding"; do
        grep -q "^ $feature: yes" "$work/hardening" || fail "yarnlet$n: $(grep "$feature" "$work/hardening")"
    done
done
cat "$work/hardening"
for f in copyright changelog.gz; do
    [ -f "$work/root/usr/share/doc/yarnlet/$f" ] || fail "package: no usr/share/doc/yarnlet/$f"
done
desktop-file-validate "$work"/root/usr/share/applications/*.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$work"/root/usr/share/metainfo/*.xml || fail "appstreamcli validate"

out=$(printf 'home\npizza\nhappy\nthe attic\n3\nfine\n' | LD_PRELOAD="$instant_sleep" "$work/root/usr/games/yarnlet2")
story="I was back at home. Man, that was terrible. I needed to eat something, so I got pizza out of the fridge. It made me feel happy. After that, I headed to the attic, and sat there. Then, 3 hour(s) later, I got back up, and went to bed."
grep -qxF "$story" <<<"$out" || fail "yarnlet2 from the package did not tell its story: $out"

# The Windows zip: the games, the README and the licence, for Notepad.
unzip -Z1 "$dist/yarnlet-$version-windows-x64.zip" >"$work/zip.list"
folder=yarnlet-$version-windows-x64
[ "$(xargs <"$work/zip.list")" = "$folder/LICENSE.txt $folder/README.txt $(printf "$folder/yarnlet%s.exe " 1 2 3 4 | xargs)" ] ||
    fail "the zip holds: $(xargs <"$work/zip.list")"
unzip -q "$dist/yarnlet-$version-windows-x64.zip" -d "$work/zip"
for f in README.txt LICENSE.txt; do
    [ "$(grep -c $'\r$' "$work/zip/$folder/$f")" = "$(wc -l <"$work/zip/$folder/$f")" ] ||
        fail "$f in the zip does not end every line with CR LF"
done

# The site: at the zip's root, and every file of it kept offline by its
# service worker, which lists exactly the others.
unzip -q "$dist/yarnlet-$version-web.zip" -d "$work/web"
(cd "$work/web" && LC_ALL=C ls | grep -vx sw.js) >"$work/web.list"
sed -n "s/^  '\(.*\)',\$/\1/p" "$work/web/sw.js" | LC_ALL=C sort >"$work/sw.list"
cmp -s "$work/web.list" "$work/sw.list" || fail "the web zip holds $(xargs <"$work/web.list"); its service worker keeps $(xargs <"$work/sw.list")"
for f in index.html yarnlet1.html yarnlet4.wasm manifest.webmanifest; do
    [ -f "$work/web/$f" ] || fail "the web zip has no $f at its root"
done
exit $status
