#!/usr/bin/env bash
# Registers the sample network provider in the Wine prefix of a Windows build tree and links
# every share of the network description to a folder under the prefix's dosdevices/unc, so
# that WNetOpenEnumA finds the network and \\COMPUTER\SHARE reaches the folder.
#
#   tools/sample-network/register.sh BUILD_DIR [DESCRIPTION [SHARES_ROOT]]
#
# BUILD_DIR    the Windows build tree: it holds mv_sample_network.dll and, as for
#              tools/wine/run-exe.sh, chooses the prefix.
# DESCRIPTION  the network (default: sample-network.txt beside this script).
# SHARES_ROOT  holds SHARES_ROOT/<COMPUTER>/<SHARE> (default: BUILD_DIR/sample-shares);
#              made with tools/sample/make-sample-tree.sh when it does not exist yet.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source_dir="$(cd "$here/../.." && pwd)"
build_dir="$(cd "${1:?usage: $0 BUILD_DIR [DESCRIPTION [SHARES_ROOT]]}" && pwd)"
description="$(realpath "${2:-$here/sample-network.txt}")"
shares_root="${3:-$build_dir/sample-shares}"

dll="$build_dir/tools/sample-network/mv_sample_network.dll"
[[ -f "$dll" ]] || { echo "register.sh: $dll is missing; build the win32 preset first" >&2; exit 1; }

source "$source_dir/tools/wine/env.sh"
mv_wine_setup "$build_dir"

# The DLL goes where the programs of its own bitness find %SystemRoot%\System32.
machine="$(od -An -tx2 -j "$(( $(od -An -tu4 -j 60 -N4 "$dll") + 4 ))" -N2 "$dll" | tr -d ' ')"
case "$machine" in
  8664) system_dir="$WINEPREFIX/drive_c/windows/system32" ;;
  014c) system_dir="$WINEPREFIX/drive_c/windows/syswow64" ;;
  *) echo "register.sh: unknown machine type $machine of $dll" >&2; exit 1 ;;
esac
mkdir -p "$system_dir"
cp "$dll" "$system_dir/mv_sample_network.dll"

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
reg_text() { local text="${1//\\/\\\\}"; printf '%s' "${text//\"/\\\"}"; }

reg_file="$(mktemp --suffix=.reg)"
trap 'rm -f "$reg_file"' EXIT
cat >"$reg_file" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\NetworkProvider\\Order]
"ProviderOrder"="MirrorvaultSample"

[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\MirrorvaultSample\\NetworkProvider]
"ProviderPath"="$(reg_text 'C:\windows\system32\mv_sample_network.dll')"
"Name"="Sample Network"
"DescriptionFile"="$(reg_text "$(windows_path "$description")")"
REG
mv_wine regedit /S "$(windows_path "$reg_file")" </dev/null >/dev/null 2>&1

# The shares: SHARES_ROOT/<COMPUTER>/<SHARE>, each linked as \\COMPUTER\SHARE.
if [[ ! -d "$shares_root" ]]; then
  if [[ -x "$source_dir/tools/sample/make-sample-tree.sh" ]]; then
    "$source_dir/tools/sample/make-sample-tree.sh" "$shares_root"
  fi
  mkdir -p "$shares_root"
fi
computer=""
while read -r keyword name; do
  case "$keyword" in
    computer) computer="$name" ;;
    share)
      if [[ ! -d "$shares_root/$computer/$name" ]]; then
        # A share the tree maker did not make gets a little content of its own.
        mkdir -p "$shares_root/$computer/$name/notes"
        echo "$computer $name" >"$shares_root/$computer/$name/readme.txt"
        echo "kept" >"$shares_root/$computer/$name/notes/todo.txt"
      fi
      mv_link_unc_share "$computer" "$name" "$shares_root/$computer/$name"
      ;;
  esac
done < <(sed -e 's/\r$//' -e 's/[[:space:]]*$//' "$description")
echo "register.sh: sample network registered in $WINEPREFIX; shares in $shares_root"
