#!/usr/bin/env bash
# The setup program as school IT staff and teachers meet it, under Wine set up as
# a Chinese Windows, in a new Wine prefix on a virtual X screen:
#   - "setup.exe /S" installs for the current user; run again, it installs over
#     itself as a newer version does over an older one;
#   - with KESTRIN_WINE_ARCH=win64 (64-bit Windows 10), it installs over what the
#     earlier 64-bit setup left (its files, its uninstall entry in the registry's
#     64-bit view): the old files replaced, one uninstall entry, none in the
#     32-bit view;
#   - the program and its texts are in the user's local programs folder, the
#     Start-menu entry and the desktop shortcut start it there with
#     Documents\Kestrin速算 as their working folder, the uninstall entry is in
#     the registry with its values;
#   - kestrin.exe, started from the desktop shortcut, makes the seven-term sheet
#     (Ctrl+F7, Alt+C) in Documents\Kestrin速算, byte for byte the Linux
#     build's, and Ctrl+Q ends it;
#   - the uninstall command the registry names, with /S, leaves none of the
#     setup's files, shortcuts or registry values, and the worksheet file stays.
#   setup-check.sh SETUP_EXE BUILT_KESTRIN_EXE LINUX_FIRST_SHEETS
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "$0")" && pwd)"
setup="$(realpath "$1")"
built_exe="$(realpath "$2")"
version=$(basename "$setup" | sed -n 's/^Kestrin-\(.*\)-setup\.exe$/\1/p')
linux_tool="$(realpath "$3")"

# shellcheck source=desktop.sh
source "$here/desktop.sh"
wine_desktop_in_xvfb "$0" "$@"
# From here on inside the virtual X screen.

# shellcheck source=../../../scripts/lib.sh
source "$here/../../../scripts/lib.sh"
work=$(mktemp -d)
at_exit rm -rf "$work"
export KESTRIN_WINEPREFIX="$work/prefix"
# shellcheck source=env.sh
source "$here/env.sh"
at_exit wineserver -k

QT_QPA_PLATFORM=offscreen "$linux_tool" "$work/linux" > "$work/linux.log" 2>&1 \
  || { cat "$work/linux.log"; fail "the Linux build's first_sheets failed"; }
sheet="学前段七笔加减速算.xls"

kestrin_wine_prefix
wine_user=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 ! -name Public -printf '%f\n' | head -n 1)
user_dir="$WINEPREFIX/drive_c/users/$wine_user"
win_user_dir="C:\\users\\$wine_user"
program_dir="$user_dir/AppData/Local/Programs/Kestrin"
win_program="$win_user_dir\\AppData\\Local\\Programs\\Kestrin\\kestrin.exe"
win_work_folder="$win_user_dir\\Documents\\Kestrin速算"
work_folder="$user_dir/Documents/Kestrin速算"
shortcut_name="Kestrin 速算自动出题系统.lnk"
start_menu_shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/$shortcut_name"
desktop_shortcut="$user_dir/Desktop/$shortcut_name"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrin'

wine() { "${kestrin_wine[@]}" "$@"; }
# A registry key's values as "name<TAB>type<TAB>data" lines; fails when there is no such key.
registry_values() {
  local out
  out=$(wine reg query "$1" 2>/dev/null | iconv -f GBK -t UTF-8 | tr -d '\r') || return 1
  sed -n -E 's/^    ([^ ].*[^ ]|[^ ])    (REG_[A-Z_]+)    ?(.*)$/\1\t\2\t\3/p' <<<"$out"
}

if [ "$WINEARCH" = win64 ]; then
  # What the 64-bit setup of Kestrin 2.0 left: its four files and uninstaller,
  # its settings and its uninstall entry, written by a 64-bit program.
  log "an earlier 64-bit installation"
  mkdir -p "$program_dir"
  for f in kestrin.exe uninstall.exe LICENSE.txt THIRD-PARTY-NOTICES.txt 使用说明.txt; do
    printf 'the 64-bit setup'"'"'s %s\n' "$f" > "$program_dir/$f"
  done
  win_dir="$win_user_dir\AppData\Local\Programs\Kestrin"
  for value in "DisplayName|Kestrin 速算自动出题系统" "DisplayVersion|2.0" "InstallLocation|$win_dir" \
               "UninstallString|\"$win_dir\\uninstall.exe\""; do
    wine reg add "$uninstall_key" /v "${value%%|*}" /d "${value#*|}" /f /reg:64 > /dev/null || flaw "reg add ${value%%|*}"
  done
  wine reg add 'HKCU\Software\Kestrin' /v InstallDir /d "$win_dir" /f /reg:64 > /dev/null || flaw "reg add InstallDir"
  wineserver -w
fi

log "installing with /S, twice"
for round in 1 2; do
  wine "$(winepath_of "$setup")" /S || flaw "the setup exited with $? (round $round)"
  wineserver -w
done

