#!/usr/bin/env bash
# Installs Wordlark with DESTDIR into a temporary folder, as the package does
# (prefix /usr), and checks what a user gets:
#
#   files     the program folder with the shipped files, the bin link, the menu
#             entry, the icons, the manual page
#   start     the installed program, started by its menu entry's command in a
#             sandbox (HOME and the XDG folders in the temporary folder) under
#             the offscreen platform, with the window probe preloaded: with
#             preferences that ask for "Deutsch" it speaks German only when it
#             found its catalogue and language files beside its real executable
#   scripts   the package's maintainer scripts write the registration the
#             program itself writes, and take it back on removal
#
# Usage: InstallTest.sh <build dir> <source dir> <window probe library> <maintainer scripts dir>
set -uo pipefail
build=$1 source=$2 probe=$3 scripts=$4

id=example.brightmoor.wordlark
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
check() { # check <description> <command...>
  local what=$1
  shift
  "$@" || fail "$what"
}

root=$tmp/root
usr=$root/usr
program=$usr/lib/wordlark
if ! DESTDIR=$root cmake --install "$build" --prefix /usr >"$tmp/install.log" 2>&1; then
  cat "$tmp/install.log" >&2
  echo "FAIL: cmake --install" >&2
  exit 1
fi

echo "== files"
check "the executable is in the program folder" test -x "$program/wordlark"
while IFS= read -r -d '' shipped; do
  relative=${shipped#"$source"/data/}
  check "$relative is beside the executable, unchanged" cmp -s "$shipped" "$program/$relative"
done < <(find "$source/data" -type f -print0)
link=$usr/bin/wordlark
check "bin/wordlark is a link" test -L "$link"
check "bin/wordlark is a relative link" test "$(readlink "$link" | cut -c1)" != /
check "bin/wordlark leads to the executable" test "$(realpath "$link")" = "$(realpath "$program/wordlark")"
for file in share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
            share/doc/wordlark/copyright share/doc/wordlark/changelog.gz \
            share/man/man1/wordlark.1.gz; do
  check "$file is installed" test -s "$usr/$file"
done
check "the manual page is whole" gzip -tq "$usr/share/man/man1/wordlark.1.gz"

# The menu entry names a command that is on the PATH of the installation and an
# icon that the icon theme has as a drawing and at each size it renders.
desktop=$usr/share/applications/$id.desktop
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
icon=$(sed -n 's/^Icon=//p' "$desktop")
check "the menu entry's command is the bin link" \
  test "$(PATH=$usr/bin command -v "${exec_line%% *}")" = "$link"
check "the menu entry's icon is drawn in the theme" \
  cmp -s "$source/src/resources/wordlark.svg" "$usr/share/icons/hicolor/scalable/apps/$icon.svg"
png_size() { # width x height from the PNG header
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}
for size in 16 24 32 48 64 128 256; do
  png=$usr/share/icons/hicolor/${size}x$size/apps/$icon.png
  check "the ${size}px icon is a ${size}x$size PNG" test "$(png_size "$png" 2>/dev/null)" = "${size}x$size"
done

echo "== start"
# One start of the installed program in a fresh sandbox. Prints the probe's
# report; leaves the sandbox in $sandbox.
start() {
  sandbox=$tmp/sandbox
  rm -rf "$sandbox"
  mkdir -p "$sandbox"/{home,data,config,common,cache,runtime} "$sandbox/data/Brightmoor/Wordlark"
  chmod 700 "$sandbox/runtime"
  printf '<?xml version="1.0" encoding="utf-8"?>\r\n<InitFile>\r\n  <LanguageName>Deutsch</LanguageName>\r\n</InitFile>\r\n' \
    >"$sandbox/data/Brightmoor/Wordlark/Wordlark.ini"
  local status=0
  # The menu entry's command, as the desktop runs it: found on the PATH. Only
  # the program gets the probe (in the sanitizer build it brings the sanitizer's
  # runtime along, which is no good in an uninstrumented program).
  env -i PATH="$usr/bin:/usr/bin:/bin" HOME="$sandbox/home" \
    XDG_DATA_HOME="$sandbox/data" XDG_CONFIG_HOME="$sandbox/config" \
    XDG_DATA_DIRS="$sandbox/common" XDG_CACHE_HOME="$sandbox/cache" \
    XDG_RUNTIME_DIR="$sandbox/runtime" QT_QPA_PLATFORM=offscreen \
    ${ASAN_OPTIONS+ASAN_OPTIONS="$ASAN_OPTIONS:verify_asan_link_order=0"} \
    ${UBSAN_OPTIONS+UBSAN_OPTIONS="$UBSAN_OPTIONS"} ${LSAN_OPTIONS+LSAN_OPTIONS="$LSAN_OPTIONS"} \
    WINDOW_PROBE_OUT="$sandbox/report" \
    timeout 60 env LD_PRELOAD="$probe" $exec_line >"$sandbox/output" 2>&1 || status=$?
  if ((status != 0)); then
    cat "$sandbox/output" >&2
    fail "the program ended with status $status ($1)"
  fi
  touch "$sandbox/report"
}
value() { # value <file> <key>: the quoted value of key="value" in a language file
  sed -n "s/^$2=\"\\(.*\\)\"\r\$/\\1/p" "$1"
}
caption() { # caption <control>: the main window's control's text in the report
  sed -n "s|^control FrmWordlark/$1 [A-Za-z]* \"\\(.*\\)\"\$|\\1|p" "$sandbox/report"
}

# Which interface the program shows with what beside its executable: German only
# when both the catalogue and the German file are found.
german=$source/data/Wordlark_Deutsch.ini
english=$source/data/Wordlark_English.ini
cases=(
  "complete installation|                     |Deutsch"
  "without the catalogue|Languages.ini        |English"
  "without the German file|Wordlark_Deutsch.ini|English"
)
for row in "${cases[@]}"; do
  IFS='|' read -r name hidden expected <<<"$row"
  hidden=${hidden// /}
  [[ -n "$hidden" ]] && mv "$program/$hidden" "$tmp/hidden"
  start "$name"
  [[ -n "$hidden" ]] && mv "$tmp/hidden" "$program/$hidden"
  [[ $expected == Deutsch ]] && texts=$german || texts=$english
  check "$name: the main window is shown" grep -q '^window FrmWordlark [A-Za-z]* "Brightmoor Wordlark"$' "$sandbox/report"
  for control in BtnSave BtnWizard BtnSelectInitFile; do
    want=$(value "$texts" "FrmWordlark.$control")
    check "$name: $control shows \"$want\" (got \"$(caption $control)\")" test -n "$want" -a "$(caption $control)" = "$want"
  done
  check "$name: the windows belong to the menu entry" grep -qx "application \"Wordlark\" \"$id\"" "$sandbox/report"
  check "$name: the main window closed normally" grep -qx 'closed FrmWordlark 1' "$sandbox/report"
  if [[ $expected == Deutsch ]]; then
    check "$name: the preferences were saved with the language" \
      grep -q '<LanguageName>Deutsch</LanguageName>' "$sandbox/data/Brightmoor/Wordlark/Wordlark.ini"
    # The program registers itself with its real folder, reached through the link.
    program_registration=$sandbox/common/Brightmoor/Wordlark/Installation.ini
    check "$name: the registration names the program folder" \
      grep -q "^InstallationDirectory=\"$(realpath "$program")/\"" "$program_registration"
    cp "$program_registration" "$tmp/program-registration"
  fi
done
check "the German and English captions differ" \
  test "$(value "$german" FrmWordlark.BtnSave)" != "$(value "$english" FrmWordlark.BtnSave)"

echo "== maintainer scripts"
dpkg_root=$tmp/dpkg-root
mkdir -p "$dpkg_root"
registration=$dpkg_root/usr/share/Brightmoor/Wordlark/Installation.ini
check "postinst configure succeeds" env DPKG_ROOT="$dpkg_root" sh "$scripts/postinst" configure
# The same file the program writes for itself, but for the package's folder and
# with the time of installation.
without_date() { sed -e 's/^InstallDate="[^"]*"/InstallDate=/' -e 's/^InstallationDirectory="[^"]*"/InstallationDirectory=/' "$1"; }
check "postinst writes the registration the program writes" \
  cmp -s <(without_date "$registration") <(without_date "$tmp/program-registration")
check "postinst names the package's program folder" grep -q '^InstallationDirectory="/usr/lib/wordlark/"'$'\r''$' "$registration"
check "postinst writes the time of installation" \
  grep -Eq '^InstallDate="[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}"'$'\r''$' "$registration"
check "postinst makes the registration readable by everyone" test "$(stat -c %a "$registration")" = 644

# Removal takes back the registration, and the maker's folder unless another
# program is registered there.
for row in "remove|" "purge|" "remove|Snapglass" "purge|Snapglass"; do
  IFS='|' read -r action other <<<"$row"
  rm -rf "$dpkg_root/usr"
  env DPKG_ROOT="$dpkg_root" sh "$scripts/postinst" configure
  if [[ -n $other ]]; then
    mkdir -p "$dpkg_root/usr/share/Brightmoor/$other"
    echo 'Version="1"' >"$dpkg_root/usr/share/Brightmoor/$other/Installation.ini"
  fi
  check "postrm $action succeeds" env DPKG_ROOT="$dpkg_root" sh "$scripts/postrm" "$action"
  check "postrm $action removes the registration folder" test ! -e "$dpkg_root/usr/share/Brightmoor/Wordlark"
  if [[ -n $other ]]; then
    check "postrm $action keeps $other's registration" test -f "$dpkg_root/usr/share/Brightmoor/$other/Installation.ini"
  else
    check "postrm $action removes the empty maker's folder" test ! -e "$dpkg_root/usr/share/Brightmoor"
  fi
done
check "postrm upgrade keeps the registration" bash -c \
  "env DPKG_ROOT='$dpkg_root' sh '$scripts/postinst' configure && env DPKG_ROOT='$dpkg_root' sh '$scripts/postrm' upgrade && test -f '$registration'"

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "every check passed"
