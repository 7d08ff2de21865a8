#!/usr/bin/env bash
# Runs two vertoko-convert binaries on the same drawings with the same
# arguments and compares, run by run, the exit status, stdout, stderr (the
# progress dots) and every file written, byte for byte. Meant to show that a
# rework of the converter changes no output, log line or status.
#   scripts/compare_converters.sh OLD_CONVERTER NEW_CONVERTER [OUT_DIR]
# Prints one line per differing run and "N runs, M differ"; exits 1 when a
# run differs, 0 when none does, 2 on a usage error of this script.
# The runs that differ are kept under OUT_DIR (default: a temporary folder,
# removed when nothing differs), one folder each: old/ and new/ are the work
# folders, old.* and new.* the captured streams and status, command.txt the
# command line.
#
# Inputs: every .dxf under $VERTOKO_SAMPLES_DIR (default
# /work/shared/dxf-samples) and examples/, the binary drawings of
# tests/dxf/data, and the files named in EXTRA_INPUTS (space-separated).
# The samples are small: no object reaches the sizes at which the converter
# sorts by radix or takes a second thread. COMPARE_LARGE=1 adds three
# generated height fields (bench/make_height_field.py) that do; they take
# about two more minutes.
# COMPARE_TIMEOUT (seconds, default 300) ends a converter that hangs; that
# run then differs by its status.
set -euo pipefail

