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
# The manual page names every option the installed converter takes, and
# only those.
man_page="$stage/usr/share/man/man1/vertoko-convert.1"
help_flags=$("$stage/usr/bin/vertoko-convert" --help | grep -o -- '--[a-z][a-z-]*' | sort -u)
man_flags=$(sed -n 's/^\.BR\? //p' "$man_page" | sed 's/\\-/-/g' | grep -o -- '--[a-z][a-z-]*' | sort -u)
if [ "$help_flags" != "$man_flags" ]; then
  echo "man page and --help differ in their options:"
  diff <(echo "$help_flags") <(echo "$man_flags") || true
  status=1
fi
exit $status
