#!/bin/bash
# kvcob-lote folha-solta against the open-source generator gerar-boletos (npm, PDFKit), the
# same number of bloquetos into one PDF each, both timed as whole processes, alternating:
#   bench/comparar_gerar_boletos.sh [BUILD] [TITULOS] [RODADAS]     (build 10000 3)
# The titles come from kvcob-gera-exemplo (messages and instructions on each, accents).
# gerar-boletos is installed with npm into bench/node (ignored by git, never in CI); the
# first run installs it. Prints best-of and spread of pages a second, KB a page, peak
# memory, and the ratio of the best runs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
titles=${2:-10000}
rounds=${3:-3}
bin=$build/bin

if [ ! -d "$here/node/node_modules/gerar-boletos" ]; then
    if ! (cd "$here/node" && npm install --no-audit --no-fund >/dev/null 2>&1); then
        echo "gerar-boletos não pôde ser instalado com npm: só o kvcob-lote é medido." >&2
        have_node=0
    fi
fi
have_node=${have_node:-1}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/kvcob-gera-exemplo" --titulos "$titles" "$work/titulos.rem"
mkdir "$work/dir"
"$bin/kvcob-lote" --dir "$work/dir" importar "$work/titulos.rem" >/dev/null

# time_run LABEL OUTPUT COMMAND...: appends "seconds peak_kb" to $work/LABEL
time_run() {
    local label=$1 out=$2
    shift 2
    rm -f "$out"
    /usr/bin/time -f "%e %M" -o "$work/t" "$@" >/dev/null
    cat "$work/t" >>"$work/$label"
    stat -c %s "$out" >"$work/$label.size"
}

echo "carga: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((r = 0; r < rounds; ++r)); do
    time_run kvcob "$work/kvcob.pdf" "$bin/kvcob-lote" --dir "$work/dir" folha-solta "$work/kvcob.pdf"
    if [ "$have_node" = 1 ]; then
        time_run node "$work/node.pdf" node "$here/gerar_boletos.js" "$titles" "$work/node.pdf"
    fi
done
echo "carga: $(cut -d' ' -f1-3 /proc/loadavg)"

report() {
    local label=$1
    sort -n "$work/$label" | awk -v n="$titles" -v size="$(cat "$work/$label.size")" -v l="$label" '
        { t[NR] = $1; m = $2 > m ? $2 : m }
        END { printf "%-14s %8.0f páginas/s (melhor de %d; %.0f a %.0f)  %.2f KB/página  pico %.0f MB\n",
              l, n / t[1], NR, n / t[NR], n / t[1], size / 1024 / n, m / 1024 }'
}
report kvcob
if [ "$have_node" = 1 ]; then
    report node
    best_kv=$(sort -n "$work/kvcob" | head -1 | cut -d' ' -f1)
    best_node=$(sort -n "$work/node" | head -1 | cut -d' ' -f1)
    awk -v a="$best_node" -v b="$best_kv" 'BEGIN { printf "razão: kvcob-lote %.1f× gerar-boletos\n", a / b }'
fi
