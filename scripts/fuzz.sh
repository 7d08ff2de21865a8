#!/usr/bin/env bash
# Runs a fuzzer of the core for SECONDS (default 60), seeded with the public
# sample files and the binary DXF seeds of fuzz/corpus. NAME is the target of
# fuzz/CMakeLists.txt, dxf_reader_fuzzer (the default) or mesh_stages_fuzzer,
# which take the same input, an options byte and then the file, or
# materials_fuzzer, which takes a materials file and is seeded with
# fuzz/materials_corpus instead. The corpus grows in a temporary folder that is removed afterwards; the seeds themselves
# are only read. Fails on any finding.
#   scripts/fuzz.sh [SECONDS] [NAME]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
fuzzer="${VERTOKO_FUZZER:-build-fuzz/fuzz/${2:-dxf_reader_fuzzer}}"
samples="${VERTOKO_SAMPLES_DIR:-../shared/dxf-samples}"
[ -d "$samples" ] || samples=/work/shared/dxf-samples
if [ ! -x "$fuzzer" ]; then
  echo "fuzz.sh: $fuzzer is missing; run cmake --preset fuzz && cmake --build --preset fuzz" >&2
  exit 1
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/vertoko-fuzz.XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/artifacts"
# The binary DXF seeds carry the fuzzer's options byte already. The
# materials file's fuzzer starts from its own text seeds.
if [ "$(basename "$fuzzer")" = materials_fuzzer ]; then
  seeds=(fuzz/materials_corpus)
else
  seeds=(fuzz/corpus)
  if [ -d "$samples" ]; then
    seeds+=("$samples")
  fi
fi

# Leaks are checked too: the reader must free everything on every path.
status=0
"$fuzzer" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1 \
  "$work/corpus" "${seeds[@]}" || status=$?

if [ "$status" -ne 0 ] || compgen -G "$work/artifacts/*" > /dev/null; then
  # Keep the inputs that failed beside the fuzzer, where the temporary
  # folder's removal does not take them.
  keep="$(dirname "$fuzzer")/findings"
  mkdir -p "$keep"
  cp -f "$work"/artifacts/* "$keep"/ 2>/dev/null || true
  echo "fuzz.sh: finding (exit $status); inputs kept in $keep" >&2
  exit 1
fi
echo "fuzz.sh: no finding in ${seconds} s"
