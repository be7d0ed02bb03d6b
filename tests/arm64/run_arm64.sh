#!/usr/bin/env bash
# The cross-built clock tried on this machine, its programs run by the user-mode emulator called
# by name (the kernel may have no binfmt handler for them):
#   - the logic's tests;
#   - the package's checks and lintian (tests/package/check_package.sh, on a package CPack packs
#     afresh);
#   - apt installing the package `make package-arm64` packed: on this machine less its packages
#     of the package's architecture (a simulation, as the cross build's own libraries satisfy
#     every dependency here), it brings each library the package depends on, of that
#     architecture, and removes nothing; then for real;
#   - the installed program on a virtual display (tests/e2e/run_scenario.sh): the name prompt,
#     the round window, the time label ticking, and Kapat, which ends it with status 0;
#   - apt-get remove vemo2, which leaves none of the package's files; the packages the install
#     brought go too, so that the machine is left as it was found.
# The install needs root, or sudo without a password; it is skipped where a vemo2 package is
# installed already, which the arm64 one would replace.
#
#   run_arm64.sh <emulator> <cpack> <build dir> <scratch dir> <version> <Debian architecture>
set -euo pipefail

qemu=$1 cpack=$2 build=$3 scratch=$4 version=$5 arch=$6
tests=$(cd "$(dirname "$0")/.." && pwd)
root=$(dirname "$tests")
deb=$build/vemo2_${version}_${arch}.deb
multiarch=$(dpkg-architecture -a"$arch" -qDEB_HOST_MULTIARCH)
fail() { echo "FAIL: $*"; exit 1; }
# A command that fails outside a check says where, rather than ending the script silently.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND"' ERR

# Runs a step; one whose tools are missing (status 77) skips the whole.
step() { # <what> <command>...
    local what=$1 status=0
    shift
    echo "--- $what"
    "$@" || status=$?
    [ "$status" -eq 77 ] && exit 77
    [ "$status" -eq 0 ] || fail "$what"
}

[ -f "$deb" ] || fail "no $deb: make package-arm64 packs it"
mkdir -p "$scratch"
work=$(mktemp -d "$scratch/arm64.XXXXXX")

# The packages the install added, removed again whatever the outcome.
added=()
cleanup() {
    local status=$?
    set +e
    if [ ${#added[@]} -gt 0 ]; then
        echo "removing what the install added: ${added[*]}"
        "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 remove -y -q "${added[@]}" >"$work/cleanup.log" 2>&1 ||
            { cat "$work/cleanup.log"; status=1; }
    fi
    if [ "$status" -eq 0 ]; then rm -rf "$work"; else echo "kept $work"; fi
    exit "$status"
}
trap cleanup EXIT

step "the logic's tests" "$qemu" "$build/tests/logic_tests" --gtest_brief=1
step "the package's checks" "$tests/package/check_package.sh" "$cpack" "$build" "$work" \
    "$version" "$tests/package/lintian-allowed" "$root/src/platform/qt/fonts.cpp" "$arch"

echo "--- apt"
if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif sudo -n true 2>/dev/null; then
    sudo=(sudo -n)
else
    echo "SKIP: installing the package needs root, or sudo without a password"
    exit 77
fi
if dpkg-query -W -f='${Status}' vemo2 2>/dev/null | grep -q ' installed'; then
    echo "SKIP: vemo2 $(dpkg-query -W -f='${Version} ${Architecture}' vemo2) is installed here," \
        "and installing this package would replace it"
    exit 77
fi
export DEBIAN_FRONTEND=noninteractive
apt=(apt-get -o DPkg::Lock::Timeout=600 -q)

# The machine's packages less those of the architecture: the package database in paragraphs.
awk -v a="$arch" 'BEGIN { RS = ""; ORS = "\n\n" } $0 !~ ("\nArchitecture: " a "\n")' \
    /var/lib/dpkg/status >"$work/status"
"${apt[@]}" -s -o Dir::State::status="$work/status" install --no-install-recommends "$deb" \
    >"$work/simulated" 2>&1 || { cat "$work/simulated"; fail "apt cannot install $deb"; }
grep '^Remv' "$work/simulated" && fail "installing $deb removes packages"
echo "without the $arch packages, apt would install $(grep -c '^Inst' "$work/simulated") packages"
dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/|.*//; s/(.*)//; s/ //g' >"$work/depends"
while read -r dep; do
    grep -q "^Inst $dep:$arch " "$work/simulated" ||
        [ "$(dpkg-query -W -f='${Architecture}' "$dep" 2>/dev/null)" = all ] ||
        fail "it would not bring $dep:$arch"
done <"$work/depends"

# What the install adds on this machine as it is (packages upgraded to match the version of
# their other architecture's stay upgraded).
"${apt[@]}" -s install --no-install-recommends "$deb" >"$work/planned" 2>&1 ||
    { cat "$work/planned"; fail "apt cannot install $deb here"; }
grep '^Remv' "$work/planned" && fail "installing $deb here removes packages"
"${sudo[@]}" "${apt[@]}" install -y --no-install-recommends "$deb" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; fail "apt-get install $deb"; }
mapfile -t added < <(sed -n 's/^Inst \([^ ]*\) (.*/\1/p' "$work/planned")
echo "installed: ${added[*]}"
[ "$(dpkg-query -W -f='${Status}' "vemo2:$arch")" = "install ok installed" ] ||
    fail "vemo2:$arch is not installed"

for scenario in prompt circle ticking kapat; do
    step "the installed program: $scenario" env -u VEMO_SANITIZE VEMO_BIN=/usr/bin/vemo2 \
        SHOT_CHECK="$build/tests/arm64/shot_check" VEMO_EMULATOR="$qemu" \
        VEMO_MULTIARCH="$multiarch" WORK_DIR="$work" "$tests/e2e/run_scenario.sh" "$scenario"
done

echo "--- apt-get remove vemo2"
"${sudo[@]}" "${apt[@]}" remove -y vemo2 >"$work/remove.log" 2>&1 ||
    { cat "$work/remove.log"; fail "apt-get remove vemo2"; }
if dpkg-query -W -f='${Status}\n' "vemo2:$arch" 2>/dev/null | grep -v 'not-installed'; then
    fail "vemo2 is still known to dpkg"
fi
# Every file of the package, and every folder of its own, is gone.
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\.||' | while read -r path; do
    case "$path" in
    */) [[ "$path" != *vemo2* ]] || [ ! -d "$path" ] || echo "$path" ;;
    *) [ ! -e "$path" ] || echo "$path" ;;
    esac
done >"$work/left"
[ -s "$work/left" ] && { cat "$work/left"; fail "apt-get remove vemo2 left these behind"; }
echo "removed, nothing left behind"
mapfile -t added < <(printf '%s\n' "${added[@]}" | grep -vx "vemo2:$arch" || true)
echo "PASS: the $arch package"
