#!/usr/bin/env bash
# Usage: package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$work/out/qarvel_${version}_amd64.deb
[ -f "$deb" ] || { ls "$work/out"; fail "no qarvel_${version}_amd64.deb"; }

# Dependencies come from the binaries, not from a hand-kept list.
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6webenginewidgets6 libmpv2 libc6 qt6-qpa-plugins; do
  grep -q "\b$lib\b" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

dpkg-deb -c "$deb" >"$work/contents"
for f in ./usr/bin/qarvel ./usr/bin/qarvel-service ./usr/share/applications/org.qarvel.Qarvel.desktop \
         ./usr/share/metainfo/org.qarvel.Qarvel.metainfo.xml ./usr/share/icons/hicolor/256x256/apps/org.qarvel.Qarvel.png \
         ./usr/share/doc/qarvel/copyright ./usr/share/doc/qarvel/changelog.gz; do
  grep -q " $f\$" "$work/contents" || fail "$f not in the package"
done
grep -q ' ./usr/share/qarvel/media/.*\.mp4$' "$work/contents" || fail "demo clips not in the package"
# Everything belongs to root, folders are 0755.
if grep -v ' root/root ' "$work/contents" | grep -q .; then fail "files not owned by root"; fi
if grep '^d' "$work/contents" | grep -vq '^drwxr-xr-x '; then fail "folder permissions"; fi

# Lintian may warn; an error fails.
rc=0
lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || rc=$?
cat "$work/lintian.log"
if grep -q '^E: ' "$work/lintian.log"; then fail "lintian reports errors"; fi
((rc <= 1)) || fail "lintian did not run (status $rc)"

root=$work/root
dpkg-deb -x "$deb" "$root"
# The program shows its version without a last ".0".
shown=$("$root/usr/bin/qarvel" --version) || fail "packaged client --version"
[[ $shown == "Qarvel影视盒 "* && $version == "${shown#Qarvel影视盒 }"* ]] || fail "packaged client --version: $shown"

# A short start from the unpacked tree: the demo service serves the clips
# found beside it in share/qarvel/media and the window's pages load.
shot=$work/window.png
QTWEBENGINE_DISABLE_SANDBOX=1 QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/x \
  xvfb-run -a -s "-screen 0 1400x900x24" \
  "$root/usr/bin/qarvel" --home "$work/home" --demo --screenshot "$shot" --quit-after 20000 >"$work/run.log" 2>&1 ||
  { cat "$work/run.log"; fail "packaged client run"; }
if grep -q 'demo clip missing' "$work/run.log"; then cat "$work/run.log"; fail "demo clips not found from the unpacked tree"; fi
file -b "$shot" | grep -q '^PNG image data' || { cat "$work/run.log"; fail "no screenshot of the window"; }
[ -f "$work/home/config.dll" ] || fail "the packaged client kept no settings"
echo "debian package: ok"
