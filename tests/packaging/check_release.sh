#!/usr/bin/env bash
# ./release, twice, from two clones of the last commit at different paths,
# at different times, in different time zones and under different umasks:
# the artefacts must be the same bytes. Then the one set is checked as a
# distribution would check it (lintian, hardening-check, the desktop and
# AppStream validators, autopkgtest in a throwaway root), yarnlet2 is
# played from each Raspberry Pi package under qemu, and the Windows
# installer is put through its paces under wine. And ./check passes from
# the source tarball on a fresh Debian 12 and 13 holding only what
# README.md says it needs; and in another Debian 13, the web edition is
# built with its emscripten and played in its Chromium.
# Usage: check_release.sh SOURCE_DIR VERSION CACHE_DIR TIMED_GAME
#   CACHE_DIR keeps autopkgtest's root file system from run to run;
#   TIMED_GAME is the built yarnlet_timed_game (tests/tools/timed_game.cpp).
set -euo pipefail
src=$1 version=$2 cache=$3 timed=$4
here=$(cd "$(dirname "$0")" && pwd)
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)

missing=""
for tool in git lintian hardening-check desktop-file-validate appstreamcli dh dpkg-buildpackage \
    x86_64-w64-mingw32-g++-posix emcc aarch64-linux-gnu-g++ arm-linux-gnueabihf-g++ qemu-aarch64 qemu-arm \
    strace autopkgtest mmdebstrap newuidmap wixl msiinfo tmux "$wine"; do
    command -v "$tool" >/dev/null || missing+=" $tool"
done
[ -d "$src/node_modules/puppeteer-core" ] || missing+=" npm ci"
if [ -n "$missing" ]; then
    echo "skipped: it needs$missing (.ci/run installs them)"
    exit 77
fi
# autopkgtest's root is unpacked in a user namespace of its own.
if ! grep -q "^$(id -un):" /etc/subuid; then
    echo "skipped: /etc/subuid has no ids for $(id -un) (.ci/run adds them)"
    exit 77
fi
git -C "$src" rev-parse --verify -q HEAD >/dev/null || { echo "skipped: $src is not a git checkout"; exit 77; }

games=$(cd "$src/tests/expected" && ls yarnlet*.in | sed 's/[.]in$//')
work=$(mktemp -d)
# A root still waiting for the source is told to stop, and waited for; a
# window held open is closed.
trap '[ -e "$work/go" ] || echo stop >"$work/go"; wait; tmux -S "$work/tmux" kill-server 2>/dev/null || true; rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }

git clone -q "$src" "$work/a"
git clone -q "$src" "$work/b/somewhere/much/deeper/yarnlet"

# Fresh roots of Debian 12 and 13, made by mmdebstrap: ./check in two with
# CMake, Ninja, g++ and GoogleTest, the tools README.md names, and nothing
# else, where whatever more a preset or a test needs must skip with a
# word; and, in a third, the web edition built with Debian 13's
# emscripten and played in its Chromium, byte for byte, with the node
# packages of this checkout. Everything here shares the two cores, so its
# games are not held to a bound on how much longer than their pauses they
# may take (the web preset's own run is): they say it. Each root waits for
# the source tarball, unpacked once the releases are made, and for the
# word to go on.
fresh() {
    local log=$1 suite=$2 tools=$3 command=$4
    shift 4
    mmdebstrap --variant=minbase --include="$tools" \
        --customize-hook="until [ -e $work/go ]; do sleep 1; done; grep -qx go $work/go" \
        --customize-hook="copy-in $work/source/yarnlet-$version /" "$@" \
        --customize-hook="chroot \"\$1\" sh -c 'cd /yarnlet-$version && $command'" \
        "$suite" /dev/null >"$work/$log" 2>&1
}
# The web edition's root (3 GB, mostly emscripten's) and autopkgtest's
# testbed, if there is none yet (a bookworm made once, with dpkg-dev to
# unpack the source tree), are made while the releases build: they wait
# on the network and on dpkg, where the releases keep the processor busy.
web='cmake --preset web -DYARNLET_WEB_PACING_BOUND=OFF && cmake --build --preset web && ctest --preset web -V'
fresh web13.log trixie cmake,ninja-build,emscripten,chromium,python3 "emcc --version | head -n 1 && $web" \
    --customize-hook="copy-in $src/node_modules /yarnlet-$version" &
web13=$!
release=$(. /etc/os-release && echo "$VERSION_CODENAME")
testbed=$cache/autopkgtest-$release.tar
if [ ! -f "$testbed" ]; then
    rm -f "$testbed.part.tar"
    # (mmdebstrap makes a tarball of a name that ends in .tar.)
    mmdebstrap --variant=apt --include=apt-utils,dpkg-dev "$release" "$testbed.part.tar" >"$work/testbed.log" 2>&1 &
    made=$!
