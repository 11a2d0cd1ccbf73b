#!/usr/bin/env bash
# Installs what kvcob needs on a fresh Debian 12 machine and builds it (2 jobs).
# Safe to run again: installed packages and an existing build are reused.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  build-essential cmake ccache clang libclang-rt-14-dev
  clang-format # keeps the sources as .clang-format says (checked by .ci/run)
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6svg6 qt6-image-formats-plugins
  libbenchmark-dev
  libdeflate-dev # packs the PDF streams
  libharfbuzz-dev # its subsetter (libharfbuzz-subset0) cuts the fonts the PDFs embed
  fonts-liberation fonts-dejavu-core
  zbar-tools poppler-utils sqlite3 libsqlite3-dev xvfb xauth
  qt6-translations-l10n # the toolkit's own dialogs and buttons in Brazilian Portuguese
  libqrcodegencpp-dev # the QR library the PIX encoder is tested against
  libqt6gui6 # its image plugins (qjpeg over libjpeg) read the About picture and JPEG logos
  libcups2-dev # the queues' state and the server's answer to a job
  cups cups-client cups-bsd # the tests' private print server, lp/lpadmin/lpstat, cupsenable
  # A shared PostgreSQL server: Qt's driver, libpq for the bulk path, and the server the
  # tests start a throwaway copy of.
  libqt6sql6-psql libpq-dev postgresql
  # Mailing the bloquetos: SMTP, TLS and MIME through libcurl; the tests' mail server.
  libcurl4-openssl-dev python3-aiosmtpd openssl
  # The password in the session's keyring (libsecret); the tests' private keyring.
  libsecret-1-dev gnome-keyring dbus-daemon
)

source scripts/install-missing.sh
install_missing "${PACKAGES[@]}"

BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_EXTRA:-} >/dev/null
cmake --build "$BUILD_DIR" -j2
