#!/usr/bin/env bash
# The installer end to end in a fresh 64-bit Wine prefix: a silent install puts the three files,
# the Start menu shortcut and the uninstaller's registration in place; the installed program
# starts and shows its main window; a silent uninstall takes all of it away and leaves the
# user's snapshots in Documents\Mirrorvault.
#   install_test.sh Mirrorvault-1.0-setup.exe FOLDER-OF-THE-PACKED-FILES
set -euo pipefail
setup="$(realpath "$1")"
packed="$(realpath "$2")"
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine/env.sh"

if ! mv_wine_runs_32bit; then
  echo "install test: skipped: the installer is a 32-bit program and this kernel cannot run" \
    "32-bit code (wine32)"
  exit 77
fi

fail() {
  echo "install test: $*" >&2
  exit 1
}
# Polls a condition for up to 30 s.
within_30s() {
  for _ in $(seq 60); do
    "$@" && return 0
    sleep 0.5
  done
  return 1
}
# Wine names a top-level window after its caption, with the program as its class.
main_window_shown() { xwininfo -root -tree 2>/dev/null | grep -q '"Mirrorvault": ("mirrorvault.exe"'; }

# A prefix of its own, made anew for every run, so that nothing of an earlier install counts.
# It costs about half a minute; every step below shares it.
export MV_WINEPREFIX="$(dirname "$setup")/install-test/prefix"
if [[ -d "$MV_WINEPREFIX" ]]; then
  WINEPREFIX="$MV_WINEPREFIX" "$(mv_wine_server)" -k 2>/dev/null || true
fi
rm -rf "$MV_WINEPREFIX" "$MV_WINEPREFIX-home"
# No menu entries on the host for the shortcut.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
mv_wine_setup "$setup"
trap '"$(mv_wine_server)" -k 2>/dev/null || true' EXIT

drive="$WINEPREFIX/drive_c"
folder='C:\Program Files (x86)\Mirrorvault'
installed="$drive/Program Files (x86)/Mirrorvault"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Mirrorvault.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Mirrorvault'
# The registry as the 32-bit installer sees it.
reg32() { mv_wine 'C:\windows\syswow64\reg.exe' "$@" 2>/dev/null; }

echo "--- silent install"
mv_wine "$setup" /S || fail "the installer failed"
for file in Mirrorvault.exe mirrorvault-cli.exe help.chm; do
  cmp -s "$installed/$file" "$packed/$file" || fail "$file is not installed in $installed"
done
[[ -f "$shortcut" ]] || fail "no Start menu shortcut"
values="$(reg32 query "$uninstall_key")" || fail "the uninstaller is not registered"
for value in DisplayName DisplayVersion Publisher UninstallString; do
  grep -q "$value" <<<"$values" || fail "the uninstall key lacks $value"
done

echo "--- the installed program starts"
# Started as a process of its own (not in a subshell), so that its id is the program's.
"$MV_WINE_LOADER" "$folder\\Mirrorvault.exe" </dev/null >/dev/null 2>&1 &
program=$!
shown=0
within_30s main_window_shown && shown=1
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
[[ $shown -eq 1 ]] || fail "the installed program showed no main window"

echo "--- silent uninstall"
documents="$(ls -d "$drive"/users/*/Documents | grep -v /Public/ | head -1)"
mkdir -p "$documents/Mirrorvault"
snapshot="$documents/Mirrorvault/WORKGROUP.PC1.05.12.2026.09.04.05.mirvaul"
printf 'Mirrorvault file\r\nVERSION: 1.0\r\nCOMPUTER: PC1\r\nGROUP: WORKGROUP\r\n' >"$snapshot"
mv_wine "$folder\\Uninstall.exe" /S || fail "the uninstaller failed"
# The uninstaller goes on from a copy of itself in the temporary folder, so wait for its work.
within_30s test ! -e "$installed" || fail "$installed is still there: $(ls "$installed")"
[[ ! -e "$shortcut" ]] || fail "the Start menu shortcut is still there"
! reg32 query "$uninstall_key" >/dev/null || fail "the uninstall key is still there"
[[ -f "$snapshot" ]] || fail "the snapshot in Documents\\Mirrorvault is gone"

# Passed: the prefix goes, with the server that keeps it.
"$(mv_wine_server)" -k 2>/dev/null || true
rm -rf "$(dirname "$MV_WINEPREFIX")"
echo "install test: passed"
