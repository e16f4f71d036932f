#!/usr/bin/env bash
# Builds the Debian package from a build folder with CPack into a temporary folder (never installing it)
# and checks its control fields, its files and its maintainer scripts. Exit 77 (skipped) without the
# Debian tools.
#   check-deb.sh BUILD_DIR
set -euo pipefail

build=$1
for tool in cpack dpkg-deb dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/velmar-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; exit 1; }
shopt -s nullglob
debs=("$work"/out/velmar_*.deb)
[[ ${#debs[@]} -eq 1 ]] || { echo "FAIL: expected one velmar_*.deb, got ${#debs[@]}" >&2; exit 1; }
deb=${debs[0]}

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == velmar ]] || fail "Package is $(field Package)"
[[ $(field Architecture) == "$(dpkg --print-architecture)" ]] || fail "Architecture is $(field Architecture)"
[[ $(field Version) =~ ^[0-9]+\.[0-9]+\.[0-9]+-[0-9]+$ ]] || fail "Version is $(field Version)"
[[ -n $(field Maintainer) ]] || fail "no Maintainer"

# Depends: each runtime package the binaries link, as a package name of its own (not a substring).
depends=$(field Depends)
names() { sed -E 's/ \([^)]*\)//g; s/ *[,|] */\n/g' <<<"$1"; }
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libhidapi-hidraw0 libudev1 libc6 libstdc++6; do
    names "$depends" | grep -qxF "$p" || fail "Depends lacks $p: $depends"
done
# Build-time packages never become run-time ones.
for p in qt6-base-dev libqt6svg6 libgtest-dev libbenchmark; do
    if grep -q "$p" <<<"$depends"; then fail "Depends names the build-time package $p"; fi
done
names "$(field Recommends)" | grep -qxF fonts-wqy-microhei || fail "Recommends lacks fonts-wqy-microhei"

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/velmar ./usr/bin/velmar-sim ./usr/bin/velmarctl \
    ./usr/lib/udev/rules.d/70-velmar.rules ./usr/share/applications/velmar.desktop \
    ./usr/share/icons/hicolor/256x256/apps/velmar.png ./usr/share/icons/hicolor/16x16/apps/velmar.png \
    ./usr/share/icons/hicolor/scalable/apps/velmar.svg ./usr/share/man/man1/velmar.1.gz \
    ./usr/share/man/man1/velmar-sim.1.gz ./usr/share/man/man1/velmarctl.1.gz; do
    grep -qxF "$f" <<<"$contents" || fail "the package lacks $f"
done
if grep -vE '^\./usr/' <<<"$contents" | grep -vqxF './'; then
    fail "the package installs outside /usr: $(grep -vE '^\./usr/' <<<"$contents" | grep -vxF './')"
fi
if grep -qE '(test|bench|fuzz|render-icon)' <<<"$contents"; then
    fail "the package holds build or test programs: $(grep -E '(test|bench|fuzz|render-icon)' <<<"$contents")"
fi
# Stripped: no debugging sections in the binaries.
dpkg-deb -x "$deb" "$work/root"
for b in velmar velmar-sim velmarctl; do
    if readelf -S "$work/root/usr/bin/$b" | grep -q '\.debug_info'; then fail "$b is not stripped"; fi
done

# Maintainer scripts: executable, and they never fail, with udev missing or udevadm failing.
dpkg-deb -e "$deb" "$work/control"
for script in postinst postrm; do
    s=$work/control/$script
    [[ -x $s ]] || { fail "$script is missing or not executable"; continue; }
    sh -n "$s" || fail "$script has a syntax error"
done
mkdir -p "$work/no-udev" "$work/failing-udev"
printf '#!/bin/sh\necho "$*" >>"%s"\nexit 1\n' "$work/udevadm.calls" >"$work/failing-udev/udevadm"
chmod +x "$work/failing-udev/udevadm"
for bin in no-udev failing-udev; do
    PATH=$work/$bin /bin/sh "$work/control/postinst" configure "" >"$work/postinst.out" 2>&1 ||
        fail "postinst configure fails with $bin"
    PATH=$work/$bin /bin/sh "$work/control/postrm" remove >/dev/null 2>&1 || fail "postrm remove fails with $bin"
done
grep -q "control --reload-rules" "$work/udevadm.calls" 2>/dev/null || fail "postinst does not reload the udev rules"
grep -q "usermod -aG dialout" "$work/postinst.out" || fail "postinst does not say how to join dialout"
PATH=$work/failing-udev /bin/sh "$work/control/postinst" configure 0.1.0-1 >"$work/upgrade.out" 2>&1 ||
    fail "postinst fails on an upgrade"
[[ ! -s $work/upgrade.out ]] || fail "postinst repeats its note on an upgrade"

if [[ $failures -gt 0 ]]; then
    echo "$failures package check(s) failed" >&2
    exit 1
fi
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes; Depends: $depends"
