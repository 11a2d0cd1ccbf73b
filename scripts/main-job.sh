#!/usr/bin/env bash
# The main job: imports the bundled sample bank file into the embedded SQLite database and
# writes what the program prints; then, when a display is present, starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=build/bin
OUT=${OUT:-saida}
mkdir -p "$OUT"
# Run from the build, the program directory is the executables' folder (build/bin).
"$BIN/kvcob-lote" importar exemplos/cobranca-exemplo.rem
for verb in folha-solta rejeitados; do
  if "$BIN/kvcob-lote" --help | grep -q "^  $verb "; then
    "$BIN/kvcob-lote" "$verb" "$OUT/$verb.pdf"
  fi
done
if [ -n "${DISPLAY:-}" ]; then
  exec "$BIN/kvcob"
fi
