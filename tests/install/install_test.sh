#!/usr/bin/env bash
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "install"; }

for f in bin/qarvel bin/qarvel-service share/applications/org.qarvel.Qarvel.desktop \
         share/metainfo/org.qarvel.Qarvel.metainfo.xml; do
  [ -e "$prefix/$f" ] || fail "$f not installed"
done
for t in qarvel-terminal qarvel-player; do
  # Helper programs install once the build makes them.
  if [ -x "$build/$t" ]; then [ -x "$prefix/bin/$t" ] || fail "bin/$t not installed"; fi
done
for s in 16 22 24 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${s}x${s}/apps/org.qarvel.Qarvel.png
  [ -s "$icon" ] || fail "icon ${s}x${s} missing"
  file -b "$icon" | grep -q "PNG image data, $s x $s" || fail "icon ${s}x${s} is $(file -b "$icon")"
done
ls "$prefix"/share/qarvel/media/*.mp4 >/dev/null 2>&1 || fail "demo clips not installed"

entry=$prefix/share/applications/org.qarvel.Qarvel.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate"
appstreamcli validate --no-net --strict "$prefix/share/metainfo/org.qarvel.Qarvel.metainfo.xml" || fail "appstreamcli"
grep -qx 'Exec=qarvel %F' "$entry" || fail "Exec line"
grep -qx 'Categories=AudioVideo;Video;Player;' "$entry" || fail "Categories line"
grep -q '^Name\[zh_CN\]=Qarvel影视盒$' "$entry" || fail "Chinese name"
for m in video/mp4 video/mpeg video/x-ms-wmv audio/mpeg application/vnd.rn-realmedia-vbr; do
  grep -q "^MimeType=.*$m;" "$entry" || fail "MimeType lacks $m"
done

"$prefix/bin/qarvel" --version | grep -q '^Qarvel' || fail "installed client does not run"

# The installed client keeps its files in $XDG_DATA_HOME/qarvel, never beside itself.
unset QARVEL_HOME
export XDG_DATA_HOME=$work/data QTWEBENGINE_DISABLE_SANDBOX=1
# Its demo service plays the installed clips, not the build folder's: one
# taken out of the prefix is reported missing there.
clip=$(cd "$prefix/share/qarvel/media" && ls *.mp4 | head -1)
rm "$prefix/share/qarvel/media/$clip"
"$prefix/bin/qarvel" --demo --quit-after 3000 >"$work/run.log" 2>&1 || { cat "$work/run.log"; fail "installed client run"; }
grep -qF "$prefix/bin/../share/qarvel/media/$clip" "$work/run.log" || { cat "$work/run.log"; fail "demo media not taken from share/qarvel/media"; }
[ -f "$XDG_DATA_HOME/qarvel/config.dll" ] || fail "config.dll not in \$XDG_DATA_HOME/qarvel"
[ -f "$XDG_DATA_HOME/qarvel/date.dat" ] || fail "date.dat not in \$XDG_DATA_HOME/qarvel"
[ ! -e "$prefix/bin/config.dll" ] || fail "config.dll written beside the installed executable"
# --home still decides.
"$prefix/bin/qarvel" --home "$work/given" --quit-after 2000 >"$work/run2.log" 2>&1 || { cat "$work/run2.log"; fail "run with --home"; }
[ -f "$work/given/config.dll" ] || fail "--home not used"
echo "install into a prefix: ok"