# --- what the setup made -------------------------------------------------------------
for f in kestrin.exe uninstall.exe LICENSE.txt THIRD-PARTY-NOTICES.txt 使用说明.txt; do
  [ -f "$program_dir/$f" ] || flaw "$f is not in the program folder"
done
others=$(find "$program_dir" -mindepth 1 -maxdepth 1 ! -name kestrin.exe ! -name uninstall.exe \
  ! -name LICENSE.txt ! -name THIRD-PARTY-NOTICES.txt ! -name 使用说明.txt -printf '%f ')
[ -z "$others" ] || flaw "further files in the program folder: $others"
cmp -s "$built_exe" "$program_dir/kestrin.exe" || flaw "the installed kestrin.exe is not the built one"
[ -d "$work_folder" ] || flaw "the setup made no Documents\\Kestrin速算"
for link in "$start_menu_shortcut" "$desktop_shortcut"; do
  if [ ! -f "$link" ]; then
    flaw "no shortcut $link"
    continue
  fi
  info=$(python3 "$here/lnk-info.py" "$link")
  grep -qxF "target $win_program" <<<"$info" || flaw "$(basename "$link") does not start $win_program: $info"
  grep -qxF "workdir $win_work_folder" <<<"$info" || flaw "$(basename "$link") does not start in $win_work_folder: $info"
done
values=$(registry_values "$uninstall_key") || flaw "no uninstall entry $uninstall_key"
if [ "$WINEARCH" = win64 ]; then
  ! registry_values 'HKCU\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Kestrin' > /dev/null \
    || flaw "a second uninstall entry in the registry's 32-bit view"
  entries=$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:64 2>/dev/null \
              | iconv -f GBK -t UTF-8 | grep -c 'DisplayName.*Kestrin' || true)
  [ "$entries" = 1 ] || flaw "$entries uninstall entries name Kestrin, not one"
fi
expect_value() {
  grep -qxF "$1" <<<"$values" || flaw "the uninstall entry lacks \"$1\"; it has: $values"
}
expect_value $'DisplayName\tREG_SZ\tKestrin 速算自动出题系统'
expect_value $'DisplayVersion\tREG_SZ\t'"$version"
expect_value $'Publisher\tREG_SZ\tKestrin developers'
expect_value $'DisplayIcon\tREG_SZ\t'"$win_program"',0'
expect_value $'InstallLocation\tREG_SZ\t'"$win_user_dir"'\AppData\Local\Programs\Kestrin'
expect_value $'UninstallString\tREG_SZ\t"'"$win_user_dir"'\AppData\Local\Programs\Kestrin\uninstall.exe"'
expect_value $'NoModify\tREG_DWORD\t0x1'
expect_value $'NoRepair\tREG_DWORD\t0x1'
size=$(sed -n 's/^EstimatedSize\tREG_DWORD\t//p' <<<"$values")
if [ -z "$size" ] || [ $((size)) -lt 10000 ]; then flaw "EstimatedSize is '$size' KB"; fi
quiet=$(sed -n 's/^QuietUninstallString\tREG_SZ\t//p' <<<"$values")
[ "$quiet" = "\"$win_user_dir\\AppData\\Local\\Programs\\Kestrin\\uninstall.exe\" /S" ] \
  || flaw "QuietUninstallString is '$quiet'"

# --- the program, started as the desktop shortcut starts it ----------------------------
log "starting kestrin.exe from the desktop shortcut"
wine_desktop_start "$work" start "$win_user_dir\\Desktop\\$shortcut_name"
wine_desktop_make_sheet "$work_folder/$sheet" || flaw "kestrin.exe wrote no $work_folder/$sheet"
if [ -f "$work_folder/$sheet" ]; then
  cmp -s "$work/linux/$sheet" "$work_folder/$sheet" || flaw "$sheet differs from the Linux build's"
fi
wine_desktop_quit || flaw "Ctrl+Q did not end kestrin.exe"
wine_desktop_stop

# --- the uninstall ----------------------------------------------------------------------
log "uninstalling with the registry's QuietUninstallString"
uninstaller=${quiet#\"}
uninstaller=${uninstaller%%\"*}
wine "$uninstaller" /S || flaw "the uninstaller exited with $?"
wineserver -w
[ ! -e "$program_dir" ] || flaw "the program folder stays: $(find "$program_dir" -mindepth 1 -printf '%f ')"
[ ! -e "$start_menu_shortcut" ] || flaw "the Start-menu entry stays"
[ ! -e "$desktop_shortcut" ] || flaw "the desktop shortcut stays"
! registry_values "$uninstall_key" > /dev/null || flaw "the uninstall entry stays"
! registry_values 'HKCU\Software\Kestrin' > /dev/null || flaw "HKCU\\Software\\Kestrin stays"
[ -f "$work_folder/$sheet" ] || flaw "the uninstaller removed the teacher's $sheet"

end_checks
log "installed twice, started from its shortcut in Documents\\Kestrin速算 (the sheet byte-identical" \
  "to the Linux build's), ended by Ctrl+Q, uninstalled without a trace but the worksheet file"
