#!/bin/bash
# large_address_aware.sh EXE...: fails unless every PE image given sets
# IMAGE_FILE_LARGE_ADDRESS_AWARE (0x0020) in its COFF header's Characteristics.
set -eu
# u16/u32 FILE OFFSET: a little-endian number read from the file.
u16() { od -An -tu2 -j "$2" -N2 --endian=little "$1" | tr -d ' '; }
u32() { od -An -tu4 -j "$2" -N4 --endian=little "$1" | tr -d ' '; }
status=0
for exe in "$@"; do
  pe=$(u32 "$exe" 60)  # e_lfanew
  if [ "$(u32 "$exe" "$pe")" != 17744 ]; then  # "PE\0\0"
    echo "$exe: no PE signature"
    status=1
    continue
  fi
  characteristics=$(u16 "$exe" $((pe + 22)))
  if [ $((characteristics & 0x20)) -eq 0 ]; then
    printf '%s: not large-address-aware (Characteristics 0x%04x)\n' "$exe" "$characteristics"
    status=1
  else
    printf '%s: large-address-aware (Characteristics 0x%04x)\n' "$exe" "$characteristics"
  fi
done
exit $status
