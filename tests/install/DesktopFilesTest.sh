#!/usr/bin/env bash
# The menu entry, the AppStream metadata and the manual page pass their
# validators. Skipped (exit 77) when a validator is not installed
# (scripts/setup.sh installs them).
#
# Usage: DesktopFilesTest.sh <packaging dir>
set -uo pipefail
dir=$1
id=example.brightmoor.wordlark
for tool in desktop-file-validate appstreamcli man; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done
status=0
# desktop-file-validate reports hints as well as errors; any report fails.
report=$(desktop-file-validate "$dir/$id.desktop" 2>&1) || status=1
if [[ -n $report ]]; then
  echo "$report"
  status=1
fi
# Offline: the screenshots and the home page are not fetched.
appstreamcli validate --no-net "$dir/$id.metainfo.xml" || status=1
report=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$dir/wordlark.1" 2>&1 >/dev/null)
if [[ -n $report ]]; then
  echo "manual page: $report"
  status=1
fi
exit "$status"
