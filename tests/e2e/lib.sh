# Shared functions for end-to-end scenarios: the program runs under Wine + Xvfb as a user would
# run it, and the scenario drives its windows with robot.exe and then looks at what is left.
#
# Environment (ctest sets it): UNINSTALL_WINE_ROOTS (the fixture's roots: template, display),
# UNINSTALL_BUILD (uninstall.exe, robot.exe, mutex_holder.exe ...), UNINSTALL_SOURCE.
#
# A script sources this file, calls e2e_begin NAME once, then runs scenarios:
#
#   . "$UNINSTALL_SOURCE/tests/e2e/lib.sh"
#   e2e_begin my_feature                      # own Wine root, removed again on exit
#   e2e_scenario "cancel leaves everything"   # starts a scenario: clean temp folder, no processes
#   e2e_install 'C:\Manual' "$plan"           # uninstall.exe + Uninstall.tmp in a prefix folder
#   e2e_start 'C:\Manual\uninstall.exe'       # in the background; its id in E2E_PID
#   text=$(e2e_wait_window uninstall)         # waits for the box, prints its text
#   e2e_expect_eq "question shown" "$text" "Remove?"
#   e2e_press uninstall 2                     # Cancel
#   e2e_expect_exit "exit code" "$E2E_PID" 0
#   e2e_end                                   # prints the summary; exit code 1 on any failure
#
# Results are printed as gtest-like lines: "[       OK ] scenario: check" or
# "[  FAILED  ] scenario: check" with what was expected. Windows paths are written in single
# quotes ('C:\Manual'); e2e_unix turns them into paths of the prefix on this machine.

set -u
. "$UNINSTALL_SOURCE/scripts/lib/wine-env.sh"

E2E_ROOT=""
E2E_FAILURES=0
E2E_CHECKS=0
E2E_SCENARIO=""
E2E_PID=""
E2E_EXIT=""
E2E_HOLDER=""
# The Windows user Wine runs as: "nobody" when the tests run as root (see wine-env.sh).
if [ "$(id -u)" = 0 ]; then E2E_WINE_USER=$WINE_USER; else E2E_WINE_USER=$(id -un); fi
# The temp folder the program stages into (its GetTempPathA), without the trailing backslash.
E2E_TEMP_WIN="C:\\users\\$E2E_WINE_USER\\Temp"

# e2e_begin NAME: makes this script's Wine root as a copy of the fixture's template.
e2e_begin() {
  local name=$1
  if [ -z "${UNINSTALL_WINE_ROOTS:-}" ] || [ ! -d "$UNINSTALL_WINE_ROOTS/template/prefix" ]; then
    echo "e2e: UNINSTALL_WINE_ROOTS has no template (run through ctest, with the wine_setup fixture)" >&2
    exit 2
  fi
  E2E_ROOT="$UNINSTALL_WINE_ROOTS/e2e-$name"
  wine_copy_root "$UNINSTALL_WINE_ROOTS/template" "$E2E_ROOT"
  trap e2e_cleanup EXIT
  echo "[==========] e2e $name in $E2E_ROOT"
}

# e2e_cleanup: ends every process of this root and removes it (runs on exit).
e2e_cleanup() {
  [ -n "$E2E_ROOT" ] || return 0
  wine_stop "$E2E_ROOT"
  rm -rf "$E2E_ROOT"
}

# e2e_scenario TITLE: starts a scenario with no program running and an empty temp folder.
e2e_scenario() {
  E2E_SCENARIO=$1
  wine_stop "$E2E_ROOT"
  local temp
  temp=$(e2e_unix "$E2E_TEMP_WIN")
  rm -rf "$temp"
  mkdir -p "$temp"
  e2e_own "$temp"
  echo "[ RUN      ] $E2E_SCENARIO"
}

# e2e_unix 'C:\path': the Linux path of a path on the prefix's drive C.
e2e_unix() { unix_path_of "$E2E_ROOT" "$1"; }

# e2e_own PATH...: hands files made by the script to the user Wine runs as.
e2e_own() {
  if [ "$(id -u)" = 0 ]; then chown -R "$WINE_USER:$WINE_GROUP" "$@"; fi
}

