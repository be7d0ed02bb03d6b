#!/usr/bin/env bash
# Builds the Debian package with CPack into a scratch folder and checks it: its control fields,
# its files with their owners and modes, the program's hardening, its Depends against the
# libraries the binary needs and the font faces the program maps to, the manual pages, the
# changelog and lintian.
#
#   check_package.sh <cpack> <build dir> <scratch dir> <version> <lintian allowlist> <fonts.cpp>
#                    [<Debian architecture>: this machine's; arm64 for the cross build]
set -euo pipefail

cpack=$1 build=$2 scratch=$3 version=$4 allowed=$5 fonts_source=$6
arch=${7:-$(dpkg --print-architecture)}
need() { command -v "$1" >/dev/null || { echo "SKIP: $1 is not installed ($2)"; exit 77; }; }
fail() { echo "FAIL: $*"; exit 1; }
# A command that fails outside a check says where, rather than ending the script silently.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND"' ERR

need dpkg-deb dpkg
need lintian lintian
need dpkg-shlibdeps dpkg-dev
need dpkg-parsechangelog dpkg-dev
need groff groff-base
need fc-match fontconfig
need hardening-check devscripts

mkdir -p "$scratch"
out=$(mktemp -d "$scratch/deb.XXXXXX")
trap 'rm -rf "$out"' EXIT

"$cpack" --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log"; fail "cpack failed"; }
grep -q 'CMake Warning' "$out/cpack.log" && { cat "$out/cpack.log"; fail "cpack warned"; }
deb=$out/vemo2_${version}_${arch}.deb
[ -f "$deb" ] || { ls "$out"; fail "no $(basename "$deb")"; }
[ "$(find "$out" -maxdepth 1 -name '*.deb' | wc -l)" -eq 1 ] || fail "more than one package"
echo "built $(basename "$deb"), $(stat -c %s "$deb") bytes"

# --- Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vemo2 ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is $(field Architecture)"
[ "$(field Priority)" = optional ] || fail "Priority is $(field Priority)"
[ -n "$(field Section)" ] || fail "no Section"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\ ]+@[^\>\ ]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
[ "$(field Recommends)" = "pulseaudio | pipewire-pulse" ] || fail "Recommends: $(field Recommends)"
[ "$(field Installed-Size)" -gt 0 ] || fail "no Installed-Size"
summary=$(field Description | sed -n 1p)
[ -n "$summary" ] && [ ${#summary} -le 80 ] || fail "summary: '$summary'"
[ "$(field Description | wc -l)" -ge 3 ] || fail "no long description"

depends=$(field Depends)
echo "Depends: $depends"
# Whether Depends names package $1 (with a version when $2 is "versioned").
depends_on() {
    local name tail='( \(|,|$)'
    name=$(sed 's/[.+]/\\&/g' <<<"$1")
    [ "${2:-}" = versioned ] && tail=' \(>= '
    grep -qE "(^|, )$name$tail" <<<"$depends"
}

# --- Files: all under /usr, owned by root, modes 755 for folders and the program, 644 else.
listing=$out/listing
dpkg-deb --fsys-tarfile "$deb" | tar -tvf - --numeric-owner >"$listing"
awk '$2 != "0/0" { print; bad = 1 } END { exit bad }' "$listing" || fail "files not owned by root"
while read -r mode _ _ _ _ path; do
    case "$path" in
    ./usr/ | ./usr/*) ;;
    *) fail "$path is outside /usr" ;;
    esac
    case "$path" in
    ./usr/local/*) fail "$path is under /usr/local" ;;
    */) want=drwxr-xr-x ;;
    ./usr/bin/vemo2) want=-rwxr-xr-x ;;
    *) want=-rw-r--r-- ;;
    esac
    [ "$mode" = "$want" ] || fail "$path has mode $mode, not $want"
done <"$listing"

app=io.github.vemo2.Vemo2
for file in bin/vemo2 share/applications/$app.desktop share/metainfo/$app.metainfo.xml \
            share/icons/hicolor/48x48/apps/$app.png share/icons/hicolor/scalable/apps/$app.svg \
            share/man/man1/vemo2.1.gz share/man/tr/man1/vemo2.1.gz \
            share/doc/vemo2/copyright share/doc/vemo2/changelog.Debian.gz; do
    grep -qF " ./usr/$file" "$listing" || fail "no /usr/$file"
done
sounds=("Windows XP Menü Komutu.wav" ringin.wav ringout.wav default.wav)
for sound in "${sounds[@]}"; do
    grep -qF " ./usr/share/vemo2/media/$sound" "$listing" || fail "no sound $sound"
