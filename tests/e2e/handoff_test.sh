#!/bin/bash
# The program's start as a user meets it: the confirmation, the staging in the temp folder and
# the start of the staged copy, and the ways start-up ends quietly or with the viewer warning.
. "$UNINSTALL_SOURCE/tests/e2e/lib.sh"

e2e_begin handoff

CONFIRM="Remove the printer manual?"
WARNING="Close the manual viewer first."
PLAN='[BLFPath]
path=C:\Viewer
info=manual
reg=SOFTWARE\VORDA\Test
[ETC]
1=C:\Manual\Help
2=C:\Manual
[Message]
1=Printer manual
2='"$CONFIRM"'
3=Removing the printer manual...
4='"$WARNING"
PLAN_WITHOUT_ETC='[ETC]
[Message]
1=Printer manual
2='"$CONFIRM"'
3=Removing the printer manual...
4='"$WARNING"
TEMP=$E2E_TEMP_WIN
STAGED_COMMAND="\"$TEMP\\uninstall.exe\" uninstall"

# Files an earlier run left in the temp folder, read-only.
put_stale_files() {
  local name
  for name in uninstall.exe uninstall.tmp; do
    e2e_write "$TEMP\\$name" "stale $name"
    chmod 444 "$(e2e_unix "$TEMP\\$name")"
  done
}

expect_stale_files_untouched() {
  local name
  for name in uninstall.exe uninstall.tmp; do
    e2e_expect_eq "$name in the temp folder untouched" \
      "$(tr -d '\r' < "$(e2e_unix "$TEMP\\$name")")" "stale $name"
  done
}

expect_nothing_started() {
  local processes
  processes=$(e2e_processes)
  e2e_expect_no_match "no staged copy started" "$processes" '\\Temp\\uninstall\.exe'
  e2e_expect_no_match "no command interpreter started" "$processes" 'cmd\.exe'
}

install_manual() {
  e2e_install 'C:\Manual' "$1"
  e2e_write 'C:\Manual\Help\manual.chm' "help"
}

# --------------------------------------------------------------------------------------------
e2e_scenario "Cancel at the confirmation changes nothing"
install_manual "$PLAN"
put_stale_files
e2e_start 'C:\Manual\uninstall.exe'
e2e_expect_eq "the plan's question is asked" "$(e2e_wait_window uninstall)" "$CONFIRM"
e2e_press uninstall 2
e2e_expect_exit "exit code" "$E2E_PID" 0
expect_nothing_started
expect_stale_files_untouched
e2e_expect_exists "the install folder stays" 'C:\Manual\Help\manual.chm'

# --------------------------------------------------------------------------------------------
e2e_scenario "OK stages fresh copies and starts the staged program with the word uninstall"
install_manual "$PLAN"
put_stale_files
e2e_start 'C:\Manual\uninstall.exe'
e2e_expect_eq "the plan's question is asked" "$(e2e_wait_window uninstall)" "$CONFIRM"
# The viewer "starts" while the question is open: the first process has passed its check, so
# the staged copy stops at its own check and shows the warning, deleting nothing.
e2e_hold_mutex 'Global\Brightleaf'
e2e_press uninstall 1
e2e_expect_exit "exit code" "$E2E_PID" 0
e2e_expect_eq "the staged copy warns about the viewer" "$(e2e_wait_window uninstall)" "$WARNING"
processes=$(e2e_processes)
e2e_expect_match "the staged copy runs with the word uninstall" "$processes" \
  "^[0-9]+	[^	]*\\\\Temp\\\\uninstall\\.exe	\"?[^	]*\\\\Temp\\\\uninstall\\.exe\"? uninstall\$"
e2e_expect_same_file "fresh uninstall.exe staged" "$TEMP\\uninstall.exe" "$UNINSTALL_BUILD/uninstall.exe"
e2e_expect_same_file "fresh uninstall.tmp staged" "$TEMP\\uninstall.tmp" "$(e2e_unix 'C:\Manual\Uninstall.tmp')"
e2e_press uninstall 1
e2e_release_mutex
e2e_expect_eq "everything ends" "$(e2e_wait_idle 60)" idle
e2e_expect_exists "nothing deleted while the viewer runs" 'C:\Manual\Help\manual.chm'

