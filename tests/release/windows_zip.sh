# The Windows zip: packed from the Windows build tree and unpacked; quibbet.exe carries the icon at
# every size and the project's version as resources and imports only system DLLs, the music tool
# tells the same version, and the unpacked game starts under wine to its question and window.
# Usage: windows_zip.sh VERSION WINDOWS_BUILD_DIR CLOSER
. "$(dirname "$0")/../e2e_window/e2e_lib.sh"

version=$1 build=$2 closer=$3
here=$(dirname "$0")
need_tools cpack unzip wrestool icotool strings od wine
[ -f "$build/CPackConfig.cmake" ] || skip "no Windows build at $build (build the windows preset first)"

cpack --config "$build/CPackConfig.cmake" -B "$WORK_DIR/pack" >"$WORK_DIR/cpack.log" 2>&1 ||
    fail "cpack: $(tail -n 5 "$WORK_DIR/cpack.log")"
name="quibbet-$version-windows-x64"
zip="$WORK_DIR/pack/$name.zip"
[ -f "$zip" ] || fail "no $zip: $(ls "$WORK_DIR/pack")"
echo "$name.zip: $(stat -c %s "$zip") bytes"
unzip -q "$zip" -d "$WORK_DIR/unpacked" || fail "cannot unpack $zip"
dir="$WORK_DIR/unpacked/$name"
for file in quibbet.exe quibbet-xm.exe README.txt LICENSE.txt NOTICES.txt; do
    [ -s "$dir/$file" ] || fail "$file is not in the zip"
done
exe="$dir/quibbet.exe"

# Explorer shows the first icon group and the version block.
wrestool -x --type=14 "$exe" >"$WORK_DIR/icon.ico" 2>/dev/null || fail "no icon group in quibbet.exe"
sizes=$(icotool -l "$WORK_DIR/icon.ico" | sed -n 's/.*--width=\([0-9]*\) --height=\([0-9]*\).*/\1x\2/p' | tr '\n' ' ')
echo "icon sizes: $sizes"
[ "$sizes" = "16x16 24x24 32x32 48x48 64x64 256x256 " ] || fail "icon group holds $sizes"
wrestool -x --raw --type=16 "$exe" >"$WORK_DIR/version.res" 2>/dev/null
[ -s "$WORK_DIR/version.res" ] || fail "no version resource in quibbet.exe"
strings -el "$WORK_DIR/version.res" >"$WORK_DIR/version.txt"
for field in FileVersion ProductVersion; do
    [ "$(grep -A1 -x "$field" "$WORK_DIR/version.txt" | tail -n 1)" = "$version" ] ||
        fail "$field is not $version: $(tr '\n' ' ' <"$WORK_DIR/version.txt")"
done
grep -qx Quibbet "$WORK_DIR/version.txt" || fail "the version resource does not name Quibbet"
# The numeric version that the file's properties show: the fixed block after its signature, as
# little-endian words major.minor and patch.0.
IFS=. read -r major minor patch <<<"$version"
le16() { printf '%02x%02x' $(($1 & 255)) $(($1 >> 8)); }
fixed="bd04effe00000100$(le16 "$minor")$(le16 "$major")0000$(le16 "$patch")"
od -An -tx1 -v "$WORK_DIR/version.res" | tr -d ' \n' | grep -q "$fixed" || fail "the fixed file version is not $version"
echo "version resource: $version"
bash "$here/../e2e_window/exe_imports.sh" "$exe" || fail "quibbet.exe imports more than system DLLs"

# A prefix of this test's own, so that its wine server is not the window test's.
export QUIBBET_BUILD="${QUIBBET_BUILD:-$WORK_DIR}/release-zip"
mkdir -p "$QUIBBET_BUILD"
bash "$here/../e2e_window/wine_window.sh" "$exe" "$closer"
status=$?
[ "$status" -eq 77 ] && skip "wine cannot run the game here"
[ "$status" -eq 0 ] || fail "the unpacked quibbet.exe did not come to its question and window"

export WINEPREFIX="$QUIBBET_BUILD/wineprefix-e2e-window" WINEDEBUG=-all
wine_settings_clear
stop_wineserver() { wineserver -k 2>/dev/null; }
cleanup_hooks+=(stop_wineserver)
said=$(wine "$dir/quibbet-xm.exe" --version 2>/dev/null | tr -d '\r')
[ "$said" = "quibbet-xm $version" ] || fail "quibbet-xm.exe --version says: $said"
echo "quibbet-xm.exe: $said"
