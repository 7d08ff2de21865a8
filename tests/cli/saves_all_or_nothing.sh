#!/usr/bin/env bash
# The converter's saves for real: a save that fails on a file-size limit,
# or is cut short by SIGINT or SIGTERM, leaves the files of the save before
# byte for byte and no temporary, with the message and exit status stated;
# and scenes saved under Japanese, space-holding and 200-character names
# render in POV-Ray 3.7.
#   saves_all_or_nothing.sh VERTOKO_CONVERT MAKE_HEIGHT_FIELD EXAMPLES_DIR
set -uo pipefail
convert=$1
make_field=$2
examples=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

temporaries() { compgen -G "$1/.*.vertoko-*.tmp"; }

# earlier NAME...: files of an earlier save, each holding its name.
earlier() {
    local name
    for name; do printf 'earlier %s\r\n' "$name" >"$name"; done
}
unchanged() {  # unchanged WHAT NAME...
    local what=$1 name
    shift
    for name; do
        [ "$(cat "$name")" = "$(printf 'earlier %s\r\n' "$name")" ] || fail "$what: $name changed"
    done
}

/usr/bin/python3 "$make_field" 100 faces field100.dxf || exit 1

# A file-size limit of 64 KB (ulimit counts kilobytes): the writes past it
# fail. The converter ignores SIGXFSZ itself, which would otherwise end it.
limited() { (ulimit -f 64 && exec "$convert" "$@") >limited.log 2>/dev/null; }
for target in keep.pol keep.obj keep.pov; do
    files=("$target")
    first="ファイルの書き込みに失敗しました."
    if [ "$target" = keep.pov ]; then
        files+=(keep.inc)
        first="incファイルの書き込みに失敗しました."
    fi
    earlier "${files[@]}"
    limited field100.dxf -o "$target"
    status=$?
    [ "$status" -eq 1 ] || fail "$target under the limit: status $status"
    tail -2 limited.log | cmp -s - <(printf '%s\n%s\n' "$first" "ファイルの大きさが上限を超えました") ||
        fail "$target under the limit: log $(tail -2 limited.log)"
    unchanged "$target under the limit" "${files[@]}"
    temporaries . >/dev/null && fail "$target under the limit left $(temporaries .)"
    # Without the limit the same save replaces them.
    "$convert" field100.dxf -o "$target" >/dev/null 2>&1 || fail "$target without the limit"
    [ "$(wc -c <"$target")" -gt 65536 ] || [ "$(wc -c <keep.inc)" -gt 65536 ] ||
        fail "$target is smaller than the limit"
    rm -f "${files[@]}"
done

# Numbered files of several objects: a small one on layer A, then the
# height field, whose file passes the limit; the earlier save's files all
# stay, the first one's included.
{
    head -4 field100.dxf
    printf '0\n3DFACE\n8\nA\n10\n0\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n12\n0\n22\n1\n32\n0\n13\n0\n23\n1\n33\n0\n'
    tail -n +5 field100.dxf
} >two-layers.dxf
earlier parts001.obj parts002.obj
limited --multi two-layers.dxf -o parts.obj
status=$?
[ "$status" -eq 1 ] || fail "numbered OBJ under the limit: status $status"
grep -q '^  #002：' limited.log || fail "numbered OBJ: not two objects: $(cat limited.log)"
unchanged "numbered OBJ under the limit" parts001.obj parts002.obj
temporaries . >/dev/null && fail "numbered OBJ under the limit left $(temporaries .)"
"$convert" --multi two-layers.dxf -o parts.obj >/dev/null 2>&1 || fail "numbered OBJ without the limit"
[ "$(head -c 2 parts001.obj)" = "v " ] || fail "numbered OBJ without the limit kept parts001.obj"
rm -f parts00*.obj two-layers.dxf

# Cut short by a signal while the include of a 1000 x 1000 height field (370
# MB) is being written. Job control gives the background job the signals'
# usual handling (a shell without it has it ignore SIGINT).
/usr/bin/python3 "$make_field" 1000 mesh field1000.dxf || exit 1
set -m
for signal in INT TERM; do
    earlier big.pov big.inc
    "$convert" field1000.dxf -o big.pov >signal.log 2>/dev/null &
    pid=$!
    # Once the scene's temporary is closed and the include's is filling.
    waited=0
    until [ "$(temporaries . | wc -l)" -ge 2 ] && [ -s "$(temporaries . | grep inc | head -1)" ]; do
        if ! kill -0 "$pid" 2>/dev/null || [ "$waited" -gt 3000 ]; then break; fi
        sleep 0.01
        waited=$((waited + 1))
    done
    kill -"$signal" "$pid" 2>/dev/null
    wait "$pid"
    status=$?
    expected=$((128 + $(kill -l "$signal")))
    [ "$status" -eq "$expected" ] || fail "SIG$signal: status $status, not $expected (the save may have ended first)"
    unchanged "SIG$signal" big.pov big.inc
    temporaries . >/dev/null && fail "SIG$signal left $(temporaries .)"
done
set +m
rm -f big.pov big.inc field1000.dxf

# Scenes named in Japanese, with spaces, and with 200 characters render.
# POV-Ray 3.7 cannot open a scene file of a Japanese name either, so every
# scene is rendered under an ASCII link; what is tested is that its include
# is found.
long=$(printf 'x%.0s' $(seq 1 200))
for name in "住宅 モデル" "a b" "$long"; do
    mkdir -p render && cp "$examples/house.dxf" "render/$name.dxf"
    (cd render && "$convert" --format pov "$name.dxf" >convert.log 2>&1) ||
        fail "$name: conversion failed: $(cat render/convert.log)"
    include=$(sed -n '1s/^#include "\(.*\)"\r$/\1/p' "render/$name.pov")
    [ -f "render/$include" ] || fail "$name: the scene includes $include, which is not there"
    LC_ALL=C grep -q '[^ -~]' <<<"$include" && fail "$name: include name $include is not ASCII"
    ln -sf "$name.pov" render/scene.pov
    (cd render && povray +Iscene.pov +Oscene.png +W64 +H48 -D -P >render.log 2>&1) ||
        fail "$name: POV-Ray failed: $(grep -i error render/render.log | head -3)"
    [ -s render/scene.png ] || fail "$name: no picture"
    rm -rf render
done
# The space-holding scene also renders under its own name.
mkdir render && cp "$examples/house.dxf" "render/a b.dxf"
(cd render && "$convert" --format pov "a b.dxf" >/dev/null 2>&1 &&
    povray '+I"a b.pov"' +Oab.png +W64 +H48 -D -P >render.log 2>&1) ||
    fail "a b.pov by its own name: $(grep -i error render/render.log | head -3)"

if [ "$failures" -ne 0 ]; then
    echo "$failures failures"
    exit 1
fi
echo "failed and interrupted saves change nothing; every scene renders"