done
[ "$(grep -c '^-.* \./usr/share/vemo2/media/' "$listing")" -eq ${#sounds[@]} ] ||
    fail "other files in the media folder"

root=$out/root
dpkg-deb -x "$deb" "$root"

# --- The program: stripped, no search path into the build tree, and every library it needs
# owned by a package that Depends names with a version (as dpkg-shlibdeps writes it).
bin=$root/usr/bin/vemo2
readelf -S "$bin" | grep -qE '\.(symtab|debug_info)' && fail "vemo2 is not stripped"
readelf -d "$bin" | grep -qE '\((RPATH|RUNPATH)\)' && fail "vemo2 has a library search path"
# Debian's hardening: a position-independent executable, stack protector, relocations read-only
# and bound at start-up, fortified functions. Control-flow protection is not among Debian 12's
# defaults. Fortification finds nothing to check at run time in this program (the size of each
# call it could guard is either proven safe when compiled or that of heap memory, which level 2
# cannot see), so the tools, which look for the checked calls, cannot tell it was applied; the
# compile commands of the program's sources show that it was.
hardening-check --nocfprotection "$bin" >"$out/hardening" || true
sed 's/^/  /' "$out/hardening"
hardening-check --quiet --nocfprotection --nofortify "$bin" || fail "vemo2 lacks Debian's hardening"
grep '"command": .* -c [^ ]*/src/' "$build/compile_commands.json" >"$out/commands" ||
    fail "no compile commands for the program's sources in $build"
grep -v -e ' -D_FORTIFY_SOURCE=2 ' "$out/commands" && fail "sources compiled without _FORTIFY_SOURCE=2"
grep -vE ' -O[1-3s] ' "$out/commands" && fail "sources compiled without optimisation, which fortifying needs"
multiarch=$(dpkg-architecture -a"$arch" -qDEB_HOST_MULTIARCH)
readelf -d "$bin" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' >"$out/needed"
[ -s "$out/needed" ] || fail "vemo2 needs no libraries?"
while read -r lib; do
    owner=$(dpkg -S "*/$multiarch/$lib" 2>/dev/null | sed -n 's/^\([^:]*\)\(:[^:]*\)\?: .*/\1/p' |
            sort -u | sed -n 1p)
    [ -n "$owner" ] || fail "no installed package has $lib"
    # With a symbols file dpkg-shlibdeps takes the version from the symbols used, and leaves it
    # out where they are all as old as the library (libxcb1 here).
    if compgen -G "/var/lib/dpkg/info/$owner*.symbols" >/dev/null; then
        depends_on "$owner" || fail "$lib is in $owner, which Depends lacks"
    else
        depends_on "$owner" versioned || fail "$lib is in $owner, which Depends lacks a version of"
    fi
    echo "needs $lib: $owner"
done <"$out/needed"

# The Qt platform plugin the window is shown with, and the packages of the font faces the
# dial's faces are mapped to: loaded at run time, so no library record names them.
depends_on qt6-qpa-plugins || fail "Depends lacks qt6-qpa-plugins"
families=$(grep -oP '\{"[^"]+",\s*"\K[^"]+' "$fonts_source" | sort -u)
[ -n "$families" ] || fail "no substitute faces found in $fonts_source"
while read -r family; do
    [ "$(fc-match -f '%{family[0]}' "$family")" = "$family" ] || fail "the face $family is missing"
    font=$(fc-match -f '%{file}' "$family")
    owner=$(dpkg -S "$(readlink -f "$font")" 2>/dev/null | cut -d: -f1 | sed -n 1p)
    [ -n "$owner" ] || fail "no package has $font"
    depends_on "$owner" || fail "the face $family is in $owner, which Depends lacks"
    echo "face $family: $owner"
done <<<"$families"

# --- Manual pages: groff reads them without a warning, and they name Kapat and every sound.
for page in man1 tr/man1; do
    text=$out/page.txt
    zcat "$root/usr/share/man/$page/vemo2.1.gz" | preconv -e UTF-8 |
        groff -man -Tutf8 -P-cbou -rHY=0 -ww 2>"$out/groff.err" >"$text"
    [ -s "$out/groff.err" ] && { cat "$out/groff.err"; fail "groff warns on $page/vemo2.1"; }
    for word in Kapat /usr/share/vemo2/media "${sounds[@]}"; do
        grep -qF "$word" "$text" || fail "$page/vemo2.1 does not name $word"
    done
done
zcat "$root/usr/share/man/tr/man1/vemo2.1.gz" | grep -q 'ı.*ş\|ş.*ı' || fail "the Turkish page is not Turkish"

# --- Documentation: the machine-readable copyright and the changelog of this very version.
head -n 1 "$root/usr/share/doc/vemo2/copyright" |
    grep -qxF 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "copyright is not in the machine-readable format"
zcat "$root/usr/share/doc/vemo2/changelog.Debian.gz" >"$out/changelog"
[ "$(dpkg-parsechangelog -l "$out/changelog" -S Source)" = vemo2 ] || fail "changelog of another package"
[ "$(dpkg-parsechangelog -l "$out/changelog" -S Version)" = "$version" ] ||
    fail "the changelog's last version is $(dpkg-parsechangelog -l "$out/changelog" -S Version)"

# --- lintian: no error, no hardening left out (fortification aside, as above), and only the
# warnings the allowlist gives a reason for.
status=0
lintian --display-info --no-tag-display-limit "$deb" >"$out/lintian" 2>"$out/lintian.err" ||
    status=$?
echo "lintian:"
sed 's/^/  /' "$out/lintian"
grep -q '^E: ' "$out/lintian" && fail "lintian reports errors"
grep -v 'hardening-no-fortify-functions' "$out/lintian" | grep '^.: [^:]*: hardening-' &&
    fail "lintian finds hardening left out"
[ "$status" -eq 0 ] || { cat "$out/lintian.err"; fail "lintian ended with status $status"; }
while read -r tag; do
    grep -qxF "$tag" <(grep -v '^#' "$allowed" | awk 'NF { print $1 }') ||
        fail "lintian warns of $tag, which $allowed does not give a reason for"
done < <(sed -n 's/^W: [^:]*: \([^ ]*\).*/\1/p' "$out/lintian")
echo "package checked"
