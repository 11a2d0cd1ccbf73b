#!/usr/bin/env bash
# Makes the Debian package from a build (default: build/), checks it with lintian and
# desktop-file-validate, installs it, runs the batch tool as an ordinary user on a fresh
# data folder, removes the package and checks that the user's files stay.
# Needs root or sudo (apt-get, useradd, runuser). Run after scripts/setup.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
TEST_USER=${KVCOB_TEST_USER:-kvteste}

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
fail() { echo "check-package: $*" >&2; exit 1; }

# dpkg-shlibdeps (dpkg-dev) and file compute the dependencies; the rest check the result.
TOOLS=(dpkg-dev file lintian desktop-file-utils poppler-utils)
source scripts/install-missing.sh
install_missing "${TOOLS[@]}"

rm -f "$BUILD_DIR"/kvcob_*.deb
# A build folder configured before the prefix default became /usr still says /usr/local.
cmake -DCMAKE_INSTALL_PREFIX=/usr "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" --target package -j2 >/dev/null
DEB=$(ls "$BUILD_DIR"/kvcob_*.deb)
DEB=$(realpath "$DEB")
echo "== $(basename "$DEB"): $(stat -c %s "$DEB") bytes," \
  "$(dpkg-deb -f "$DEB" Installed-Size) KiB installed"
echo "== Depends: $(dpkg-deb -f "$DEB" Depends)"

contents=$(dpkg-deb -c "$DEB" | awk '{print $6}')
for f in ./usr/bin/kvcob ./usr/bin/kvcob-lote ./usr/bin/kvcob-gera-exemplo \
  ./usr/share/kvcob/exemplos/cobranca-exemplo.rem ./usr/share/applications/kvcob.desktop \
  ./usr/share/icons/hicolor/48x48/apps/kvcob.png ./usr/share/icons/hicolor/scalable/apps/kvcob.svg \
  ./usr/share/man/man1/kvcob-lote.1.gz ./usr/share/doc/kvcob/copyright; do
  grep -qx -- "$f" <<<"$contents" || fail "missing from the package: $f"
done
if grep -E 'tst_|bench|fuzz|\.kvcob-build' <<<"$contents"; then
  fail "tests or benchmarks in the package"
fi

echo "== lintian"
lintian --fail-on error --info "$DEB" || fail "lintian found errors"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$DEB" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/kvcob.desktop"

echo "== install"
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$DEB" >/dev/null
created_user=0
if ! id "$TEST_USER" >/dev/null 2>&1; then
  $SUDO useradd --create-home --shell /bin/bash "$TEST_USER"
  created_user=1
fi
home=$(getent passwd "$TEST_USER" | cut -d: -f6)
data="$home/.local/share/kvcob"
$SUDO rm -rf "$data" "$home/bloquetos.pdf" # the user's first start
as_user() {
  $SUDO runuser -u "$TEST_USER" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
}

echo "== first start as $TEST_USER"
as_user kvcob-lote --help | grep -F "Pasta do programa: $data (pasta de dados do usuário)" ||
  fail "--help does not name $data"
as_user kvcob-lote importar /usr/share/kvcob/exemplos/cobranca-exemplo.rem
as_user kvcob-lote folha-solta "$home/bloquetos.pdf"
pdfinfo "$home/bloquetos.pdf" | grep -E '^(Pages|Page size):'
[ -f "$data/cobrancaKV.db" ] || fail "no database in $data"

echo "== a folder the user cannot write is refused"
set +e
err=$(as_user env KVCOB_DIR=/usr/share/kvcob kvcob-lote importar \
  /usr/share/kvcob/exemplos/cobranca-exemplo.rem 2>&1 >/dev/null)
rc=$?
set -e
echo "$err"
[ "$rc" -eq 2 ] || fail "a read-only KVCOB_DIR gave exit status $rc"
grep -qF /usr/share/kvcob <<<"$err" || fail "the message does not name the folder"
[ ! -e /usr/share/kvcob/cobrancaKV.db ] || fail "a database was created in /usr/share/kvcob"

echo "== the desktop program starts"
set +e
as_user env QT_QPA_PLATFORM=offscreen timeout 5 kvcob
rc=$?
set -e
[ "$rc" -eq 124 ] || fail "kvcob ended with status $rc instead of running"

echo "== remove"
DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y -qq kvcob >/dev/null
[ ! -e /usr/bin/kvcob-lote ] || fail "the package was not removed"
[ -f "$data/cobrancaKV.db" ] || fail "removing the package took the user's database"
[ -f "$home/bloquetos.pdf" ] || fail "removing the package took the user's PDF"
if [ "$created_user" -eq 1 ]; then $SUDO userdel --remove "$TEST_USER" 2>/dev/null || true; fi
echo "== package checked"