usage() {
  echo "usage: $0 OLD_CONVERTER NEW_CONVERTER [OUT_DIR]" >&2
  exit 2
}
if [ $# -lt 2 ] || [ $# -gt 3 ]; then usage; fi

# Both converters run from inside their work folders: absolute paths. A
# name without a slash that is no file here is looked up in PATH.
converter_path() {
  local path=$1
  case $path in */*) ;; *) [ -e "$path" ] || path=$(command -v -- "$path" 2>/dev/null) || true ;; esac
  if [ -z "$path" ] || [ ! -f "$path" ] || [ ! -x "$path" ]; then
    echo "$0: not an executable: $1" >&2
    exit 2
  fi
  realpath -- "$path"
}
old_bin=$(converter_path "$1")
new_bin=$(converter_path "$2")

root=$(cd "$(dirname "$0")/.." && pwd)
samples="${VERTOKO_SAMPLES_DIR:-/work/shared/dxf-samples}"
limit="${COMPARE_TIMEOUT:-300}"
# Two runs at a time: the machine has two cores, and each converter may use
# a second thread of its own.
jobs_max=2

if [ $# -eq 3 ]; then
  out=$3
  mkdir -p -- "$out"
  if [ -n "$(ls -A -- "$out")" ]; then
    echo "$0: $out is not empty; kept runs of an earlier comparison would mix in" >&2
    exit 2
  fi
  out=$(realpath -- "$out")
  temporary=0
else
  out=$(mktemp -d "${TMPDIR:-/tmp}/compare-converters.XXXXXX")
  temporary=1
fi

inputs=()
if [ -d "$samples" ]; then
  while IFS= read -r -d '' file; do inputs+=("$file"); done \
    < <(find "$samples" -type f -iname '*.dxf' -print0 | LC_ALL=C sort -z)
else
  echo "$0: no sample folder $samples; comparing the other inputs only" >&2
fi
while IFS= read -r -d '' file; do inputs+=("$file"); done \
  < <(find "$root/examples" -type f -iname '*.dxf' -print0 | LC_ALL=C sort -z)
for file in "$root"/tests/dxf/data/*.dxf; do
  [ -f "$file" ] && inputs+=("$file")
done
for file in ${EXTRA_INPUTS:-}; do
  if [ ! -f "$file" ]; then
    echo "$0: EXTRA_INPUTS names no file: $file" >&2
    exit 2
  fi
  inputs+=("$(realpath -- "$file")")
done
if [ "${COMPARE_LARGE:-0}" = 1 ]; then
  mkdir "$out/.large"
  python3 "$root/bench/make_height_field.py" 600 faces "$out/.large/faces600.dxf"
  python3 "$root/bench/make_height_field.py" 400 mesh "$out/.large/mesh400.dxf"
  python3 "$root/bench/make_height_field.py" 150 layers "$out/.large/layers150.dxf"
  inputs+=("$out/.large/faces600.dxf" "$out/.large/mesh400.dxf" "$out/.large/layers150.dxf")
fi
[ ${#inputs[@]} -gt 0 ] || {
  echo "$0: no input drawings found" >&2
  exit 2
}

# A settings file as the desktop application writes it (CR LF lines) that
# switches on options of the reader and of all three writers.
settings_file="$out/.settings.ini"
printf '%s\r\n' '[Options]' 'DXFmulti=1' 'DXFclv=1' 'DXFvdist=0.001' 'ESTRopt=s k 0.25' \
  'POVRsmt=1' 'POVRstate=pigment {color rgb <0.2,0.4,0.8>}' 'DXFskip=1' 'DXFinsert=1' \
  'DXFcolor=1' 'DXForient=1' 'POVRcrease=60' 'POVRmesh2=1' 'POVRfit=1' 'OBJnormal=1' \
  >"$settings_file"

# One run in both converters. Arguments: run number, source drawing (or ""
# for none), then the converter's arguments, in which the drawing goes by its
# own file name. Both work folders get the same relative names, so that the
# names in the logs and in the files match.
run_one() {
  local id=$1 source=$2
  shift 2
  local dir="$out/$id" side bin name=""
  [ -n "$source" ] && name=$(basename -- "$source")
  for side in old new; do
    mkdir -p "$dir/$side"
    [ -n "$source" ] && ln -s -- "$source" "$dir/$side/$name"
    case " $* " in *" settings.ini "*) cp -- "$settings_file" "$dir/$side/settings.ini" ;; esac
  done
  # One after the other: with two runs going, that keeps two converters
  # on the two cores.
  for side in old new; do
    [ $side = old ] && bin=$old_bin || bin=$new_bin
    local status=0
    (cd "$dir/$side" && exec timeout "$limit" "$bin" "$@") \
      <"/dev/null" >"$dir/$side.stdout" 2>"$dir/$side.stderr" || status=$?
    echo "$status" >"$dir/$side.status"
  done

  local what=() line
  cmp -s "$dir/old.status" "$dir/new.status" ||
    what+=("status $(<"$dir/old.status")/$(<"$dir/new.status")")
  cmp -s "$dir/old.stdout" "$dir/new.stdout" || what+=(stdout)
  cmp -s "$dir/old.stderr" "$dir/new.stderr" || what+=(stderr)
  local files
  files=$(cd "$dir" && diff -rq --no-dereference old new 2>&1) || {
    files=$(sed -E -e 's/^Files old\/(.*) and new\/.* differ$/\1/' \
      -e 's/^Only in old(\/.*)?: (.*)$/\2 (old only)/' \
      -e 's/^Only in new(\/.*)?: (.*)$/\2 (new only)/' <<<"$files" | paste -sd, - |
      sed 's/,/, /g')
    what+=("files: $files")
  }
  if [ ${#what[@]} -eq 0 ]; then
    rm -rf -- "$dir"
    return 0
  fi
  local joined
  joined=$(printf '%s; ' "${what[@]}")
  line="vertoko-convert$(printf ' %q' "$@")"
  {
    echo "differs: ${joined%; }"
    echo "command: $line"
    [ -n "$source" ] && echo "input:   $name = $source"
    echo "rerun:   cd $dir/old && $old_bin$(printf ' %q' "$@")"
  } >"$dir/command.txt"
  # One write per line, so that lines of parallel runs do not interleave.
  printf '%s\n' "DIFFERS [${joined%; }] in $id: $line${source:+  ($name = $source)}"
}

started=$(date +%s)
count=0
running=0
# Starts a run once fewer than jobs_max are going. Arguments as run_one's.
launch() {
  if [ $running -ge $jobs_max ]; then
    wait -n || true
    running=$((running - 1))
  fi
  count=$((count + 1))
  run_one "$(printf '%05d' $count)" "$@" &
  running=$((running + 1))
}
trap 'jobs -p | xargs -r kill 2>/dev/null; exit 130' INT TERM

# The help text and usage errors, with a drawing at hand so that each error
# is the one meant.
house="$root/examples/house.dxf"
launch "" --help
launch "" # no input at all
launch "$house" --frobnicate house.dxf
launch "$house" --crease-angle 200 house.dxf
launch "$house" missing.dxf
launch "$house" house.dxf -o out.txt
launch "$house" --distance abc house.dxf
launch "$house" --settings missing.ini house.dxf
launch "$house" house.dxf -o out.pol --output-dir dir

# Option sets: the arguments of each (joined by unit separators) and the
# outputs it runs with, each in both modes. Options that change only one writer run only with
# that writer's output: --estr-options with .pol; --no-pov-smooth,
# --crease-angle, --pov-texture, --pov-mesh2 and --pov-fit-camera with .pov;
# --obj-normals with .obj. Smoothing and the crease angle reach OBJ only
# through --obj-normals, so they run there together with it.
sep=$'\x1f'
set_args=()
set_outputs=()
add_set() {
  local outputs=$1
  shift
  local joined
  joined=$(printf "%s$sep" "$@")
  set_args+=("${joined%"$sep"}")
  set_outputs+=("$outputs")
}
all="list pol pov obj"
# All reading switches together keep cleaning on, at a distance: with
# --no-clean the distance would go unused. --no-clean runs alone.
reading=(--expand-inserts --drawing-colors --orient-faces --distance 0.01)
together=("${reading[@]}" --crease-angle 45 --pov-mesh2 --pov-fit-camera --obj-normals)
add_set "$all"
add_set "$all" --skip-unsupported
add_set "$all" --expand-inserts
add_set "$all" --drawing-colors
add_set "$all" --orient-faces
add_set "$all" --no-clean
add_set "$all" --distance 0.01
add_set pov --no-pov-smooth
add_set pov --crease-angle 30
add_set pov --pov-mesh2
add_set pov --pov-fit-camera
add_set pov --pov-texture "pigment {color rgb <1,0,0>}"
add_set obj --obj-normals
add_set obj --obj-normals --no-pov-smooth
add_set obj --obj-normals --crease-angle 30
add_set pol --estr-options "s k 0.5 n"
add_set "$all" "${together[@]}"
add_set "$all" "${together[@]}" --skip-unsupported

for source in "${inputs[@]}"; do
  name=$(basename -- "$source")
  for i in "${!set_args[@]}"; do
    extra=()
    [ -n "${set_args[$i]}" ] && IFS=$sep read -r -a extra <<<"${set_args[$i]}"
    for output in ${set_outputs[$i]}; do
      target=()
      [ "$output" != list ] && target=(-o "out.$output")
      for mode in --no-multi --multi; do
        launch "$source" "$mode" "${extra[@]}" "$name" "${target[@]}"
      done
    done
  done
  # The settings file, each output once; -o comes before the drawing here to
  # vary the order of the arguments too.
  launch "$source" --settings settings.ini "$name"
  for output in pol pov obj; do
    launch "$source" --settings settings.ini -o "out.$output" "$name"
  done
done
wait
trap - INT TERM

rm -rf -- "$settings_file" "$out/.large"
differ=$(find "$out" -mindepth 1 -maxdepth 1 -type d -name '[0-9]*' | wc -l)
echo "$((${#inputs[@]})) inputs, $(($(date +%s) - started))s"
if [ "$differ" -eq 0 ]; then
  [ $temporary -eq 1 ] && rm -rf -- "$out"
  echo "$count runs, 0 differ"
  exit 0
fi
echo "differing runs kept in $out"
echo "$count runs, $differ differ"
exit 1
