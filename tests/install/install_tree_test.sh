#!/usr/bin/env bash
# Installs the build tree into a scratch DESTDIR and checks that every file a
# desktop installation needs is there and that the desktop entry is valid.
set -euo pipefail
build_dir=$1
with_gui=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

DESTDIR="$stage" cmake --install "$build_dir" --prefix /usr >/dev/null

expect=(usr/bin/vertoko-convert usr/share/man/man1/vertoko-convert.1)
if [ "$with_gui" = ON ]; then
  expect+=(usr/bin/vertoko
           usr/share/applications/vertoko.desktop
           usr/share/icons/hicolor/scalable/apps/vertoko.svg
           usr/share/icons/hicolor/128x128/apps/vertoko.png)
fi
status=0
for f in "${expect[@]}"; do
  if [ ! -e "$stage/$f" ]; then
    echo "missing from the install tree: /$f"
    status=1
  fi
done
[ -x "$stage/usr/bin/vertoko-convert" ] || { echo "vertoko-convert is not executable"; status=1; }

if [ "$with_gui" = ON ]; then
  desktop="$stage/usr/share/applications/vertoko.desktop"
  desktop-file-validate "$desktop" || status=1
  grep -qx 'Exec=vertoko %f' "$desktop" || { echo "desktop entry does not pass the file as %f"; status=1; }
  grep -q '^MimeType=.*image/vnd.dxf;' "$desktop" || { echo "desktop entry lacks the DXF type"; status=1; }
  grep -q '^Name\[ja\]=' "$desktop" || { echo "desktop entry lacks a Japanese name"; status=1; }
fi
# The manual page must format without warnings.
if command -v man >/dev/null; then
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$stage/usr/share/man/man1/vertoko-convert.1" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || { echo "man page warnings: $warnings"; status=1; }
fi
exit $status