# e2e_write 'C:\path\file' TEXT: writes TEXT with CR LF line ends (folders made as needed).
e2e_write() {
  local path
  path=$(e2e_unix "$1")
  mkdir -p "$(dirname "$path")"
  printf '%s\n' "$2" | sed 's/$/\r/' > "$path"
  e2e_own "$(dirname "$path")"
}

# e2e_install 'C:\folder' PLAN_TEXT: puts the built uninstall.exe and the plan Uninstall.tmp
# into the folder, as the product's installer would.
e2e_install() {
  local folder=$1 plan=$2 unix
  unix=$(e2e_unix "$folder")
  mkdir -p "$unix"
  cp "$UNINSTALL_BUILD/uninstall.exe" "$unix/uninstall.exe"
  e2e_write "$folder\\Uninstall.tmp" "$plan"
  e2e_own "$unix"
}

# e2e_start PROGRAM [ARGS...]: starts a Windows program in the background (PROGRAM a Windows
# path, or a Linux path such as "$UNINSTALL_BUILD/x.exe"). Its id is left in E2E_PID.
# Set WINE_DISPLAY_OVERRIDE= (empty) in front of the call to run it without a display.
e2e_start() {
  e2e_background "$@" </dev/null >/dev/null 2>&1
  E2E_PID=$E2E_BACKGROUND
}

# e2e_background PROGRAM [ARGS...]: starts a Windows program as a background job whose id is
# the program's own (not a subshell's), so that waiting for it and ending it reach the program.
# The id is left in E2E_BACKGROUND.
e2e_background() {
  local -a envs
  mapfile -t envs < <(wine_environment "$E2E_ROOT")
  if [ "$(id -u)" = 0 ]; then
    setpriv --reuid="$WINE_USER" --regid="$WINE_GROUP" --init-groups env -i "${envs[@]}" "$WINE64" "$@" &
  else
    env -i "${envs[@]}" "$WINE64" "$@" &
  fi
  E2E_BACKGROUND=$!
}

# e2e_run PROGRAM [ARGS...]: runs a Windows program to its end; prints its output.
e2e_run() { wine_run "$E2E_ROOT" "$@" </dev/null 2>/dev/null | tr -d '\r'; }

