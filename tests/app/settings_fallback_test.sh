#!/usr/bin/env bash
# A copy of the probe in a folder its user cannot write keeps its settings
# in the user's configuration folder; a copy in a writable folder keeps them
# beside itself. Root may write anywhere, so as root the probe runs as the
# unprivileged user nobody.
set -euo pipefail
probe=$1
top=$(mktemp -d)
trap 'rm -rf "$top"' EXIT
chmod 755 "$top"
mkdir -p "$top/ro" "$top/rw" "$top/home"
cp "$probe" "$top/ro/vkprobe"
cp "$probe" "$top/rw/vkprobe"
chmod 755 "$top/ro/vkprobe" "$top/rw/vkprobe"

if [ "$(id -u)" -eq 0 ]; then
  chown 65534:65534 "$top/rw" "$top/home"
  chmod 755 "$top/ro"
  run() { setpriv --reuid=65534 --regid=65534 --clear-groups env -u XDG_CONFIG_HOME HOME="$top/home" "$@"; }
else
  chmod 555 "$top/ro"
  run() { env -u XDG_CONFIG_HOME HOME="$top/home" "$@"; }
fi

fail() { echo "FAIL: $*"; exit 1; }

out=$(run "$top/ro/vkprobe" --save)
user_file="$top/home/.config/vertoko/vkprobe.ini"
grep -qx "write=$user_file" <<<"$out" || fail "read-only folder: $out"
grep -qx "read=$user_file" <<<"$out" || fail "read-only folder: $out"
[ -f "$user_file" ] || fail "no settings written to $user_file"
grep -q '^DXFclv=1' "$user_file" || fail "settings file lacks its entries"
[ ! -e "$top/ro/vkprobe.ini" ] || fail "wrote beside a read-only executable"

# The next run reads back what the previous one wrote.
sed -i 's/^DXFmulti=0/DXFmulti=1/' "$user_file"
run "$top/ro/vkprobe" --save >/dev/null
grep -q '^DXFmulti=1' "$user_file" || fail "the user's settings were not read back"

out=$(run "$top/rw/vkprobe" --save)
grep -qx "write=$top/rw/vkprobe.ini" <<<"$out" || fail "writable folder: $out"
[ -f "$top/rw/vkprobe.ini" ] || fail "no settings written beside a writable executable"
echo "settings fall back to the user's folder only where the executable's folder is read-only"
