#!/usr/bin/env bash
# Installs the Debian packages Wordlark needs to build, test and run, only those
# that are missing. Uses sudo for apt when not run as root.
#
#   scripts/setup.sh                      build, test and run
#   scripts/setup.sh --gates              and the quality gates' tools (the
#                                         Windows gate's included)
#   scripts/setup.sh --windows            and the Windows gate's tools only
#   scripts/setup.sh --package            and the tools that build and check the
#                                         Debian package
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  # scripts/check-layers.py
  python3
  qt6-base-dev qt6-qpa-plugins libqscintilla2-qt6-dev
  qt6-translations-l10n
  # Qt's SVG plug-ins draw the application icon and the logo
  libqt6svg6
  libgtest-dev libgmock-dev libbenchmark-dev
  # spelling: Enchant and the Hunspell dictionaries of the shipped languages
  libenchant-2-dev hunspell-de-de hunspell-fr hunspell-en-us
  xdg-utils xvfb xauth fonts-dejavu-core
  # the icon's renderings; the validators of the menu entry, the AppStream
  # metadata and the manual page
  librsvg2-bin desktop-file-utils appstream man-db
  # the translators' tools that read and edit the exported PO and XLIFF files
  gettext translate-toolkit
  # the benchmarks: a D-Bus session with the accessibility (AT-SPI) bus for
  # typing with assistive technology active, and Qt Linguist, whose start-up
  # the program's is measured against
  dbus-daemon at-spi2-core linguist-qt6
)
windows=(g++-mingw-w64-x86-64-posix wine64 googletest)
for arg in "$@"; do
  case "$arg" in
    # sanitizers and fuzzing with clang, and everything --windows installs
    --gates) packages+=(clang-14 libclang-rt-14-dev "${windows[@]}") ;;
    # the Windows gate: mingw-w64 (posix threads), wine to run its tests,
    # GoogleTest's sources to build it for Windows
    --windows) packages+=("${windows[@]}") ;;
    # CPack's DEB generator (dpkg-shlibdeps, file) and lintian
    --package) packages+=(dpkg-dev file lintian) ;;
    *) echo "setup: unknown option $arg" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
  if ! command -v sudo >/dev/null; then
    echo "setup: these packages are missing and sudo is not available: ${missing[*]}" >&2
    exit 1
  fi
  sudo=(sudo)
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