fi
(cd "$work/a" && TZ=Pacific/Kiritimati ./release >"$work/a.log" 2>&1) || { cat "$work/a.log"; exit 1; }
(cd "$work/b/somewhere/much/deeper/yarnlet" && umask 077 && TZ=America/Adak ./release >"$work/b.log" 2>&1) ||
    { cat "$work/b.log"; exit 1; }
dist=$work/a/dist
expected="SHA256SUMS yarnlet-$version-windows-x64.zip yarnlet-$version-windows-x64.msi yarnlet-$version-web.zip yarnlet-$version.tar.gz
    yarnlet_${version}_$(dpkg --print-architecture).deb yarnlet_${version}_arm64.deb yarnlet_${version}_armhf.deb"
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

# The packages, as Debian checks them. Anything lintian says fails them,
# down to its pedantic remarks, but what debian/yarnlet.lintian-overrides
# explains.
for arch in "$(dpkg --print-architecture)" arm64 armhf; do
    deb=$dist/yarnlet_${version}_$arch.deb
    root=$work/root-$arch
    echo "lintian, $arch:"
    lintian --pedantic -I -E --fail-on error,warning,info,pedantic "$deb" || fail "lintian on the $arch package"
    [ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] || fail "the $arch package is for $(dpkg-deb -f "$deb" Architecture)"
    dpkg -x "$deb" "$root"
    for game in $games; do
        for f in usr/games/$game usr/share/man/man6/$game.6.gz usr/share/applications/$game.desktop; do
            [ -f "$root/$f" ] || fail "$arch package: no $f"
        done
        hardening-check "$root/usr/games/$game" >"$work/hardening-$arch" 2>/dev/null || true
        for feature in "Position Independent Executable" "Stack protected" "Read-only relocations" "Immediate binding"; do
            grep -q "^ $feature: yes" "$work/hardening-$arch" || fail "$arch $game: $(grep "$feature" "$work/hardening-$arch")"
        done
    done
    for f in copyright changelog.gz; do
        [ -f "$root/usr/share/doc/yarnlet/$f" ] || fail "$arch package: no usr/share/doc/yarnlet/$f"
    done
done
echo "hardening-check, arm64:"
cat "$work/hardening-arm64"
root=$work/root-$(dpkg --print-architecture)
desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.xml || fail "appstreamcli validate"

# The Windows zip: the games, a launcher for each, the README and the
# licence, for Notepad and cmd. The launchers and the Start menu's
# shortcuts are named as the desktop entries name the games, in LC_ALL=C
# order here, capitals first.
names=("Yarnlet 2" "Yarnlet 3 - The Finale" "Yarnlet 4" "Yarnlet")
unzip -Z1 "$dist/yarnlet-$version-windows-x64.zip" >"$work/zip.list"
folder=yarnlet-$version-windows-x64
printf "$folder/%s\n" LICENSE.txt README.txt "${names[@]/%/.cmd}" >"$work/zip.expected"
printf "$folder/%s.exe\n" $games >>"$work/zip.expected"
diff "$work/zip.list" "$work/zip.expected" || fail "the zip holds the above"
unzip -q "$dist/yarnlet-$version-windows-x64.zip" -d "$work/zip"
for f in README.txt LICENSE.txt "${names[@]/%/.cmd}"; do
    [ "$(grep -c $'\r$' "$work/zip/$folder/$f")" = "$(wc -l <"$work/zip/$folder/$f")" ] ||
        fail "$f in the zip does not end every line with CR LF"
done

# In real time, side by side: yarnlet2 from each Pi package under qemu,
# with the multiarch C++ runtime, every write and pause of it seen; and
# every game of this machine's package, installed by autopkgtest in its
# throwaway root, as the package's own test plays them. This machine's
# /usr is left as it was.
if [ ! -f "$testbed" ]; then
    wait $made || { cat "$work/testbed.log"; exit 1; }
    mv "$testbed.part.tar" "$testbed"
fi
mkdir -p "$work/source"
tar -xzf "$dist/yarnlet-$version.tar.gz" -C "$work/source"
echo go >"$work/go"
expected=$work/source/yarnlet-$version/tests/expected
"$timed" "$expected/yarnlet2" qemu-aarch64 "$work/root-arm64/usr/games/yarnlet2" >"$work/arm64.log" 2>&1 &
arm64=$!
"$timed" "$expected/yarnlet2" qemu-arm "$work/root-armhf/usr/games/yarnlet2" >"$work/armhf.log" 2>&1 &
armhf=$!
autopkgtest "$dist/yarnlet_${version}_$(dpkg --print-architecture).deb" "$work/source/yarnlet-$version/" \
    -- unshare --tarball "$testbed" --release "$release" >"$work/autopkgtest.log" 2>&1 &
