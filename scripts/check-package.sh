#!/usr/bin/env bash
# Checks the Debian package as a user would meet it: builds it from a build tree (default
# build/dev), validates its desktop entry and AppStream metadata and runs lintian, unpacks it into
# a scratch root, and starts the unpacked program offscreen against the unpacked simulator for a
# few seconds: it must stay up, open COM1 and load Qt's Russian texts.
# Usage: scripts/check-package.sh [BUILD_TREE]
set -euo pipefail
cd "$(dirname "$0")/.."

tree=${1:-build/dev}
app_id=org.tensovia.tensovia
session_name=check-package
source scripts/simulator-session.sh

deb=$(scripts/package.sh --from "$tree" --to "$scratch" | tail -1)
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"
dpkg-deb --field "$deb" Version Depends
dpkg-deb --contents "$deb" | awk '!/\/$/ {print "  " $3 "\t" $6}'

root=$scratch/root
dpkg-deb -x "$deb" "$root"
for file in usr/bin/tensovia usr/bin/tensovia-sim \
    usr/share/applications/$app_id.desktop \
    usr/share/icons/hicolor/scalable/apps/$app_id.svg \
    usr/share/metainfo/$app_id.metainfo.xml \
    usr/share/man/man1/tensovia.1.gz usr/share/man/man1/tensovia-sim.1.gz \
    usr/share/doc/tensovia/copyright usr/share/doc/tensovia/changelog.gz; do
    [ -f "$root/$file" ] || fail "the package lacks /$file"
done
depends=$(dpkg-deb --field "$deb" Depends)
for needed in libqt6widgets6 qt6-qpa-plugins qt6-translations-l10n; do
    [[ $depends == *"$needed"* ]] || fail "the package does not depend on $needed"
done
desktop=$root/usr/share/applications/$app_id.desktop
[ -x "$root/usr/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")" ] ||
    fail "the desktop entry starts no program of the package"
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$(sed -n 's/^Icon=//p' "$desktop").svg" ] ||
    fail "the desktop entry names no icon of the package"

echo "desktop-file-validate:"
desktop-file-validate "$desktop"
echo "appstreamcli validate --no-net:"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml"
echo "lintian:"
# Root may run lintian; it says so, which is no finding.
lintian --fail-on error,warning "$deb" 2> >(grep -v 'running with root privileges' >&2)

# The installed simulator behind COM1, the installed program on it.
start_simulator "$root/usr/bin/tensovia-sim" "$scratch/simulator"
QT_QPA_PLATFORM=offscreen TENSOVIA_COM1=$pty "$root/usr/bin/tensovia" >"$scratch/program.out" 2>&1 &
program=$!
pids+=("$program")
await_port_opened "$program" "$scratch/program.out"
grep -q '/qtbase_ru\.qm$' /proc/"$program"/maps || fail "the program did not load qtbase_ru.qm"
sleep 3
kill -0 "$program" 2>/dev/null || fail "the program ended: $(cat "$scratch/program.out")"
echo "The unpacked program ran for 3 s on the unpacked simulator, COM1 opened, Qt's texts in Russian."
