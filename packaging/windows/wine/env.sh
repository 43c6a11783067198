# shellcheck shell=bash
# Sourced by the scripts that run Windows programs under Wine: a Wine set up as
# a Chinese Windows is.
#   - locale zh_CN (ANSI and OEM code page 936), from a zh_CN.UTF-8 locale that
#     is compiled once into the cache (LOCPATH, so no root is needed);
#   - SimSun, NSimSun and SimHei present as TrueType fonts: WenQuanYi Zen Hei
#     (Debian's fonts-wqy-zenhei) stands in for them through Wine's font
#     replacements;
#   - none of the host's OpenType CJK fonts (no Windows has them, and Wine's
#     PostScript driver cannot print them): Wine sees only the fonts that a
#     fontconfig file of its own lists, DejaVu and that stand-in.
#   - the default printer the tests' own CUPS queue, KestrinPDF, or the one
#     KESTRIN_WINE_PRINTER names (KestrinRefused for the refused-job test),
#     never this machine's default printer, which stays as it is. Wine makes
#     the CUPS destination libcups takes as the default the prefix's default
#     printer (HKCU\...\Windows NT\CurrentVersion\Windows "Device") each time
#     a program loads its printers, and libcups takes it from LPDEST and PRINTER
#     first. Programs started at once in one prefix would set it in turn, so a
#     queue other than KestrinPDF has a prefix (and a Wine session) of its own.
#   - 32-bit Windows 7 (WINEARCH=win32, winecfg's "win7"), the oldest Windows
#     the program is for; KESTRIN_WINE_ARCH=win64 makes a 64-bit Windows 10
#     instead, where the 32-bit program runs as on 64-bit Windows (WoW64).
# kestrin_wine_prefix makes the prefix on first use; it counts as ready only
# once a marker says that every step of making it succeeded.

kestrin_cache="${KESTRIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kestrin}"
kestrin_wine_printer="${KESTRIN_WINE_PRINTER:-KestrinPDF}"
export WINEARCH="${KESTRIN_WINE_ARCH:-win32}"
case "$WINEARCH" in
  win32) kestrin_wine_version=win7 kestrin_wine_loader=/usr/lib/wine/wine ;;
  win64) kestrin_wine_version=win10 kestrin_wine_loader=/usr/lib/wine/wine64 ;;
  *) echo "wine-env: KESTRIN_WINE_ARCH is win32 or win64, not $WINEARCH" >&2; return 1 ;;
esac
kestrin_prefix_name="wine-zh_CN-$kestrin_wine_version"
[ "$kestrin_wine_printer" = KestrinPDF ] || kestrin_prefix_name+="-$kestrin_wine_printer"
export WINEPREFIX="${KESTRIN_WINEPREFIX:-$kestrin_cache/$kestrin_prefix_name}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No prompts to install Wine's .NET and HTML engines; no menu entries or
# desktop files made on the Unix desktop for Windows shortcuts.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
export WINELOADER="$kestrin_wine_loader"
# Wine in the Chinese locale and with the fonts of its own fontconfig file,
# both set on Wine's command line only: this shell and the host programs it
# starts (the Linux build's first_sheets, ImageMagick, poppler's tools) keep the
# host's locale and fonts. Wine's fontconfig file has none of the host's rules:
# a Linux program that read it would get "DejaVu Math TeX Gyre" when it asks
# for "Noto Sans Mono CJK SC".
kestrin_wine_fonts_conf="$kestrin_cache/wine-fonts.conf"
# The default printer (LPDEST, PRINTER) likewise.
kestrin_wine=(env "LOCPATH=$kestrin_cache/locale" LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
  "FONTCONFIG_FILE=$kestrin_wine_fonts_conf" "LPDEST=$kestrin_wine_printer" "PRINTER=$kestrin_wine_printer"
  "$kestrin_wine_loader")

# What a ready prefix's marker holds; a prefix made otherwise is made anew.
kestrin_wine_setup="$WINEARCH $kestrin_wine_version; zh_CN cp936; SimSun SimHei NSimSun = WenQuanYi Zen Hei; no OpenType CJK; 1"

# The locale and the fontconfig file, made once into the cache; the caller
# holds the cache's lock.
kestrin_wine_locale() {
  local locales="$kestrin_cache/locale"
  [ -f "$locales/zh_CN.UTF-8/LC_CTYPE" ] && return 0
  mkdir -p "$locales"
  local part
  part=$(mktemp -d "$locales/.zh_CN.XXXXXX")
  localedef -i zh_CN -f UTF-8 "$part/zh_CN.UTF-8" >/dev/null 2>&1 \
    || { rm -rf "$part"; echo "wine-env: localedef cannot make zh_CN.UTF-8 (package locales)" >&2; return 1; }
  rm -rf "$locales/zh_CN.UTF-8"
  mv "$part/zh_CN.UTF-8" "$locales/zh_CN.UTF-8"
  rmdir "$part"
}

kestrin_wine_fonts() {
  [ -f "$kestrin_wine_fonts_conf" ] && return 0
  local font
  for font in /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/wqy/wqy-zenhei.ttc; do
    [ -f "$font" ] || { echo "wine-env: $font is missing (fonts-dejavu-core, fonts-wqy-zenhei)" >&2; return 1; }
  done
  cat > "$kestrin_wine_fonts_conf.part" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <dir>/usr/share/fonts/truetype/wqy</dir>
  <cachedir>$kestrin_cache/fontconfig</cachedir>
</fontconfig>
EOF
  mv "$kestrin_wine_fonts_conf.part" "$kestrin_wine_fonts_conf"
}

