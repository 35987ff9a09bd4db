#!/usr/bin/env bash
# Builds the program Wordlark (only the program: the tests and benchmarks are
# built by scripts/test.sh) and starts it on a ready demo installation: the
# sample programs Snapglass and Lumapad installed and registered in a sandbox
# under build/demo/, with every shell folder pointed into that sandbox, so nothing
# outside the build tree is touched and no root rights are needed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

usage() {
  cat <<USAGE
Usage: scripts/demo.sh [--xvfb] [--reset] [--help]

Installs the Debian packages Wordlark needs (with sudo when not run as root),
builds the program in $build and starts it on a demo installation of the
sample programs Snapglass and Lumapad in $build/demo/.

  --xvfb    start Wordlark on a virtual screen (no display needed)
  --reset   throw the demo installation away and install it afresh
  --help    show this help

The tests and benchmarks are built and run by scripts/test.sh.
USAGE
}

use_xvfb=0
reset=0
for arg in "$@"; do
  case "$arg" in
    --xvfb) use_xvfb=1 ;;
    --reset) reset=1 ;;
    -h|--help) usage; exit 0 ;;
    *) echo "demo: unknown option $arg (see scripts/demo.sh --help)" >&2; exit 2 ;;
  esac
done
if ((!use_xvfb)) && [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "demo: there is no display to show Wordlark on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "demo: run 'scripts/demo.sh --xvfb' to start it on a virtual screen instead." >&2
  exit 1
fi

echo "demo: checking the Debian packages Wordlark needs, installing any that are missing"
"$root/scripts/setup.sh"

echo "demo: building Wordlark in $build (the first build takes a few minutes)"
mkdir -p "$build"
log=$build/demo-build.log
if ! "$root/scripts/build.sh" --target wordlark >"$log" 2>&1; then
  cat "$log" >&2
  echo "demo: the build failed; its output is above and in $log" >&2
  exit 1
fi

sandbox=$build/demo
program=$sandbox/Programs/Snapglass
((reset)) && rm -rf "$sandbox"
mkdir -p "$sandbox/home" "$sandbox/local" "$sandbox/roaming" "$sandbox/common" \
         "$sandbox/cache" "$sandbox/runtime"

# Installs a sample program of demo/ and registers it in the maker's all-users
# folder, as every Brightmoor program does; its settings file goes to the local
# maker folder. A program installed before is left as it is.
#   install_program NAME VERSION SETTINGS-LINES
install_program() {
  local name=$1 version=$2 settings=$3
  local folder=$sandbox/Programs/$name
  [[ -f "$folder/Languages.ini" ]] && return 0
  echo "demo: installing the sample program $name in $sandbox"
  mkdir -p "$folder" "$sandbox/common/Brightmoor/$name" "$sandbox/local/Brightmoor/$name"
  cp "$root/demo/$name"/* "$folder/"
  printf 'InstallationDirectory="%s/"\r\nLanguageFile="Languages.ini"\r\nIniFile="%s.ini"\r\nVersion="%s"\r\nInstallDate="2016-03-12 09:41:00"\r\n' \
    "$folder" "$name" "$version" > "$sandbox/common/Brightmoor/$name/Installation.ini"
  printf '%s' "$settings" > "$sandbox/local/Brightmoor/$name/$name.ini"
}
install_program Snapglass "Version 2.4 (12.03.2016)" $'Language="English"\r\nDelay="3"\r\nFormat="PNG"\r\n'
# A second program of the maker whose translations share phrases with
# Snapglass's, word for word and nearly so: the workbench suggests them.
install_program Lumapad "Version 1.2 (02.05.2016)" $'Language="Deutsch"\r\nInterval="5"\r\n'
mkdir -p "$sandbox/runtime"
chmod 700 "$sandbox/runtime"

export HOME=$sandbox/home
export XDG_DATA_HOME=$sandbox/local
export XDG_CONFIG_HOME=$sandbox/roaming
# The sandbox's all-users folder first, where Snapglass is registered and where
# Wordlark registers itself at start, so the wizard lists both; the system's
# data folders after it, so the desktop's handlers are still found.
export XDG_DATA_DIRS=$sandbox/common:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}
export XDG_CACHE_HOME=$sandbox/cache
export XDG_RUNTIME_DIR=$sandbox/runtime

echo "demo: Snapglass's catalogue is $program/Languages.ini (\"Browse\" opens it)"
if ((use_xvfb)); then
  echo "demo: starting Wordlark on a virtual screen"
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$build/src/wordlark"
fi
echo "demo: starting Wordlark"
exec "$build/src/wordlark"
