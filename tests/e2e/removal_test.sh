#!/bin/bash
# The removal phase end to end, under the Japanese code page: uninstall.exe in its install
# folder hands off to its copy in the temp folder, which refuses to go on while a help file of
# the manual is open, and goes through once the file is closed.
. "$UNINSTALL_SOURCE/tests/e2e/lib.sh"
export WINE_CODE_PAGE_932=1

e2e_begin removal

INST='C:\Program Files\Vorda\Quilldeck\QD100'
HELD_HELP="$INST"'\html\docs.chm\inner\manual.CHM'   # a folder ending in chm is entered
DESKTOP='C:\users\Public\Desktop'
WARNING='Close the manual, then start the uninstaller again.'
PROGRESS='マニュアルを削除しています...'
ARTIFACTS="$UNINSTALL_BUILD/artifacts"

# Plan files are text in the system's code page: Shift-JIS here.
write_cp932() {
  local path
  path=$(e2e_unix "$1")
  mkdir -p "$(dirname "$path")"
  printf '%s\n' "$2" | sed 's/$/\r/' | iconv -f UTF-8 -t CP932 > "$path"
  e2e_own "$(dirname "$path")"
}

touch_file() {
  local path
  path=$(e2e_unix "$1")
  mkdir -p "$(dirname "$path")"
  echo data > "$path"
  e2e_own "$(dirname "$path")"
}

