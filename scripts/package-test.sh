#!/usr/bin/env bash
# Builds the Debian package from a build folder (build/ unless one is named),
# installs it with apt-get and converts a sample with the installed
# vertoko-convert. Needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ]; then
  echo "package test skipped: installing a package needs root"
  exit 0
fi
build=${1:-build}
rm -f "$build"/vertoko_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/vertoko_*.deb)
echo "built $deb"
case $deb in /*) ;; *) deb=./$deb ;; esac
DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"; DEBIAN_FRONTEND=noninteractive apt-get remove -y vertoko >/dev/null' EXIT
/usr/bin/vertoko-convert examples/house.dxf -o "$work/house.obj"
# Several inputs at once, each converted into the output folder.
cp examples/house.dxf "$work/second.dxf"
/usr/bin/vertoko-convert --format pol --output-dir "$work/out" examples/house.dxf "$work/second.dxf"
[ -s "$work/out/house.pol" ] && [ -s "$work/out/second.pol" ] || { echo "installed converter lost an input"; exit 1; }
grep -q '^f ' "$work/house.obj" || { echo "installed converter wrote no faces"; exit 1; }
[ -f /usr/share/applications/vertoko.desktop ] && [ -x /usr/bin/vertoko ] || { echo "package lacks the application"; exit 1; }
echo "package installs and its converter runs"
