#!/usr/bin/env bash
# Peak memory of `kvcob-lote importar` as files grow: it must stay flat (a 1,000,000-title
# file, 1.2 GB, under 150 MB). Each title comes with a message and an instruction record.
#   bench/memoria_importar.sh [BUILD_DIR] [TITLES...]
set -euo pipefail
BUILD=${1:-build}
shift || true
COUNTS=("$@")
[ ${#COUNTS[@]} -gt 0 ] || COUNTS=(10000 100000 1000000)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
for n in "${COUNTS[@]}"; do
  "$BUILD/bin/kvcob-gera-exemplo" --titulos "$n" "$WORK/titulos.rem"
  rm -f "$WORK/cobrancaKV.db"
  /usr/bin/time -v "$BUILD/bin/kvcob-lote" --dir "$WORK" importar "$WORK/titulos.rem" \
    >"$WORK/out.txt" 2>"$WORK/time.txt"
  kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$WORK/time.txt")
  wall=$(awk -F'): ' '/Elapsed \(wall clock\)/ {print $2}' "$WORK/time.txt")
  printf '%8d títulos: %s, pico de memória %d MB, %s\n' "$n" "$(tail -2 "$WORK/out.txt" | head -1)" \
    $((kb / 1024)) "$wall"
done
