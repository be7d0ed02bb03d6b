#!/usr/bin/env bash
# Checks of the desktop integration files and of the Windows resources.
#
#   check_assets.sh desktop <file.desktop>
#   check_assets.sh metainfo <file.metainfo.xml>
#   check_assets.sh tree <build dir> <scratch dir>
#   check_assets.sh rc <vemo2.rc> <folder with vemo2.ico> <folder with the sounds> <scratch dir>
set -euo pipefail

app_id=io.github.vemo2.Vemo2
need() { command -v "$1" >/dev/null || { echo "SKIP: $1 is not installed${2:+ ($2)}"; exit 77; }; }
fail() { echo "FAIL: $*"; exit 1; }

case "${1:?what to check}" in
desktop)
    need desktop-file-validate desktop-file-utils
    desktop-file-validate "$2"
    # What a menu shows and starts; the window class the desktop matches the window by.
    for line in "Name=Vemo2" "Exec=vemo2" "Icon=$app_id" "Categories=Utility;Clock;" \
                "StartupWMClass=vemo2" "Type=Application"; do
        grep -qxF "$line" "$2" || fail "no line $line"
    done
    grep -q '^Comment=.*[çğışöüÇĞİŞÖÜ]' "$2" || fail "the Comment is not Turkish"
    ;;
metainfo)
    need appstreamcli appstream
    appstreamcli validate --no-net "$2"
    grep -q "<id>$app_id</id>" "$2" || fail "wrong component id"
    grep -q '<release version="1.00"' "$2" || fail "no release 1.00"
    grep -q '<launchable type="desktop-id">'"$app_id"'.desktop</launchable>' "$2" ||
        fail "no launchable"
    grep -q '<summary xml:lang="tr">' "$2" || fail "no Turkish summary"
    ;;
tree)
    build=$2
    prefix=$(mktemp -d "$3/prefix.XXXXXX")
    trap 'rm -rf "$prefix"' EXIT
    cmake --install "$build" --prefix "$prefix" >/dev/null
    for file in bin/vemo2 share/applications/$app_id.desktop \
                share/icons/hicolor/48x48/apps/$app_id.png \
                share/icons/hicolor/scalable/apps/$app_id.svg share/metainfo/$app_id.metainfo.xml; do
        [ -f "$prefix/$file" ] || fail "$file is not installed"
        echo "installed: $file"
    done
    [ -x "$prefix/bin/vemo2" ] || fail "bin/vemo2 is not executable"
    file_size=$(identify -format '%wx%h' "$prefix/share/icons/hicolor/48x48/apps/$app_id.png" 2>/dev/null || echo 48x48)
    [ "$file_size" = 48x48 ] || fail "the PNG icon is $file_size"
    grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg" || fail "the SVG icon is no SVG"
    if grep -q 'vemo2/media' "$build/cmake_install.cmake" "$build"/*/cmake_install.cmake 2>/dev/null; then
        count=$(find "$prefix/share/vemo2/media" -name '*.wav' 2>/dev/null | wc -l)
        [ "$count" -ge 1 ] || fail "no sounds in share/vemo2/media"
        echo "installed: $count sounds in share/vemo2/media"
    else
        echo "no install rules for the sounds yet: share/vemo2/media not checked"
    fi
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$prefix/share/applications/$app_id.desktop"
    fi
    ;;
rc)
    need x86_64-w64-mingw32-windres binutils-mingw-w64-x86-64
    rc=$2 icons=$3 media=$4
    [ -f "$icons/vemo2.ico" ] || fail "$icons/vemo2.ico has not been rendered"
    out=$(mktemp -d "$5/rc.XXXXXX")
    trap 'rm -rf "$out"' EXIT
    # No mingw compiler needed: the script uses no Windows header, so the host's C
    # preprocessor does.
    windres=(x86_64-w64-mingw32-windres --preprocessor=cpp --preprocessor-arg=-DRC_INVOKED
             -I "$icons" -I "$media")
    "${windres[@]}" -i "$rc" -O coff -o "$out/vemo2.res.o"
    "${windres[@]}" -i "$rc" -O res -o "$out/vemo2.res"
    # Read back: the version record and the icon group as the compiler stored them.
    x86_64-w64-mingw32-windres -i "$out/vemo2.res" -O rc -o "$out/back.rc"
    for want in 'FILEVERSION 1, 0, 0, 0' 'PRODUCTVERSION 1, 0, 0, 0' 'BLOCK "040904B0"' \
                'VALUE "FileVersion", "1.00"' 'VALUE "ProductVersion", "1.00"' \
                'VALUE "ProductName", "VEMO2"' 'VALUE "InternalName", "VEMO2"' \
                'VALUE "OriginalFilename", "VEMO2.exe"' 'VALUE "Translation", 0x409, 1200' \
                'RT_GROUP_ICON'; do
        grep -qF "$want" "$out/back.rc" || { sed -n '/VERSIONINFO/,$p' "$out/back.rc"; fail "no $want"; }
    done
    [ "$(grep -c 'RT_ICON \*/' "$out/back.rc")" -ge 3 ] || fail "fewer than three icon pictures"
    for sound in TICK RINGIN RINGOUT DEFAULT; do
        grep -qF "\"$sound\" \"WAVE\"" "$out/back.rc" || fail "no sound $sound"
    done
    echo "vemo2.rc compiles; version record, icon and the four sounds read back"
    ;;
*)
    fail "unknown check $1"
    ;;
esac