# --------------------------------------------------------------------------------------------
e2e_scenario "the command interpreter gets the staged program's quoted path"
install_manual "$PLAN"
e2e_start 'C:\Manual\uninstall.exe'
e2e_wait_window uninstall >/dev/null
e2e_hold_mutex 'Global\Brightleaf'
e2e_press uninstall 1
e2e_wait_exit "$E2E_PID"
e2e_wait_window uninstall >/dev/null
processes=$(e2e_processes)
shell_line=$(printf '%s\n' "$processes" | grep -i 'cmd\.exe' | cut -f3)
if [ -n "$shell_line" ]; then
  e2e_expect_eq "shell command line" "$shell_line" "C:\\windows\\system32\\cmd.exe /c  $STAGED_COMMAND"
else
  echo "             (the command interpreter had already ended; its line is checked by startup_test)"
fi
e2e_press uninstall 1
e2e_release_mutex

# --------------------------------------------------------------------------------------------
e2e_scenario "a plan without removal entries ends silently in both phases"
install_manual "$PLAN_WITHOUT_ETC"
e2e_start 'C:\Manual\uninstall.exe'
e2e_expect_exit "hand-off exit code, no box" "$E2E_PID" 0 30
e2e_start 'C:\Manual\uninstall.exe' uninstall
e2e_expect_exit "removal exit code, no box" "$E2E_PID" 0 30
e2e_expect_missing "nothing staged" "$TEMP\\uninstall.exe"
e2e_expect_exists "nothing deleted" 'C:\Manual\Help\manual.chm'

# --------------------------------------------------------------------------------------------
e2e_scenario "a running viewer stops both phases with the plan's warning"
install_manual "$PLAN"
e2e_hold_mutex 'Global\Brightleaf'
e2e_start 'C:\Manual\uninstall.exe'
e2e_expect_eq "hand-off shows the warning, not the question" "$(e2e_wait_window uninstall)" "$WARNING"
e2e_press uninstall 1
e2e_expect_exit "hand-off exit code" "$E2E_PID" 0
e2e_expect_missing "nothing staged" "$TEMP\\uninstall.exe"
e2e_start 'C:\Manual\uninstall.exe' uninstall
e2e_expect_eq "removal phase shows the warning" "$(e2e_wait_window uninstall)" "$WARNING"
e2e_expect_eq "no progress window" "$(e2e_window_count Uninstalling)" 0
e2e_press uninstall 1
e2e_expect_exit "removal exit code" "$E2E_PID" 0
e2e_expect_exists "nothing deleted" 'C:\Manual\Help\manual.chm'
e2e_expect_exists "the program stays" 'C:\Manual\uninstall.exe'
e2e_release_mutex

# --------------------------------------------------------------------------------------------
e2e_scenario "a second hand-off while the first asks ends silently"
install_manual "$PLAN"
e2e_start 'C:\Manual\uninstall.exe'
first=$E2E_PID
e2e_wait_window uninstall >/dev/null
e2e_start 'C:\Manual\uninstall.exe'
e2e_expect_exit "second exit code, no box" "$E2E_PID" 0 30
e2e_expect_eq "only the first question is open" "$(e2e_window_count uninstall)" 1
e2e_press uninstall 2
e2e_expect_exit "first exit code" "$first" 0
e2e_expect_missing "nothing staged" "$TEMP\\uninstall.exe"

# --------------------------------------------------------------------------------------------
e2e_scenario "without a display the question cannot be asked, and nothing happens"
install_manual "$PLAN"
put_stale_files
WINE_DISPLAY_OVERRIDE= e2e_start 'C:\Manual\uninstall.exe'
e2e_expect_exit "exit code" "$E2E_PID" 0 30
expect_nothing_started
expect_stale_files_untouched

e2e_end
