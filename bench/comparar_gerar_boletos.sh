#!/bin/bash
# kvcob-lote folha-solta against the open-source generator gerar-boletos (npm, PDFKit), the
# same number of bloquetos into one PDF each, both timed as whole processes; then
# kvcob-lote folha-solta --por-titulo, one PDF a title:
#   bench/comparar_gerar_boletos.sh [BUILD] [TITULOS] [RODADAS]     (build 10000 5)
# The titles are an office's: kvcob-gera-exemplo --realista --logos (three beneficiaries,
# each with its logos, varied payers with accents, messages and instructions on each);
# gerar_boletos.js makes the same titles (without the beneficiaries' logos, which it cannot
# draw). Each round runs both programs, the order alternating from round to round, so that
# a shared machine's load falls on both alike. Prints, for each program, the median and the
# best of the rounds in wall and CPU seconds (user + system: less sensitive to the load of
# the machine), pages or files a second, KB a page or a file, peak memory; every output's
# pages are counted with pdfinfo. gerar-boletos is installed with npm into bench/node
# (ignored by git, never in CI); the first run installs it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
titles=${2:-10000}
rounds=${3:-5}
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
mkdir "$work/dir"
"$bin/kvcob-gera-exemplo" --titulos "$titles" --realista --logos "$work/dir" "$work/titulos.rem"
"$bin/kvcob-lote" --dir "$work/dir" importar "$work/titulos.rem" >/dev/null

pages_of() {
    pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ { print $2 }'
}

# time_run LABEL COMMAND...: appends "wall cpu peak_kb" to $work/LABEL
time_run() {
    local label=$1
    shift
    /usr/bin/time -f "%e %U %S %M" -o "$work/t" "$@" >/dev/null
    awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' "$work/t" >>"$work/$label"
}

run_kvcob() {
    rm -f "$work/kvcob.pdf"
    time_run kvcob "$bin/kvcob-lote" --dir "$work/dir" folha-solta "$work/kvcob.pdf"
    [ "$(pages_of "$work/kvcob.pdf")" = "$titles" ] || { echo "kvcob-lote: páginas erradas" >&2; exit 1; }
    stat -c %s "$work/kvcob.pdf" >"$work/kvcob.size"
}

run_node() {
    rm -f "$work/node.pdf"
    time_run node node "$here/gerar_boletos.js" "$titles" "$work/node.pdf"
    [ "$(pages_of "$work/node.pdf")" = "$titles" ] || { echo "gerar-boletos: páginas erradas" >&2; exit 1; }
    stat -c %s "$work/node.pdf" >"$work/node.size"
}

# One folder a round, removed only at the end: on a file system without a journal (ext4
# without one, as on some virtual machines) the kernel takes long to find inodes for new
# files while thousands just deleted are recent; that is not the program's work.
run_files() {
    local folder=$work/por-titulo-$1
    time_run files "$bin/kvcob-lote" --dir "$work/dir" folha-solta --por-titulo "$folder"
    local count
    count=$(find "$folder" -name '*.pdf' | wc -l)
    [ "$count" = "$titles" ] || { echo "--por-titulo: $count arquivos" >&2; exit 1; }
    find "$folder" -name '*.pdf' -printf '%s\n' | awk '{ s += $1 } END { print s }' >"$work/files.size"
    # A sample read back: one page each.
    find "$folder" -name '*.pdf' | awk 'NR % 500 == 1' | while read -r f; do
        [ "$(pages_of "$f")" = 1 ] || { echo "--por-titulo: $f sem sua página" >&2; exit 1; }
    done
}

echo "carga: $(uptime | sed 's/.*load average/load average/')"
for ((r = 0; r < rounds; ++r)); do
    if [ "$have_node" = 1 ] && ((r % 2 == 1)); then
        run_node
        run_kvcob
    else
        run_kvcob
        if [ "$have_node" = 1 ]; then run_node; fi
    fi
done
for ((r = 0; r < rounds; ++r)); do
    run_files "$r"
done
echo "carga: $(uptime | sed 's/.*load average/load average/')"

# stats LABEL COLUMN: "median best" of a column of the rounds
stats() {
    awk -v k="$2" '{ print $k }' "$work/$1" | sort -n | awk '
        { v[NR] = $1 }
        END { printf "%s %s\n", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2, v[1] }'
}

# report LABEL UNIT: median and best of wall and CPU seconds, rate, size, peak
report() {
    local label=$1 unit=$2
    echo "$(stats "$label" 1) $(stats "$label" 2) $(sort -n -k3 "$work/$label" | tail -1 | cut -d' ' -f3)" |
        awk -v n="$titles" -v size="$(cat "$work/$label.size")" -v l="$label" -v u="$unit" \
            -v r="$(wc -l <"$work/$label")" '
        { printf "%-6s %d rodadas  parede: mediana %.2f s, melhor %.2f s (%.0f e %.0f %s/s)" \
                 "  CPU: mediana %.2f s, melhor %.2f s  %.2f KB/%s  pico %.0f MB\n",
                 l, r, $1, $2, n / $1, n / $2, u, $3, $4, size / 1024 / n, u, $5 / 1024 }'
}
report kvcob página
if [ "$have_node" = 1 ]; then
    report node página
    awk -v a="$(sort -n "$work/node" | awk '{ print $1 }' | head -1)" \
        -v b="$(sort -n "$work/kvcob" | awk '{ print $1 }' | head -1)" \
        'BEGIN { printf "razão (melhores): kvcob-lote %.1f× gerar-boletos\n", a / b }'
fi
report files arquivo
