# The Debian package: packed from this build tree, checked by lintian, installed into a fresh root
# (with the dependencies it names satisfied here), where the game and the tool are found on the
# PATH with one version, the game starts to its window, and the desktop entry, the metainfo and the
# icons validate; removing it leaves the root empty.
# Usage: deb_package.sh VERSION CLOSER
. "$(dirname "$0")/../e2e_window/e2e_lib.sh"

version=$1 closer=$2
need_tools cpack dpkg dpkg-deb fakeroot dpkg-checkbuilddeps lintian desktop-file-validate update-desktop-database appstreamcli identify
[ -f "$QUIBBET_BUILD/CPackConfig.cmake" ] || skip "no CPack configuration in $QUIBBET_BUILD"

cpack --config "$QUIBBET_BUILD/CPackConfig.cmake" -G DEB -B "$WORK_DIR/pack" >"$WORK_DIR/cpack.log" 2>&1 ||
    fail "cpack: $(tail -n 5 "$WORK_DIR/cpack.log")"
deb="$WORK_DIR/pack/quibbet_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $deb: $(ls "$WORK_DIR/pack")"
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"

lintian --fail-on none "$deb" >"$WORK_DIR/lintian.log" 2>&1
grep -v '^running with root' "$WORK_DIR/lintian.log"
! grep -q '^E:' "$WORK_DIR/lintian.log" || fail "lintian reports errors"

# shlibdeps found the shared libraries, and this machine satisfies every dependency.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
[[ $depends == *libsdl2-2.0-0* && $depends == *liblodepng0* ]] || fail "SDL2 or LodePNG missing from Depends"
printf 'Source: quibbet\n\nPackage: quibbet\nArchitecture: any\n' >"$WORK_DIR/control"
dpkg-checkbuilddeps -d "$depends" "$WORK_DIR/control" || fail "the dependencies are not met here"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"

root="$WORK_DIR/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# Without root rights, files owned by root can only be unpacked under fakeroot.
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(fakeroot)
in_root_dpkg() { "${as_root[@]}" dpkg --root="$root" --log="$WORK_DIR/dpkg.log" --force-depends --force-not-root "$@"; }
in_root_dpkg -i "$deb" >"$WORK_DIR/install.log" 2>&1 || fail "dpkg -i: $(tail -n 5 "$WORK_DIR/install.log")"

PATH="$root/usr/games:$root/usr/bin:$PATH"
for program in quibbet quibbet-xm quibbet-server; do
    [ "$(command -v "$program")" = "$root/usr/games/$program" ] || fail "$program is not on the PATH from the package"
done
[ "$(quibbet-xm --version)" = "quibbet-xm $version" ] || fail "quibbet-xm --version says: $(quibbet-xm --version)"
[ "$(quibbet-server --version)" = "quibbet-server $version" ] || fail "quibbet-server --version says: $(quibbet-server --version)"
unit="$root/usr/lib/systemd/system/quibbet-server.service"
grep -qx "ExecStart=/usr/games/quibbet-server \$QUIBBET_SERVER_OPTIONS" "$unit" || fail "the server's unit does not start it"

share="$root/usr/share"
desktop-file-validate "$share/applications/quibbet.desktop" || fail "desktop entry does not validate"
grep -qx 'Categories=Game;ArcadeGame;' "$share/applications/quibbet.desktop" || fail "desktop entry categories"
# A click on a room's link opens the game with it: the desktop's database gives both schemes to the entry,
# whose command takes the link. Built in a copy, so the root is left as the package made it.
grep -qx 'Exec=quibbet %u' "$share/applications/quibbet.desktop" || fail "the desktop entry does not pass a link on"
cp -r "$share/applications" "$WORK_DIR/applications"
update-desktop-database "$WORK_DIR/applications" || fail "update-desktop-database refused the entry"
for scheme in quibbet quibbets; do
    grep -qx "x-scheme-handler/$scheme=quibbet.desktop;" "$WORK_DIR/applications/mimeinfo.cache" ||
        fail "$scheme:// links are not handed to the game: $(cat "$WORK_DIR/applications/mimeinfo.cache")"
done
metainfo=("$share"/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "${metainfo[@]}" || fail "metainfo does not validate"
grep -q "<release version=\"$version\"" "${metainfo[@]}" || fail "metainfo names no release $version"
for size in 16 22 24 32 48 64 128 256; do
    icon="$share/icons/hicolor/${size}x$size/apps/quibbet.png"
    [ "$(identify -format '%wx%h %[channels]' "$icon" 2>/dev/null)" = "${size}x$size srgba" ] ||
        fail "$icon is not a ${size}x$size RGBA image"
done
for page in man6/quibbet.6.gz man1/quibbet-xm.1.gz man1/quibbet-server.1.gz; do
    gzip -t "$share/man/$page" || fail "manual page $page is missing or broken"
done
for doc in copyright NOTICES; do
    [ -s "$share/doc/quibbet/$doc" ] || fail "no $doc in the package"
done
echo "installed: game, tool and server on the PATH, version $version, the server's unit, entry (with the room links), metainfo, 8 icons, manual pages"

# The installed game to its window, as the window test starts the built one.
bash "$(dirname "$0")/../e2e_window/sdl_window.sh" yes "$(command -v quibbet)" "$closer"
status=$?
[ "$status" -eq 77 ] && skip "the window test cannot run here"
[ "$status" -eq 0 ] || fail "the installed game did not come to its window"

in_root_dpkg -r quibbet >"$WORK_DIR/remove.log" 2>&1 || fail "dpkg -r: $(tail -n 5 "$WORK_DIR/remove.log")"
left=$(find "$root" -mindepth 1 -not -path "$root/var*")
[ -z "$left" ] || fail "left after removal: $left"
echo "removed: nothing left"
