#!/usr/bin/env bash
# Installs every Debian 12 package the project builds, tests and runs with.
# Idempotent: does nothing (and needs no network) when all packages are present.
# --fuse-bench also installs libfuse3 for the delayed FUSE share of the
# folder-list benchmark, --wine-peer mingw-w64 and Wine for the Windows client
# of scripts/wine-peer-check.sh (neither is needed to build or test the library).
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-translations-l10n libicu-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-ipafont-gothic xvfb xauth poppler-utils locales tzdata ccache man-db
)
for option in "$@"; do
  case $option in
    --fuse-bench) packages+=(libfuse3-dev fuse3) ;;
    --wine-peer) packages+=(gcc-mingw-w64-x86-64 wine64) ;;
    *) echo "install-deps.sh: unknown option $option" >&2; exit 2 ;;
  esac
done
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The tests pin the ja_JP.UTF-8 locale; make sure it exists.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