# Test programs run through this in parallel: what is shared is made under a
# lock, and only where it is missing.
kestrin_wine_prefix() {
  local marker="$WINEPREFIX/.kestrin-ready"
  if [ -f "$kestrin_cache/locale/zh_CN.UTF-8/LC_CTYPE" ] && [ -f "$kestrin_wine_fonts_conf" ] \
     && [ -f "$marker" ] && [ "$(cat "$marker")" = "$kestrin_wine_setup" ]; then
    return 0
  fi
  mkdir -p "$kestrin_cache"
  ( flock 9 && kestrin_wine_locale && kestrin_wine_fonts ) 9>"$kestrin_cache/.wine-env.lock" || return 1
  [ -f "$marker" ] && [ "$(cat "$marker")" = "$kestrin_wine_setup" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    [ -f "$marker" ] && [ "$(cat "$marker")" = "$kestrin_wine_setup" ] && exit 0
    # A prefix is made anew only where this made it (or began to), or in the
    # cache: one that a person pointed KESTRIN_WINEPREFIX at is theirs.
    if [ -n "${KESTRIN_WINEPREFIX:-}" ] && [ -e "$WINEPREFIX" ] && [ ! -f "$WINEPREFIX/.kestrin-made" ]; then
      echo "wine-env: $WINEPREFIX is a Wine prefix Kestrin did not make; it is left alone (point KESTRIN_WINEPREFIX at a new folder)" >&2
      exit 1
    fi
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX" && touch "$WINEPREFIX/.kestrin-made" || exit 1
    "${kestrin_wine[@]}" wineboot --init >/dev/null 2>&1 || { echo "wine-env: wineboot failed" >&2; exit 1; }
    wineserver -w || exit 1
    "${kestrin_wine[@]}" winecfg -v "$kestrin_wine_version" >/dev/null 2>&1 \
      || { echo "wine-env: winecfg cannot set the prefix to $kestrin_wine_version" >&2; exit 1; }
    wineserver -w || exit 1
    # Wine links Desktop, Documents and the like to the Unix home: a Windows
    # has folders of its own there, and nothing a program under test writes
    # may land in the home folder.
    local link
    for link in "$WINEPREFIX"/drive_c/users/*/*; do
      if [ -L "$link" ]; then rm -f "$link" && mkdir "$link" || exit 1; fi
    done
    local reg
    reg=$(mktemp --suffix=.reg)
    # UTF-16 with a byte order mark, as regedit reads the Chinese names.
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
      '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
      '"SimSun"="WenQuanYi Zen Hei"' '"宋体"="WenQuanYi Zen Hei"' \
      '"NSimSun"="WenQuanYi Zen Hei Mono"' '"新宋体"="WenQuanYi Zen Hei Mono"' \
      '"SimHei"="WenQuanYi Zen Hei"' '"黑体"="WenQuanYi Zen Hei"' \
      | iconv -f UTF-8 -t UTF-16 > "$reg"
    "${kestrin_wine[@]}" regedit /S "$(winepath_of "$reg")" >/dev/null 2>&1 \
      || { rm -f "$reg"; echo "wine-env: the font replacements could not be set" >&2; exit 1; }
    wineserver -w || exit 1
    rm -f "$reg"
    printf '%s' "$kestrin_wine_setup" > "$marker"
  ) 9>"$WINEPREFIX.lock"
}

# One wineserver for the prefix, from kestrin_wineserver_keep until
# kestrin_wineserver_end, for a run of many programs (the Windows tests).
# Debian's wineserver, as Wine starts it by itself, ends as soon as no program is
# left in its prefix (-p0): from then on it takes no new program, but it lives on
# until Wine's own programs (services.exe and the like) have ended. A program
# started meanwhile, by a test started just after another ended, retries for
# 5.5 s and gives up ("a wine server seems to be running, but I cannot connect
# to it", or "recvmsg: connection reset by peer" when it came just as the server
# stopped taking programs); one that waits it out starts 3 to 4 s late. The kept
# server is persistent (-p). Whatever runs in the prefix is ended first: the run
# has the prefix to itself. Wine's own programs are started here, with nothing
# to write to, so that they do not hold a test's output open: CTest waits for
# every program that holds it to end.
kestrin_wineserver_keep() {
  kestrin_wine_prefix || return 1
  local _
  # A server that was just told to end is waited for (-w): until it has, a new
  # one cannot take the prefix and programs cannot start.
  for _ in 1 2 3; do
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    if wineserver -p </dev/null >/dev/null 2>&1 \
       && "${kestrin_wine[@]}" cmd /c exit </dev/null >/dev/null 2>&1; then
      export KESTRIN_WINESERVER_KEPT="$WINEPREFIX"
      return 0
    fi
    sleep 1
  done
  echo "wine-env: no wineserver could be kept for $WINEPREFIX" >&2
  return 1
}

kestrin_wineserver_end() { wineserver -k >/dev/null 2>&1 || true; }

# A Unix path as Wine's Z: drive names it.
winepath_of() { printf 'Z:%s' "${1//\//\\}"; }