# holder.exe PATH holds the file open until release_holders; returns once it holds it.
HOLDERS=()
hold_file() {
  local n=${#HOLDERS[@]} ready i
  ready="C:\\e2e_holder_ready_$n.txt"
  rm -f "$(e2e_unix "$ready")"
  wine_run "$E2E_ROOT" "$UNINSTALL_BUILD/holder.exe" "$1" "$ready" </dev/null >/dev/null 2>&1 &
  HOLDERS+=("$ready")
  for ((i = 0; i < 300; i++)); do
    [ -f "$(e2e_unix "$ready")" ] && return 0
    sleep 0.1
  done
  echo "e2e: $1 could not be held open" >&2
  return 1
}
release_holders() {
  local ready
  for ready in "${HOLDERS[@]}"; do rm -f "$(e2e_unix "$ready")"; done
  HOLDERS=()
  sleep 0.5
}

# The entry ending in ソ (0x83 0x5C) ends in the byte 0x5C without a separator.
PLAN="[BLFPath]
[MANUALS]
A=QD100,Alpha
B=QD101
C=QD102,Beta
[ETC]
0=$INST\\html
1=$INST
2=C:\\e2e\\keep\\
3=C:\\e2e\\ソ
4=C:\\e2e\\notes
5=C:\\e2e\\説明書.txt
6=C:\\e2e\\loose.txt
[Message]
0=QD100 uninstaller
1=Remove the on-screen manual?
2=$PROGRESS
3=$WARNING"

set_up_install() {
  local unix
  unix=$(e2e_unix "$INST")
  mkdir -p "$unix"
  cp "$UNINSTALL_BUILD/uninstall.exe" "$unix/uninstall.exe"
  write_cp932 "$INST\\Uninstall.tmp" "$PLAN"
  touch_file "$INST\\Lanternv4.ico"
  touch_file "$INST\\html\\index.html"
  touch_file "$INST\\html\\readme.txt"
  touch_file "$HELD_HELP"
  touch_file 'C:\e2e\keep\held.chm'
  touch_file 'C:\e2e\ソ\page.html'
  touch_file 'C:\e2e\notes\readme.txt'
  touch_file 'C:\e2e\説明書.txt'
  touch_file 'C:\e2e\loose.txt'
  local name
  for name in Alpha.lnk Beta.lnk Gamma.lnk Alpha; do touch_file "$DESKTOP\\$name"; done
  # mkdir -p made the folders between as this script's user.
  e2e_own "$(e2e_unix 'C:\Program Files\Vorda')" "$(e2e_unix 'C:\e2e')"
}

# wait_removal_end [SECONDS]: waits until no uninstall.exe runs (the file holders go on
# running, so the whole root never becomes idle). Prints "ended" or "timeout".
wait_removal_end() {
  local seconds=${1:-60} i
  for ((i = 0; i < seconds * 2; i++)); do
    if ! e2e_processes | grep -qi 'uninstall\.exe'; then echo ended; return 0; fi
    sleep 0.5
  done
  echo timeout
}

# Starts uninstall.exe from the install folder and confirms; the copy in the temp folder then
# runs the removal phase.
start_and_confirm() {
  e2e_start "$INST\\uninstall.exe"
  local question
  question=$(e2e_wait_window uninstall)
  e2e_expect_eq "the confirmation is asked" "$question" "Remove the on-screen manual?"
  e2e_press uninstall 1
  expect_exit_code "the install folder's program ends with 0" 0
}

# expect_exit_code WHAT CODE: the exit code of the program last started with e2e_start.
expect_exit_code() { e2e_expect_exit "$1" "$E2E_PID" "$2"; }

# --------------------------------------------------------------------------------------------
e2e_scenario "a help file held open stops the uninstall before anything is deleted"
set_up_install
hold_file "$HELD_HELP"
start_and_confirm

warning=$(e2e_wait_window uninstall)
e2e_expect_eq "the warning carries the plan's text" "$warning" "$WARNING"
progress=$(e2e_robot text Uninstalling | iconv -f CP932 -t UTF-8)
e2e_expect_eq "the progress window shows the plan's progress text" "$progress" "$PROGRESS"
mkdir -p "$ARTIFACTS"
sleep 1   # let the warning box paint itself over the progress window
display=$(cat "$E2E_ROOT/display")
if xwd -root -display "$display" 2>/dev/null | convert xwd:- "$ARTIFACTS/progress.png" 2>/dev/null; then
  e2e_pass "screenshot saved as $ARTIFACTS/progress.png"
else
  e2e_fail "screenshot of the progress window" "xwd or convert failed"
fi
e2e_press uninstall 1
e2e_expect_eq "the removal process ends after the warning" "$(wait_removal_end)" ended

for kept in "$INST\\uninstall.exe" "$INST\\Uninstall.tmp" "$INST\\Lanternv4.ico" \
    "$INST\\html\\index.html" "$HELD_HELP" 'C:\e2e\notes\readme.txt' 'C:\e2e\説明書.txt' \
    'C:\e2e\loose.txt' "$DESKTOP\\Alpha.lnk" "$DESKTOP\\Beta.lnk"; do
  e2e_expect_exists "nothing deleted: $kept" "$kept"
done

# The staged copy, started again as the hand-off starts it, stops the same way with exit code 0.
e2e_start "$E2E_TEMP_WIN\\uninstall.exe" uninstall
e2e_expect_eq "the staged copy warns again" "$(e2e_wait_window uninstall)" "$WARNING"
e2e_press uninstall 1
expect_exit_code "the removal process ends with 0 after the warning" 0
e2e_expect_exists "still nothing deleted" "$INST\\uninstall.exe"
release_holders

# --------------------------------------------------------------------------------------------
e2e_scenario "with the help file closed the same uninstall goes through"
# Held open now: a help file in a folder whose entry ends in a backslash (never scanned), and a
# readme.txt (never probed) whose folder then cannot be deleted, which stops nothing.
hold_file 'C:\e2e\keep\held.chm'
hold_file 'C:\e2e\notes\readme.txt'
start_and_confirm
e2e_expect_eq "the removal process ends by itself, without a warning" "$(wait_removal_end)" ended
release_holders

if [ -e "$(e2e_unix "$INST")" ]; then
  echo "left in the install folder:"; find "$(e2e_unix "$INST")" -ls
fi
for gone in "$INST" 'C:\e2e\説明書.txt' 'C:\e2e\loose.txt' "$DESKTOP\\Alpha.lnk" \
    "$DESKTOP\\Beta.lnk"; do
  e2e_expect_missing "deleted: $gone" "$gone"
done
for kept in 'C:\e2e\keep\held.chm' 'C:\e2e\ソ\page.html' 'C:\e2e\notes\readme.txt' \
    "$DESKTOP\\Gamma.lnk" "$DESKTOP\\Alpha" 'C:\Program Files\Vorda\Quilldeck'; do
  e2e_expect_exists "left alone: $kept" "$kept"
done

e2e_end
