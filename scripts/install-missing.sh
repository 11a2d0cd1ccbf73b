# Sourced by the scripts that need Debian packages: install_missing PACKAGE... installs
# those of the list that are not installed yet, with sudo unless run as root.
install_missing() {
  local sudo="" p
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}