autopkgtest=$!
readme=cmake,ninja-build,g++,libgtest-dev
declare -A checks
fresh check12.log bookworm $readme ./check &
checks[12]=$!
fresh check13.log trixie $readme ./check &
checks[13]=$!
# A game started as the Start menu starts it, through its shortcut, but in
# a console on a terminal, tmux's (tests/windows/start_shortcut.cpp): its
# lines with each answer as the console echoes it, in real time; then the
# window held, saying so, until a key closes it.
shortcut() {
    local lnk=$1 expected=$2 tmux=(tmux -S "$work/tmux" -f /dev/null) start tty shown
    "${tmux[@]}" new-session -d -x 500 -y 50 "$wine" "$work/start_shortcut.exe" "$("$wine" winepath -w "$lnk")" \; \
        set-option remain-on-exit on
    start=$(date +%s%N)
    # Whether the pane shows TEXT, or within a minute and a half will.
    shows() { for _ in $(seq 900); do "${tmux[@]}" capture-pane -p -J -S - | grep -qF -- "$1" && return; sleep 0.1; done; false; }
    # Keys typed before wine's console reads them raw come as the line
    # discipline's, Enter as a line feed that the game never takes for one.
    tty=$("${tmux[@]}" display -p '#{pane_tty}')
    for _ in $(seq 300); do stty -F "$tty" -a | grep -qw -- -icanon && break; sleep 0.1; done
    { cat "$expected.in"; echo fine; } >"$work/answers"
    while IFS= read -r answer; do "${tmux[@]}" send-keys -l -- "$answer" \; send-keys Enter; done <"$work/answers"
    shows "Press any key to continue" || { echo "no prompt to press a key"; return 1; }
    local ran_ms=$((($(date +%s%N) - start) / 1000000))
    sleep 1
    [ "$("${tmux[@]}" display -p '#{pane_dead}')" = 0 ] || { echo "the window closed with the game"; return 1; }
    # (The pane's lines, without the blank ones below them, before the key.)
    shown=$("${tmux[@]}" capture-pane -p -J -S - | awk '/[^ ]/ { last = NR } { line[NR] = $0 } END { for (i = 1; i <= last; i++) print line[i] }')
    "${tmux[@]}" send-keys x
    for _ in $(seq 300); do [ "$("${tmux[@]}" display -p '#{pane_dead}')" = 1 ] && break; sleep 0.1; done
    local closed; closed=$("${tmux[@]}" display -p '#{pane_dead} #{pane_dead_status}')
    [ "$closed" = "1 0" ] || { echo "a key did not close it (dead, status: $closed)"; "${tmux[@]}" capture-pane -p -S - | tail -n 5; return 1; }
    "${tmux[@]}" kill-server
    awk 'FILENAME == ARGV[1] { if ($2 == "read") asks[$1] = 1; next } FILENAME == ARGV[2] { answer[n++] = $0; next }
        { print; if ((FNR - 1) in asks) print answer[k++] }' "$expected.waits" "$work/answers" "$expected.txt" >"$work/echoed"
    diff <(sed '$d' <<<"$shown") "$work/echoed" || { echo "the window showed the above"; return 1; }
    [[ $(tail -n 1 <<<"$shown") == "Press any key to continue"* ]] || { echo "the window ends: $(tail -n 1 <<<"$shown")"; return 1; }
    local pauses_ms=$(($(tr -d '\n' <"$expected.txt" | wc -c) * 50 + $(awk '$2 == "pause" { ms += $3 } END { print ms + 0 }' "$expected.waits")))
    echo "$(basename "$expected") through its shortcut: ran $ran_ms ms, its pauses take $pauses_ms ms; then held until a key"
    [ "$ran_ms" -ge "$pauses_ms" ] || { echo "the run was shorter than its pauses"; return 1; }
}
# The installer under wine, in a prefix of its own: over the last
# release's installer, built here of the same games (a major upgrade); its
# shortcuts, its entry in the installed apps, and yarnlet4 played through
# its shortcut; the earlier version refused; nothing left after the
# uninstall.
installer() {
    export WINEPREFIX=$work/wine WINEDEBUG=-all
    local msi=$dist/$folder.msi older=$work/older.msi programs="$work/wine/drive_c/Program Files/Yarnlet" problem=""
    # The earlier version is the last release, its installer made of these
    # games by that release's own packaging; before a release had one,
    # this packaging's, as 0.1.0.
    local last date commit packaging=$work/source/yarnlet-$version
    read -r last date < <(sed -n 's/^## \[\([0-9.]*\)\] - \([0-9-]*\)$/\1 \2/p' "$packaging/CHANGELOG.md" |
        grep -v "^$version " | head -n 1)
    commit=$(git -C "$work/a" log --format=%H -S"VERSION $last" -- CMakeLists.txt | tail -n 1)
    mkdir "$work/last"
    if git -C "$work/a" archive "$commit" packaging/windows cmake/games.cmake LICENSE 2>/dev/null | tar -x -C "$work/last" &&
        [ -f "$work/last/packaging/windows/msi.cmake" ]; then
        packaging=$work/last
        echo "the earlier version: $last, made by its own packaging (${commit:0:7})"
    else
        last=0.1.0 date=2026-01-01 commit=older
    fi
    cmake -DVERSION="$last" -DCOMMIT="$commit" -DDATE="$date" -DGAMES="$work/zip/$folder" -DOUTPUT="$older" \
        -P "$packaging/packaging/windows/msi.cmake" >/dev/null
    code() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
    # (wine's reg says on standard output that a key is missing.)
    entry() { "$wine" reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$(code "$1")" | tr -d '\r' | grep ' REG_' || true; }
    menu() { find "$work/wine/drive_c" -path '*/Start Menu/Programs/Yarnlet*' -printf '%f\n' | LC_ALL=C sort | tr '\n' /; }
    "$wine" msiexec /i "$older" /qn && [ -n "$(entry "$older")" ] || problem+=", the earlier version did not install"
    "$wine" msiexec /i "$msi" /qn || problem+=", the release did not install over it"
    [ -z "$(entry "$older")" ] || problem+=", the earlier version is still installed"
    for value in "DisplayName REG_SZ Yarnlet" "DisplayVersion REG_SZ $version" "Publisher REG_SZ The Yarnlet authors"; do
        entry "$msi" | tr -s ' ' | grep -qx " $value" || problem+=", no $value in the installed apps"
    done
    [ -f "$work/wine/drive_c/windows/Installer/$(code "$msi")/yarnlet.ico" ] || problem+=", no icon for the installed apps"
    [ "$(menu)" = "Yarnlet/$(printf '%s.lnk/' "${names[@]}")" ] ||
        problem+=", the Start menu holds $(menu)"
    diff -r -x '*.cmd' "$work/zip/$folder" "$programs" ||
        problem+=", Program Files\\Yarnlet is not the zip's folder, its launchers aside"
    x86_64-w64-mingw32-g++-posix -std=c++20 -Wall -Wextra -Werror -municode -O2 -static -s \
        -o "$work/start_shortcut.exe" "$here/../windows/start_shortcut.cpp" -lole32 -luuid
    shortcut "$(find "$work/wine/drive_c" -path '*/Start Menu/Programs/Yarnlet/Yarnlet 4.lnk')" "$expected/yarnlet4" ||
        problem+=", yarnlet4 through its shortcut"
    "$wine" msiexec /i "$older" /qn && problem+=", the earlier version installed over the release"
    entry "$msi" | grep -q "DisplayVersion.*$version" || problem+=", the earlier version replaced the release"
    "$wine" msiexec /x "$msi" /qn || problem+=", the uninstall failed"
    [ ! -e "$programs" ] && [ -z "$(menu)" ] && [ -z "$(entry "$msi")" ] || problem+=", the uninstall left things behind"
    [ -z "$problem" ] || { echo "the installer${problem}"; return 1; }
}
installer >"$work/msi.log" 2>&1 &
installed=$!
wait $arm64 || fail "yarnlet2 for arm64 under qemu"
cat "$work/arm64.log"
wait $armhf || fail "yarnlet2 for armhf under qemu"
cat "$work/armhf.log"
wait $autopkgtest || { cat "$work/autopkgtest.log"; fail "autopkgtest"; }
sed -n '/test play-games: \[-/,$p' "$work/autopkgtest.log"
wait $installed || fail "the Windows installer under wine"
cat "$work/msi.log"
for release in 12 13; do
    wait "${checks[$release]}" || { cat "$work/check$release.log"; fail "./check on a fresh Debian $release"; }
    echo "Debian $release:"
    sed -n '/^check: passed/,/^[^ ]/{/^I: /!p}' "$work/check$release.log"
done
wait $web13 || { cat "$work/web13.log"; fail "the web edition on a fresh Debian 13"; }
echo "The web edition on Debian 13:"
sed -n -e '/^emcc .*Emscripten/p' -e 's/^[0-9]*: \(.* of pauses .*\)/\1/p' -e '/tests passed/p' "$work/web13.log"

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
