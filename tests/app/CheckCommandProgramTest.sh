#!/usr/bin/env bash
# The built program's "--check" as a script runs it: on a machine without a
# display (no DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM), a clean file
# exits 0, a faulty one 1 with the expected lines, bad use 2.
#
# Usage: CheckCommandProgramTest.sh <wordlark executable>
set -uo pipefail
wordlark=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
printf 'LanguageName="English"\r\nLanguageFile="App_English.ini"\r\nLanguageName="Deutsch"\r\nLanguageFile="App_Deutsch.ini"\r\n' >Languages.ini
printf 'Main.Open="Open %%s..."\r\nMain.Save="&Save"\r\n' >App_English.ini
printf 'Main.Open="%%s öffnen..."\r\nMain.Save="&Speichern"\r\n' >App_Deutsch.ini
printf 'Main.Open="%%s öffnen"\r\nMain.Save="Speichern"\r\n' >Faulty.ini

status=0
# Runs the program without a display; $out and $code get what it printed and its exit status.
check() {
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$wordlark" --check "$@" 2>&1)
  code=$?
}
expect() { # <what> <exit status> <output>
  if [[ $code != "$2" || $out != "$3" ]]; then
    echo "FAIL: $1: exit $code (expected $2), output:"
    echo "$out"
    status=1
  fi
}

check App_Deutsch.ini
expect "a clean file" 0 "Files checked: 1. Files with problems: 0. Problems: 0."

check --reference App_English.ini Faulty.ini
expect "a faulty file" 1 "Faulty.ini:1: The phrase ends in other punctuation: '...' in the reference, '–' here
Faulty.ini:2: The reference has an access key (&), the phrase none
Files checked: 1. Files with problems: 1. Problems: 2."

check --language Deutsch --reference App_English.ini Faulty.ini
expect "in German" 1 "Faulty.ini:1: Die Phrase endet mit anderen Satzzeichen: '...' in der Referenz, '–' hier
Faulty.ini:2: Die Referenz hat eine Zugriffstaste (&), die Phrase keine
Geprüfte Dateien: 1. Dateien mit Problemen: 1. Probleme: 2."

check --frobnicate App_Deutsch.ini
expect "bad use" 2 "wordlark --check: unknown option --frobnicate
Usage: wordlark --check [--reference FILE] [--language NAME] [--json] FILE...
Try 'wordlark --check --help'."

check Missing.ini
expect "an unreadable file" 2 "Missing.ini: the file cannot be read
Files checked: 0. Files with problems: 0. Problems: 0."

check --help
[[ $code == 0 && $out == "Usage: wordlark --check"* ]] || { echo "FAIL: --help: exit $code"; status=1; }

exit "$status"
