# lib.sh: what e2e.sh, bench.sh, pictures.sh and play.sh share: which Wine runs which Windows
# build here, a private X display, and booted Wine prefixes that find Wine's own fonts (with a
# virtual desktop for the tests). Sourced, never run.
#
# TORVANE_NO_32BIT=1 makes these scripts treat 32-bit code as unavailable, so that the 64-bit
# path can be tried on a machine that runs both. The program itself knows nothing of it.

# The environment every Wine run of the project uses: quiet, no Mono or Gecko prompts, no menu
# entries, code page 1252 (from LC_ALL), and the desktop and prefix chosen below.
torvane_wine_environment() {
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export LC_ALL=C.UTF-8
}

# Decides, by trying, which Windows build this machine can run, and sets:
#   TORVANE_PRESET    windows (PE32 under wine32) or windows64 (PE32+ under wine64)
#   TORVANE_BUILD     the build tree of that preset
#   TORVANE_RUNS      one line saying what runs, for the scripts' first and last lines
# Under wine64 a directory of small wrappers goes first on PATH, so that "wine", "wineboot" and
# "winepath" (and ctest's emulator "wine") start the 64-bit loader: the packaged wine picks the
# 32-bit one whenever it is installed, runnable or not. Returns 1 when no Wine runs at all.
torvane_pick_wine() {
  local root=$1
  TORVANE_WHY=""
  if [ "${TORVANE_NO_32BIT:-}" = 1 ]; then
    TORVANE_WHY="32-bit code turned off by TORVANE_NO_32BIT=1"
  elif [ ! -e /usr/lib/wine/wine ]; then
    TORVANE_WHY="wine32 is not installed"
  elif ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    TORVANE_WHY="this machine cannot run 32-bit code ($(/usr/lib/wine/wine --version 2>&1 | tail -n 1))"
  fi
  if [ -z "$TORVANE_WHY" ]; then
    TORVANE_PRESET=windows
    TORVANE_BUILD=$root/build/windows
    TORVANE_RUNS="torvane.exe PE32 under wine32"
    return 0
  fi
  if ! /usr/lib/wine/wine64 --version >/dev/null 2>&1; then
    TORVANE_RUNS="no Wine runs here: $TORVANE_WHY, and /usr/lib/wine/wine64 does not start"
    return 1
  fi
  TORVANE_PRESET=windows64
  TORVANE_BUILD=$root/build/windows64
  TORVANE_RUNS="torvane.exe PE32+ (x86-64 build) under wine64: $TORVANE_WHY"
  local wrappers=$TORVANE_BUILD/wine64-bin
  mkdir -p "$wrappers"
  printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' \
    >"$wrappers/wine"
  printf '#!/bin/sh\nexec wine wineboot.exe "$@"\n' >"$wrappers/wineboot"
  printf '#!/bin/sh\nexec wine winepath.exe "$@"\n' >"$wrappers/winepath"
  chmod +x "$wrappers/wine" "$wrappers/wineboot" "$wrappers/winepath"
  export PATH=$wrappers:$PATH
  export WINELOADER=/usr/lib/wine/wine64
}

# Polls until a command succeeds; false after the timeout (seconds).
torvane_poll() {
  local timeout=$1
  shift
  local deadline=$((SECONDS + timeout))
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.05
  done
}

# Starts a private Xvfb (1024 x 768 unless $2 gives another size, a free display number) and
# exports DISPLAY. Its PID goes to TORVANE_XVFB_PID, for torvane_stop_display. $1 is a scratch
# folder. False if it did not start.
torvane_start_display() {
  local scratch=$1 size=${2:-1024x768}
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$scratch/display" \
    >"$scratch/xvfb.log" 2>&1 &
  TORVANE_XVFB_PID=$!
  if ! torvane_poll 15 test -s "$scratch/display"; then
    cat "$scratch/xvfb.log" >&2 || true
    return 1
  fi
  export DISPLAY=":$(head -n1 "$scratch/display")"
}

