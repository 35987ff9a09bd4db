#!/usr/bin/env bash
# Builds Wordlark and starts it on a ready demo installation: the sample program
# Snapglass installed and registered in a sandbox under build/demo/, with every
# shell folder pointed into that sandbox, so nothing outside the build tree is
# touched and no root rights are needed.
#
#   scripts/demo.sh                 start on the current display
#   scripts/demo.sh --xvfb          start on a virtual screen (no display needed)
#   scripts/demo.sh --reset         throw the sandbox away and install it afresh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
use_xvfb=0
for arg in "$@"; do
  case "$arg" in
    --xvfb) use_xvfb=1 ;;
    --reset) rm -rf "$build/demo" ;;
    *) echo "demo: unknown option $arg" >&2; exit 2 ;;
  esac
done

"$root/scripts/setup.sh"
"$root/scripts/build.sh"

sandbox=$build/demo
program=$sandbox/Programs/Snapglass
if [[ ! -f "$program/Languages.ini" ]]; then
  mkdir -p "$program" "$sandbox/home" "$sandbox/local" "$sandbox/roaming" "$sandbox/common" \
           "$sandbox/cache" "$sandbox/runtime"
  cp "$root"/demo/Snapglass/* "$program/"
  # Snapglass registers itself in the maker's all-users folder, as every
  # Brightmoor program does, and keeps its settings in the local maker folder.
  mkdir -p "$sandbox/common/Brightmoor/Snapglass" "$sandbox/local/Brightmoor/Snapglass"
  printf 'InstallationDirectory="%s/"\r\nLanguageFile="Languages.ini"\r\nIniFile="Snapglass.ini"\r\nVersion="Version 2.4 (12.03.2016)"\r\nInstallDate="2016-03-12 09:41:00"\r\n' \
    "$program" > "$sandbox/common/Brightmoor/Snapglass/Installation.ini"
  printf 'Language="English"\r\nDelay="3"\r\nFormat="PNG"\r\n' \
    > "$sandbox/local/Brightmoor/Snapglass/Snapglass.ini"
fi
chmod 700 "$sandbox/runtime"

export HOME=$sandbox/home
export XDG_DATA_HOME=$sandbox/local
export XDG_CONFIG_HOME=$sandbox/roaming
export XDG_DATA_DIRS=$sandbox/common
export XDG_CACHE_HOME=$sandbox/cache
export XDG_RUNTIME_DIR=$sandbox/runtime

echo "demo: Snapglass's catalogue is $program/Languages.ini"
if ((use_xvfb)); then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$build/src/wordlark"
fi
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "demo: there is no display to show Wordlark on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "demo: run 'scripts/demo.sh --xvfb' to start it on a virtual screen instead." >&2
  exit 1
fi
exec "$build/src/wordlark"
