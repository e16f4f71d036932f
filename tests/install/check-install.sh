#!/usr/bin/env bash
# Installs a build folder into a fresh temporary prefix and checks the tree: exactly the expected files,
# nothing outside the prefix, binaries that run from there without a display or the build tree, man
# pages, desktop entry, icon sizes, the udev rule, and the demo answering the installed velmarctl.
#   check-install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

build=$1
source=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/velmar-install.XXXXXX")
demo_pid=
cleanup() {
    if [[ -n $demo_pid ]]; then
        kill "$demo_pid" 2>/dev/null || true
        wait "$demo_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# DESTDIR catches a destination that someone made absolute: it would land in $work/stage/etc/... and
# fail the check below instead of writing to the system.
prefix=$work/prefix
stage=$work/stage
DESTDIR=$stage cmake --install "$build" --prefix "$prefix" >"$work/install.log"
root=$stage$prefix

outside=$(cd "$stage" && find . -type f -o -type l | sed 's|^\.||' | grep -v "^$prefix/" || true)
[[ -z $outside ]] || fail "installed outside the prefix: $outside"

sizes=(16 22 24 32 48 64 128 256)
expected=(
    bin/velmar bin/velmar-sim bin/velmarctl
    lib/udev/rules.d/70-velmar.rules
    share/applications/velmar.desktop
    share/doc/velmar/README.md
    share/icons/hicolor/scalable/apps/velmar.svg
    share/man/man1/velmar-sim.1.gz share/man/man1/velmar.1.gz share/man/man1/velmarctl.1.gz
)
for n in "${sizes[@]}"; do expected+=("share/icons/hicolor/${n}x$n/apps/velmar.png"); done
actual=$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
wanted=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
if [[ $actual != "$wanted" ]]; then
    fail "install tree differs (< missing, > unexpected):"
    diff <(echo "$wanted") <(echo "$actual") >&2 || true
fi

# Binaries: run from the prefix with no display and no build tree on any search path.
for b in velmar velmar-sim velmarctl; do
    exe=$root/bin/$b
    [[ -x $exe ]] || { fail "$b is not executable"; continue; }
    if ! out=$(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY "$exe" --help 2>/dev/null); then
        fail "$b --help exits non-zero"
    elif [[ $out != *Usage:* ]]; then
        fail "$b --help prints no usage"
    fi
    if ldd "$exe" | grep -q "not found"; then fail "$b has unresolved libraries"; fi
    if readelf -d "$exe" | grep -E "R(UN)?PATH" | grep -qF "$build"; then
        fail "$b still searches the build tree for libraries"
    fi
done

# Man pages: valid gzip, and roff that renders without warnings where groff is installed.
for page in velmar velmar-sim velmarctl; do
    gz=$root/share/man/man1/$page.1.gz
    [[ -f $gz ]] || continue
    gzip -t "$gz" || fail "$page.1.gz is no valid gzip file"
    if command -v groff >/dev/null; then
        warnings=$(gzip -dc "$gz" | groff -man -ww -z -Tutf8 2>&1 || true)
        [[ -z $warnings ]] || fail "$page.1: $warnings"
    fi
    cmp -s <(gzip -dc "$gz") "$source/docs/man/$page.1" || fail "$page.1.gz is not docs/man/$page.1"
done

desktop=$root/share/applications/velmar.desktop
if [[ -f $desktop ]]; then
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$desktop" || fail "velmar.desktop does not validate"
    else
        echo "note: desktop-file-validate is not installed; velmar.desktop checked by hand only"
    fi
    grep -qx "Exec=velmar" "$desktop" || fail "velmar.desktop does not start velmar"
    grep -qx "Icon=velmar" "$desktop" || fail "velmar.desktop does not name the icon velmar"
fi

# Icons: each PNG is a PNG of its folder's size (the IHDR chunk's width and height, big-endian).
for n in "${sizes[@]}"; do
    png=$root/share/icons/hicolor/${n}x$n/apps/velmar.png
    [[ -f $png ]] || continue
    signature=$(od -An -tx1 -N8 "$png" | tr -d ' \n')
    [[ $signature == 89504e470d0a1a0a ]] || { fail "${n}x$n icon is no PNG"; continue; }
    read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$png")
    width=$(((w1 << 24) | (w2 << 16) | (w3 << 8) | w4))
    height=$(((h1 << 24) | (h2 << 16) | (h3 << 8) | h4))
    [[ $width == "$n" && $height == "$n" ]] || fail "${n}x$n icon is ${width}x$height"
done
grep -q "<svg" "$root/share/icons/hicolor/scalable/apps/velmar.svg" || fail "the scalable icon is no SVG"

rule=$root/lib/udev/rules.d/70-velmar.rules
cmp -s "$rule" "$source/src/transport/udev/70-velmar.rules" || fail "the udev rule differs from the source"
grep -q 'ATTRS{idVendor}=="0483", ATTRS{idProduct}=="5750"' "$rule" || fail "the udev rule misses the device"

# The installed demo: its simulated processor answers the installed velmarctl over TCP on 127.0.0.1.
(cd "$work" && exec env QT_QPA_PLATFORM=offscreen "$root/bin/velmar" --demo >"$work/demo.out" 2>"$work/demo.err") &
demo_pid=$!
port=
for _ in $(seq 1 200); do
    port=$(sed -n 's/^velmar: demo processor .* on 127\.0\.0\.1:\([0-9]*\),.*/\1/p' "$work/demo.out")
    [[ -n $port ]] && break
    kill -0 "$demo_pid" 2>/dev/null || break
    sleep 0.1
done
if [[ -z $port ]]; then
    fail "velmar --demo did not start its processor: $(cat "$work/demo.out" "$work/demo.err")"
else
    info=$("$root/bin/velmarctl" --tcp "127.0.0.1:$port" info 2>&1) || fail "velmarctl info failed: $info"
    [[ $info == *"Model: VMP4x8"* ]] || fail "the demo's processor answered: $info"
    kill -0 "$demo_pid" 2>/dev/null || fail "velmar --demo ended while connected"
fi

if [[ $failures -gt 0 ]]; then
    echo "$failures install check(s) failed" >&2
    exit 1
fi
echo "install tree in a fresh prefix: ${#expected[@]} files, all checks passed"