# For an EXIT trap: ends every program of the prefix in use, then the private display.
torvane_end_wine() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then wineserver -k >/dev/null 2>&1; fi
  torvane_stop_display
}

torvane_stop_display() {
  if [ -n "${TORVANE_XVFB_PID:-}" ]; then
    kill "$TORVANE_XVFB_PID" 2>/dev/null || true
    wait "$TORVANE_XVFB_PID" 2>/dev/null || true
    TORVANE_XVFB_PID=""
  fi
}

# Wine's own fonts (Marlett, which draws the caption buttons; MS Sans Serif; Tahoma), where the
# fonts-wine package puts them; false when they are not there.
torvane_wine_fonts() {
  local dir
  for dir in /usr/share/wine/fonts /usr/local/share/wine/fonts; do
    if [ -f "$dir/marlett.ttf" ]; then
      echo "$dir"
      return 0
    fi
  done
  return 1
}

# Makes $1 a booted Wine prefix that finds Wine's own fonts, and exports WINEPREFIX; with a size
# as $3 ("1024x768"), a virtual desktop of that size is the prefix's default desktop. A prefix
# booted by the same Wine for the same setup is kept (booting takes many seconds, and a booted
# prefix is too big to copy per run). $2 is the boot log.
#
# The fonts: Debian's Wine 8 looks for its own fonts in its data directory's "../fonts", that is
# /usr/share/fonts, while fonts-wine installs them in /usr/share/wine/fonts. Without them every
# caption button is drawn as its Marlett code ("0", "1", "r") in a text font, and dialogs fall
# back to a font of the system. The prefix's font path (HKCU\Software\Wine\Fonts, Path) names
# the right folder; a Wine that finds them itself skips these copies of faces it already has.
torvane_prepare_prefix() {
  local prefix=$1 log=$2 desktop=${3:-}
  export WINEPREFIX=$prefix
  local version fonts stamp
  version=$(wine --version 2>/dev/null) || return 1
  fonts=$(torvane_wine_fonts) || fonts=""
  stamp="$version; fonts: ${fonts:-none}; desktop: ${desktop:-none}"
  if [ -f "$prefix/.torvane-booted" ] && [ "$(cat "$prefix/.torvane-booted")" = "$stamp" ]; then
    return 0
  fi
  echo "booting a Wine prefix ($version) in $prefix"
  rm -rf "$prefix"
  if ! timeout 300 wineboot -i >"$log" 2>&1; then
    tail -n 20 "$log" >&2 || true
    return 1
  fi
  if [ -n "$fonts" ]; then
    wine reg add 'HKCU\Software\Wine\Fonts' /v Path /d "Z:${fonts//\//\\}" /f >/dev/null 2>&1
  else
    echo "Wine's own fonts are missing (install fonts-wine): caption buttons will show letters" >&2
  fi
  if [ -n "$desktop" ]; then
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$desktop" /f >/dev/null 2>&1
  fi
  wineserver -w
  echo "$stamp" >"$prefix/.torvane-booted"
}

# The prefix of the tests, the benches and the pictures: a 1024 x 768 virtual desktop is its
# default, which keeps window hides and dialog closes fast without a window manager, and every
# program of the prefix shares it.
torvane_boot_prefix() {
  torvane_prepare_prefix "$1" "$2" 1024x768
}

# Where ALSA has nothing to play on (no playback device, no ALSA configuration of the user's),
# Wine's ALSA driver prints a page of errors whenever a program asks for a sound device. Leaving
# that driver out then changes nothing else: the program finds no wave device and beeps, as it
# would anyway, and PulseAudio, where a server runs, still plays. Wherever a device or a
# configuration exists, nothing changes.
torvane_quiet_alsa() {
  if compgen -G '/dev/snd/pcmC*D*p' >/dev/null || [ -e "$HOME/.asoundrc" ] ||
    [ -e /etc/asound.conf ] || [ -n "${ALSA_CONFIG_PATH:-}" ]; then
    return 0
  fi
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winealsa.drv=d"
}
