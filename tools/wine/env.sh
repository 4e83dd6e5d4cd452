# Wine bench helpers, sourced by run-exe.sh, the demo and the end-to-end scripts.
# Everything lives in one state folder: the prefix, a scratch HOME (the prefix's Documents
# folder links to it) and the Xvfb display this bench started.
#
#   mv_wine_setup [HINT]           exports WINEPREFIX, HOME, DISPLAY, WINEDEBUG, ...
#                                  and creates the prefix once (safe to run concurrently),
#                                  the program's first run already over (notfirstrun=1)
#   mv_wine COMMAND...             runs a Windows program (after mv_wine_setup)
#   mv_link_unc_share C S DIR      makes \\C\S reach DIR inside the prefix
#   mv_unc_root                    host folder that holds the \\COMPUTER\SHARE links
#
# State folder: $MV_WINE_STATE, else <build tree of HINT>/wine (the build tree is the
# nearest folder above HINT with a CMakeCache.txt), else /tmp/mirrorvault-wine-<uid>.
# $MV_WINEPREFIX overrides the prefix alone.

mv_wine_loader() {
  # 64-bit Wine: it needs no 32-bit user mode on the host. /usr/bin/wine would pick the
  # wine32 loader whenever it is installed, even where the kernel cannot run it.
  local candidate
  for candidate in "${MV_WINE:-}" /usr/lib/wine/wine64 "$(command -v wine64 2>/dev/null)"; do
    if [[ -n "$candidate" && -x "$candidate" ]]; then
      echo "$candidate"
      return 0
    fi
  done
  echo "mv-wine: no 64-bit Wine found; run tools/install-deps.sh" >&2
  return 1
}

mv_wine_server() {
  local candidate
  for candidate in /usr/lib/wine/wineserver64 "$(command -v wineserver 2>/dev/null)"; do
    if [[ -n "$candidate" && -x "$candidate" ]]; then
      echo "$candidate"
      return 0
    fi
  done
  return 1
}

mv_wine_state_dir() {
  if [[ -n "${MV_WINE_STATE:-}" ]]; then
    echo "$MV_WINE_STATE"
    return
  fi
  local dir="${1:-$PWD}"
  [[ -d "$dir" ]] || dir="$(dirname "$dir")"
  dir="$(cd "$dir" 2>/dev/null && pwd -P)" || dir=""
  while [[ -n "$dir" && "$dir" != "/" ]]; do
    if [[ -f "$dir/CMakeCache.txt" ]]; then
      echo "$dir/wine"
      return
    fi
    dir="$(dirname "$dir")"
  done
  echo "/tmp/mirrorvault-wine-$(id -u)"
}

# Starts Xvfb once per state folder when no display is set; later runs reuse it.
mv_wine_display() {
  [[ -n "${DISPLAY:-}" ]] && return 0
  local state="$1"
  (
    flock 8
    local number pid
    if [[ -f "$state/xvfb" ]]; then
      read -r number pid <"$state/xvfb" || true
      if [[ -n "${pid:-}" ]] && kill -0 "$pid" 2>/dev/null && [[ -e "/tmp/.X11-unix/X$number" ]]; then
        exit 0
      fi
    fi
    rm -f "$state/xvfb.num"
    # -displayfd picks a free display number and writes it once the server accepts clients.
    # The lock descriptor is closed for Xvfb, which would otherwise hold the lock for life.
    setsid Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$state/xvfb.num" \
      </dev/null >/dev/null 2>&1 8>&- &
    pid=$!
    for _ in $(seq 100); do
      [[ -s "$state/xvfb.num" ]] && break
      sleep 0.1
    done
    number="$(tr -dc 0-9 <"$state/xvfb.num")"
    if [[ -z "$number" ]]; then
      echo "mv-wine: Xvfb did not start" >&2
      exit 1
    fi
    echo "$number $pid" >"$state/xvfb"
  ) 8>"$state/xvfb.lock" || return 1
  local number _pid
  read -r number _pid <"$state/xvfb"
  export DISPLAY=":$number"
}

# Creates the prefix once, without prompts: no Mono, no Gecko. A half-made prefix (marker
# missing) is thrown away and made again. wineboot has failed once with nothing but its usual
# output in its log, and succeeded when run again: a failed first try gets a second one, on a
# fresh prefix and a fresh server.
mv_wine_prefix() {
  local loader="$1"
  (
    flock 9
    if [[ ! -f "$WINEPREFIX/.mv-ready" ]]; then
      echo "mv-wine: creating prefix $WINEPREFIX" >&2
      local try
      for try in 1 2; do
        "$(mv_wine_server)" -k 9>&- 2>/dev/null || true
        rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX" "$HOME"
        "$loader" wineboot -i </dev/null >"$WINEPREFIX.log" 2>&1 9>&- && break
        if [[ "$try" == 2 ]]; then
          echo "mv-wine: wineboot failed twice, see $WINEPREFIX.log" >&2
          exit 1
        fi
        cp "$WINEPREFIX.log" "$WINEPREFIX.log.1"
        echo "mv-wine: wineboot failed (see $WINEPREFIX.log.1); trying once more" >&2
      done
      "$(mv_wine_server)" -w 9>&-
      mkdir -p "$WINEPREFIX/dosdevices/unc"
      touch "$WINEPREFIX/.mv-ready"
    fi
    mv_wine_fonts
  ) 9>"$WINEPREFIX.lock"
}

