#!/usr/bin/env bash
# Builds the Debian package of Wordlark with CPack in build/package/ (or
# $BUILD_DIR/package/), checks it with lintian and shows what it holds:
#
#   scripts/package.sh
#   sudo apt install ./build/package/wordlark_*.deb
#
# Fails when the package cannot be built or lintian reports an error; lintian's
# warnings and hints are shown.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh" --package
# Only what the package holds is needed; a build tree made by scripts/build.sh
# (tests and benchmarks included) serves as well.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target wordlark wordlark_desktop_files

out=$build/package
rm -rf "$out"
mkdir -p "$out"
if ! (cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1); then
  cat "$out/cpack.log" >&2
  echo "package: cpack failed" >&2
  exit 1
fi
debs=("$out"/wordlark_*.deb)
deb=${debs[0]}
echo "== $deb"
dpkg-deb --info "$deb"
echo
echo "== files"
dpkg-deb --contents "$deb"
echo
echo "== lintian"
# Lintian warns when it runs as root (as in CI); that is not about the package.
status=0
lintian --display-info --fail-on error "$deb" 2> >(grep -v 'running with root privileges' >&2) || status=$?
if ((status != 0)); then
  echo "package: lintian reports errors" >&2
  exit "$status"
fi
echo "package: $deb built; lintian reports no error"