# e2e_wait_exit PID [SECONDS]: waits for a program started by e2e_start and leaves its exit code
# in E2E_EXIT, or "timeout" (after ending it) when it still runs after SECONDS (default 60).
# Call it directly, never inside $( ): only this shell can collect the exit code.
e2e_wait_exit() {
  local pid=$1 seconds=${2:-60} i
  for ((i = 0; i < seconds * 10; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    E2E_EXIT=timeout
    return 0
  fi
  wait "$pid"
  E2E_EXIT=$?
}

# e2e_expect_exit WHAT PID CODE [SECONDS]: the program ends within SECONDS with exit code CODE.
e2e_expect_exit() {
  e2e_wait_exit "$2" "${4:-60}"
  e2e_expect_eq "$1" "$E2E_EXIT" "$3"
}

# e2e_wait_idle [SECONDS]: waits until every program of the root has ended (the Wine server
# then ends too). Prints "idle" or "timeout".
e2e_wait_idle() {
  local seconds=${1:-60} pid i
  wine_env_exec "$E2E_ROOT" /usr/bin/wineserver -w </dev/null >/dev/null 2>&1 &
  pid=$!
  for ((i = 0; i < seconds * 10; i++)); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; echo idle; return 0; }
    sleep 0.1
  done
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  echo timeout
}

# e2e_robot ARGS...: runs robot.exe (see tools/robot.cpp for its commands); prints its output
# and returns its exit code.
e2e_robot() {
  wine_run "$E2E_ROOT" "$UNINSTALL_BUILD/robot.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

# e2e_wait_window TITLE [MS]: waits for a window (default 20 s) and prints its static texts.
# Prints "(no window TITLE)" when none came.
e2e_wait_window() {
  e2e_robot wait-window "$1" "${2:-20000}" || echo "(no window $1)"
}

# e2e_press TITLE BUTTON_ID: clicks a button of the window (1 OK, 2 Cancel).
e2e_press() { e2e_robot press "$1" "$2" >/dev/null; }

# e2e_window_count TITLE: how many visible windows carry that title.
e2e_window_count() { e2e_robot count "$1"; }

# e2e_processes: the running programs of the root, "id<TAB>path<TAB>command line" a line.
e2e_processes() { e2e_robot processes; }

# e2e_hold_mutex NAME [MS]: a program that holds the named mutex (default 120 s), as the shared
# viewer does with "Global\Brightleaf"; returns once it is held. Its id is left in E2E_HOLDER.
e2e_hold_mutex() {
  local name=$1 ms=${2:-120000} ready i
  ready=$(e2e_unix "C:\\mutex_holder_ready.txt")
  rm -f "$ready"
  e2e_background "$UNINSTALL_BUILD/mutex_holder.exe" "$name" "$ms" 'C:\mutex_holder_ready.txt' \
    </dev/null >/dev/null 2>&1
  E2E_HOLDER=$E2E_BACKGROUND
  for ((i = 0; i < 300; i++)); do
    [ -f "$ready" ] && return 0
    sleep 0.1
  done
  echo "e2e: mutex $name was not taken" >&2
  return 1
}

# e2e_release_mutex: ends the program that e2e_hold_mutex started.
e2e_release_mutex() {
  [ -n "${E2E_HOLDER:-}" ] || return 0
  kill "$E2E_HOLDER" 2>/dev/null
  wait "$E2E_HOLDER" 2>/dev/null
  E2E_HOLDER=""
}

# --- checks ---------------------------------------------------------------------------------

e2e_pass() { E2E_CHECKS=$((E2E_CHECKS + 1)); echo "[       OK ] $E2E_SCENARIO: $1"; }
e2e_fail() {
  E2E_CHECKS=$((E2E_CHECKS + 1))
  E2E_FAILURES=$((E2E_FAILURES + 1))
  echo "[  FAILED  ] $E2E_SCENARIO: $1"
  shift
  local line
  for line in "$@"; do echo "             $line"; done
}

# e2e_expect_eq WHAT ACTUAL EXPECTED
e2e_expect_eq() {
  if [ "$2" = "$3" ]; then e2e_pass "$1"; else e2e_fail "$1" "expected: [$3]" "actual:   [$2]"; fi
}

# e2e_expect_match WHAT TEXT REGEX (grep -E, per line)
e2e_expect_match() {
  if printf '%s\n' "$2" | grep -Eq -- "$3"; then e2e_pass "$1"; else e2e_fail "$1" "no line matches: $3" "in: $2"; fi
}

# e2e_expect_no_match WHAT TEXT REGEX
e2e_expect_no_match() {
  if printf '%s\n' "$2" | grep -Eq -- "$3"; then e2e_fail "$1" "a line matches: $3" "in: $2"; else e2e_pass "$1"; fi
}

# e2e_expect_exists WHAT 'C:\path'   /   e2e_expect_missing WHAT 'C:\path'
e2e_expect_exists() {
  if [ -e "$(e2e_unix "$2")" ]; then e2e_pass "$1"; else e2e_fail "$1" "missing: $2"; fi
}
e2e_expect_missing() {
  if [ -e "$(e2e_unix "$2")" ]; then e2e_fail "$1" "still there: $2"; else e2e_pass "$1"; fi
}

# e2e_expect_same_file WHAT 'C:\path' LINUX_FILE: the prefix file has exactly that content.
e2e_expect_same_file() {
  if cmp -s "$(e2e_unix "$2")" "$3"; then e2e_pass "$1"; else e2e_fail "$1" "$2 differs from $3"; fi
}

# e2e_end: prints the summary and leaves with 0 when every check passed, else 1.
e2e_end() {
  echo "[==========] $E2E_CHECKS checks, $E2E_FAILURES failed"
  [ "$E2E_FAILURES" = 0 ]
  exit $?
}