# Debian's Wine looks for its own fonts (fonts-wine) one folder away from where the package
# puts them, so window frames drew their caption buttons as the letters of a stand-in for
# Marlett. The prefix's Fonts folder is searched as well: Marlett is linked there. The other
# fonts stay as they were, so that texts keep the look (and the widths) they had.
mv_wine_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  [[ -e "$fonts/marlett.ttf" || ! -e /usr/share/wine/fonts/marlett.ttf ]] && return 0
  mkdir -p "$fonts"
  ln -sfn /usr/share/wine/fonts/marlett.ttf "$fonts/marlett.ttf"
}

mv_wine_setup() {
  local loader state
  loader="$(mv_wine_loader)" || return 1
  state="$(mv_wine_state_dir "${1:-}")"
  mkdir -p "$state"
  export WINEPREFIX="${MV_WINEPREFIX:-$state/prefix}"
  export HOME="$WINEPREFIX-home"
  export WINEARCH=win64
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
  export MV_WINE_LOADER="$loader"
  mkdir -p "$HOME"
  mv_wine_display "$state" || return 1
  mv_wine_prefix "$loader" || return 1
  # A server that outlives single runs saves about a second per program start. Its output
  # goes nowhere, so that it never holds a pipe that a caller (ctest) waits on.
  # When this call started the server, the prefix's services start now too, with no output
  # either; started later by a test they would inherit its pipes and keep ctest waiting.
  if "$(mv_wine_server)" -p600 </dev/null >/dev/null 2>&1; then
    "$loader" wineboot </dev/null >/dev/null 2>&1 || true
  fi
  # Programs here start as after their first run, so that no first-run question waits for an
  # answer; a test of the first run sets up its own state.
  if [[ ! -f "$WINEPREFIX/.mv-notfirstrun" ]]; then
    "$loader" reg add 'HKCU\Software\Mirrorvault' /v notfirstrun /t REG_SZ /d 1 /f \
      </dev/null >/dev/null 2>&1 && touch "$WINEPREFIX/.mv-notfirstrun"
  fi
}

mv_unc_root() { echo "$WINEPREFIX/dosdevices/unc"; }

mv_link_unc_share() {
  local computer="$1" share="$2" target="$3"
  mkdir -p "$(mv_unc_root)/$computer"
  ln -sfn "$(cd "$target" && pwd -P)" "$(mv_unc_root)/$computer/$share"
}

mv_wine() { "$MV_WINE_LOADER" "$@"; }

# 32-bit x86 programs (wine32, and so a 32-bit .exe) start where the kernel has 32-bit user
# mode, or where binfmt_misc hands them to qemu-i386 (Debian's qemu-user), which runs them as
# a 64-bit process. Entries of binfmt_misc come before the kernel's own loader: with one for
# i386, every 32-bit program runs under it, even on a kernel that could run them itself.
mv_binfmt_dir=/proc/sys/fs/binfmt_misc

# The interpreter of the enabled binfmt_misc entry for 32-bit x86 programs; fails for none.
mv_i386_interpreter() {
  local entry magic
  for entry in "$mv_binfmt_dir"/*; do
    case "${entry##*/}" in status | register) continue ;; esac
    [[ -f "$entry" ]] && grep -qx enabled "$entry" 2>/dev/null || continue
    magic="$(sed -n 's/^magic //p' "$entry")"
    # ELF, 32-bit class, and machine 3 (EM_386) in e_machine, bytes 18 and 19.
    [[ "${magic:0:10}" == 7f454c4601 && "${magic:36:4}" == 0300 ]] || continue
    sed -n 's/^interpreter //p' "$entry"
    return 0
  done
  return 1
}

# Registers qemu-i386 for 32-bit x86 programs, where none of them starts: as root only,
# mounting binfmt_misc first when it is not, and only while no entry of that name exists (one
# that was disabled stays so). Flag F opens the interpreter now, so that it is found from
# any mount namespace or chroot. Nothing here removes the entry again.
mv_i386_register_qemu() {
  local qemu
  qemu="$(command -v qemu-i386 2>/dev/null)" || return 1
  [[ "$(id -u)" -eq 0 ]] || return 1
  if [[ ! -e "$mv_binfmt_dir/register" ]]; then
    mount -t binfmt_misc binfmt_misc "$mv_binfmt_dir" 2>/dev/null || return 1
  fi
  [[ -e "$mv_binfmt_dir/qemu-i386" ]] && return 0
  echo "mv-wine: 32-bit programs do not start here; registering $qemu for them (binfmt_misc)" >&2
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' \
    >"$mv_binfmt_dir/register" 2>/dev/null
}

mv_wine32_starts() { [[ -x /usr/lib/wine/wine ]] && /usr/lib/wine/wine --version >/dev/null 2>&1; }

# True where wine32 starts, after registering qemu-i386 when it did not at first.
mv_wine_runs_32bit() { mv_wine32_starts || { mv_i386_register_qemu && mv_wine32_starts; }; }

# How 32-bit programs run here: "native 32-bit", "qemu-i386" (through binfmt_misc) or, when
# none starts, nothing (and a failure).
mv_32bit_mode() {
  local interpreter
  mv_wine_runs_32bit || return 1
  if interpreter="$(mv_i386_interpreter)"; then
    echo "${interpreter##*/}"
  else
    echo "native 32-bit"
  fi
}

# The machine field of a PE file's header, 4 hex digits: 014c for 32-bit x86, 8664 for x86_64.
mv_pe_machine() {
  local offset
  offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 0
  [[ -n "$offset" ]] && od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}
