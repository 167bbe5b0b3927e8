#!/bin/bash
# Plans written to do harm, run as the elevated program would run them: drive roots, system and
# profile folders in many spellings, wildcards, "..", relative and share paths, shortcut names
# that climb out of the desktop, a viewer folder that is a system folder, huge and binary plans.
# Every run must end by itself with exit code 0 and no stray window, the manual that the same plan
# names safely must be gone, and nothing else of the prefix's drive C (nor of the home folder that
# its user folders link to, nor of the registry) may change.
. "$UNINSTALL_SOURCE/tests/e2e/lib.sh"

e2e_begin hostile_plans

DRIVE_C="$E2E_ROOT/prefix/drive_c"
TEMP=$E2E_TEMP_WIN
INST='C:\Program Files\Vorda\Quilldeck\QD100'
DESKTOP='C:\users\Public\Desktop'
PROFILE="C:\\users\\$E2E_WINE_USER"
# The program's current folder: relative names resolve in here, inside the prefix, where a
# deletion would show in the listing (outside it they would reach the build tree).
WORK_DIR='C:\cwd'
RUN_SECONDS=60

# The prefix's user folders (Desktop, Documents ...) link to the home folder of the root the
# prefix was copied from. Point them at this root's own home, so that a wrong deletion there
# stays inside this script's root.
relink_user_folders() {
  local link
  for link in "$DRIVE_C/users/$E2E_WINE_USER"/* "$DRIVE_C/users/$E2E_WINE_USER"/AppData/Roaming/Microsoft/Windows/*; do
    [ -L "$link" ] || continue
    ln -sfn "$E2E_ROOT/home" "$link"
    e2e_own "$link" 2>/dev/null
    chown -h "$WINE_USER:$WINE_GROUP" "$link" 2>/dev/null || true
  done
}

# put_file 'C:\path' [TEXT]: a small file, folders made as needed.
put_file() {
  local path
  path=$(e2e_unix "$1")
  mkdir -p "$(dirname "$path")"
  printf '%s\r\n' "${2:-data}" > "$path"
}

# The files that hostile names point at. Made again before every scenario, so a faulty run does
# not spoil the next one.
put_decoys() {
  local path
  for path in 'C:\data\a.txt' 'C:\data\b.txt' 'C:\data\a.lnk' 'C:\data\uninstall.exe' \
      'C:\data\sub\c.txt' 'C:\manual\readme.txt' 'C:\manual\html\index.html' \
      "$WORK_DIR\\manual\\html\\index.html" "$WORK_DIR\\html\\index.html" \
      'C:\Program Files\Vorda\Quilldeck\Other\keep.txt' "$DESKTOP\\Other.lnk" \
      "$PROFILE\\Desktop\\Mine.lnk" "$PROFILE\\Documents\\letter.txt" "$TEMP\\keep.txt"; do
    put_file "$path"
  done
  e2e_own "$DRIVE_C/data" "$DRIVE_C/manual" "$DRIVE_C/cwd" "$DRIVE_C/Program Files/Vorda" \
    "$DRIVE_C/users/Public/Desktop" "$E2E_ROOT/home" "$(e2e_unix "$TEMP")"
}

# The manual that every text plan also names, in the places a real one lies.
install_manual() {
  local unix
  unix=$(e2e_unix "$INST")
  mkdir -p "$unix"
  cp "$UNINSTALL_BUILD/uninstall.exe" "$unix/uninstall.exe"
  put_file "$INST\\Lanternv4.ico"
  put_file "$INST\\html\\index.html"
  put_file "$INST\\html\\guide.chm"
  put_file "$INST\\html\\img\\cover.png"
  put_file "$DESKTOP\\QD100 Manual.lnk"
  e2e_own "$unix" "$(e2e_unix "$DESKTOP")"
}

remove_manual() {
  rm -rf "$(e2e_unix "$INST")" "$(e2e_unix "$DESKTOP\\QD100 Manual.lnk")"
}

# snapshot: every path of drive C and of the home folder, with the size of each file, sorted.
# The two files a run stages in the temp folder are left out: they come and go by design.
snapshot() {
  local temp_rel="users/$E2E_WINE_USER/Temp"
  {
    (cd "$DRIVE_C" && find . \( -path "./$temp_rel/uninstall.exe" -o -path "./$temp_rel/uninstall.tmp" \) -prune \
      -o -type d -printf 'd C/%P\n' -o -printf '%y C/%P %s\n')
    (cd "$E2E_ROOT/home" && find . -path ./run -prune -o -type d -printf 'd home/%P\n' -o -printf '%y home/%P %s\n')
  } | LC_ALL=C sort
}

# HKEY_LOCAL_MACHINE\SOFTWARE as the server saved it, without time stamps. (Wine rewrites some
# hardware keys under SYSTEM on every start.)
registry_snapshot() {
  awk '/^\[/ { keep = ($0 ~ /^\[Software/); sub(/\] [0-9]+$/, "]") } /^#time=/ { next } keep' \
    "$E2E_ROOT/prefix/system.reg"
}

# without_tree 'C/path': the listing on stdin less that path and everything below it.
without_tree() {
  awk -v p="$1" '{ rest = substr($0, 3) } rest != p && index(rest, p "/") != 1 && index(rest, p " ") != 1'
}

# expect_listing WHAT EXPECTED_FILE [LEFT_OUT]: the prefix now lists exactly what the file holds
# (both without the tree LEFT_OUT, written as the listing writes it, when given).
expect_listing() {
  local changes
  changes=$(diff <(without_tree "${3:-/}" < "$2") <(snapshot | without_tree "${3:-/}") |
    grep '^[<>]' | sed 's/^</gone:/; s/^>/left:/' | head -40)
  if [ -z "$changes" ]; then e2e_pass "$1"; else
    local -a lines
    mapfile -t lines <<< "$changes"
    e2e_fail "$1" "${lines[@]}"
  fi
}

# short_name_of 'C:\folder' NAME: the 8.3 form Wine gives NAME in that folder (a folder without
# blanks), or NAME itself.
short_name_of() {
  local short
  short=$(e2e_run cmd /c dir /x "$1" | awk -v name="$2" '
    /<DIR>/ { line = $0; sub(/^.*<DIR> +/, "", line); n = length(line) - length(name)
              if (n > 0 && substr(line, n + 1) == name) {
                rest = substr(line, 1, n); sub(/ +$/, "", rest)
                if (rest != "" && rest !~ / /) { print rest; exit } } }')
  echo "${short:-$2}"
}

# --- plans ------------------------------------------------------------------------------------
# A text case lists hostile names one a line (the profile reader trims blanks around a value
# and takes off one pair of quotes, so a name that ends in a blank is written in quotes):
#   PATH              a removal entry, after the manual's own two
#   install:PATH      a removal entry in the place of the install folder (the second entry)
#   lnk:NAME          a shortcut entry
#   viewer:PATH       the viewer's folder
#   info:TEXT         the viewer's argument
#   reg:KEY[,VALUES]  a registry entry
#   link:NAME=PATH    (no plan entry) makes the manual's folder NAME a link to the Windows PATH
# The plan always names the manual too, so the safe entries are seen to go while the rest stay.
build_plan() {
  local entries=$1 line n=2 r=0 install="" viewer='C:\Program Files\Vorda\Brightleaf' info=QD100
  local etc="" manuals="" reg=""
  while IFS= read -r line; do
    case "$line" in
      '') ;;
      install:*) install=${line#install:} ;;
      lnk:*) manuals+="H$n=Q,${line#lnk:}"$'\n'; n=$((n + 1)) ;;
      viewer:*) viewer=${line#viewer:} ;;
      info:*) info=${line#info:} ;;
      reg:*) reg+="$r=${line#reg:}"$'\n'; r=$((r + 1)) ;;
      link:*) ;;
      *) etc+="$n=$line"$'\n'; n=$((n + 1)) ;;
    esac
  done <<< "$entries"
  if [ -n "$install" ]; then
    etc="0=$INST\\html"$'\n'"1=$install"$'\n'"2=$INST"$'\n'"$etc"
  else
    etc="0=$INST\\html"$'\n'"1=$INST"$'\n'"$etc"
  fi
  printf '%s\n' "[BLFPath]" "path=$viewer" "info=$info" \
    'reg=SOFTWARE\VORDA\Quilldeck\Brightleaf\Manuals' \
    "[MANUALS]" "QD100=QD100,QD100 Manual" "${manuals%$'\n'}" \
    "[ETC]" "${etc%$'\n'}" \
    "[REG]" "${reg%$'\n'}" \
    "[Message]" "0=QD100" "1=Remove the manual?" "2=Removing the manual..." \
    "3=Close the manual first."
}

# The links a text case asks for, made inside the installed manual.
make_links() {
  local line name target
  while IFS= read -r line; do
    case "$line" in
      link:*) line=${line#link:}; name=${line%%=*}; target=${line#*=}
              ln -sfn "$(e2e_unix "$target")" "$(e2e_unix "$INST\\$name")" ;;
    esac
  done <<< "$1"
}

# Generated plans: each writes the plan file given as a Linux path.
# A plan too big for every buffer: thousands of removal entries after the manual's own, a value,
# a key name, a shortcut name and viewer texts of 100 KB each.
plan_huge() {
  local huge hostile=('C:\' 'C:\windows' 'C:\data\*.txt' 'C:\manual\..\data' 'manual' '\\server\share')
  huge=$(head -c 102400 /dev/zero | tr '\0' 'A')
  {
    printf '[BLFPath]\r\npath=C:\\data\\%s\r\ninfo=%s\r\n' "$huge" "$huge"
    printf '[MANUALS]\r\nQD100=QD100,QD100 Manual\r\nBIG=Q,%s\r\n' "$huge"
    printf '[ETC]\r\n0=%s\\html\r\n1=%s\r\n' "$INST" "$INST"
    local i
    for ((i = 2; i < 5000; i++)); do printf '%d=%s\r\n' "$i" "${hostile[i % ${#hostile[@]}]}"; done
    printf '5000=C:\\data\\%s\r\n%s=C:\\data\r\n' "$huge" "$huge"
    printf '[Message]\r\n0=QD100\r\n1=Remove?\r\n2=%s\r\n3=Close it.\r\n' "$huge"
  } > "$1"
}

# Deterministic noise: the same bytes on every run.
noise() { openssl enc -aes-128-ctr -nosalt -pbkdf2 -pass "pass:$1" < /dev/zero 2>/dev/null | head -c "$2"; }

plan_random_bytes() { noise hostile 65536 > "$1"; }

# Noise between well-formed section headers and keys.
plan_random_lines() {
  local i section
  for ((i = 0; i < 400; i++)); do
    case $((i % 5)) in 0) section=ETC ;; 1) section=MANUALS ;; 2) section=BLFPath ;; 3) section=REG ;; *) section=Message ;; esac
    printf '[%s]\r\n%d=' "$section" "$i"
    noise "line$i" 60
    printf '\r\npath='
    noise "path$i" 30
    printf '\r\n'
  done > "$1"
}

# NUL bytes inside values: a reader that stops at the NUL sees only the part in front of it.
plan_nul_in_values() {
  printf '[ETC]\r\n0=C:\\data\0\\a.txt\r\n1=C:\\windows\0\\win.ini\r\n2=C:\\\0data\r\n' > "$1"
  printf '[MANUALS]\r\nQ=Q,Other\0.lnk\\..\\x\r\n[BLFPath]\r\npath=C:\\windows\0\\x\r\n' >> "$1"
  printf '[Message]\r\n0=a\r\n1=b\0\r\n2=c\r\n3=d\r\n' >> "$1"
}

# Keys and values without any section header.
plan_no_sections() {
  printf '0=C:\\data\r\n1=C:\\manual\r\npath=C:\\windows\r\nQ=Q,Other\r\n' > "$1"
}

plan_empty() { : > "$1"; }

# A hostile plan in UTF-16 without a byte-order mark: NUL bytes all through the file.
plan_utf16_no_bom() {
  printf '[ETC]\r\n0=C:\\data\r\n1=C:\\manual\r\n2=C:\\windows\r\n[MANUALS]\r\nQ=Q,Other\r\n' |
    iconv -f UTF-8 -t UTF-16LE > "$1"
}

# The same plan with its byte-order mark, which the profile reader understands.
plan_utf16_bom() {
  { printf '\xff\xfe'; printf '[ETC]\r\n0=C:\\\r\n1=C:\\windows\r\n2=C:\\data\\*.txt\r\n3=..\\data\r\n[MANUALS]\r\nQ=Q,*\r\n' |
    iconv -f UTF-8 -t UTF-16LE; } > "$1"
}

# A folder where the plan file should be.
plan_is_folder() {
  mkdir -p "$1"
  printf '[ETC]\r\n0=C:\\data\r\n' > "$1/inner.txt"
  e2e_own "$1"
}

# --- one run ------------------------------------------------------------------------------------

# wait_program_end SECONDS: waits until no uninstall.exe runs in the root. Prints "ended" or
# "timeout".
wait_program_end() {
  local i
  for ((i = 0; i < $1 * 2; i++)); do
    if ! e2e_processes | grep -qi 'uninstall\.exe'; then echo ended; return 0; fi
    sleep 0.5
  done
  echo timeout
}

# run_case NAME MODE EXPECT ENTRIES
#   MODE    removal: the staged copy is started as the hand-off would start it;
#           handoff: the program is started in the install folder and the question confirmed.
#   EXPECT  gone: the manual the plan names is deleted; kept: nothing at all is deleted;
#           linked: the manual's folders that hold links are left whole, its shortcut goes, and
#           nothing outside the manual's folder changes.
#   ENTRIES a text case (see build_plan) or @FUNCTION, a generated plan.
run_case() {
  local name=$1 mode=$2 expect=$3 entries=$4 plan expected
  e2e_scenario "$name [$mode]"
  remove_manual
  put_decoys
  # A wrong deletion in an earlier scenario leaves the prefix short: start again from a copy.
  if ! snapshot | cmp -s - "$E2E_ROOT/baseline"; then
    echo "             (the prefix differs from its first state: copied afresh)"
    wine_copy_root "$UNINSTALL_WINE_ROOTS/template" "$E2E_ROOT"
    relink_user_folders
    put_decoys
  fi
  install_manual
  plan="$E2E_ROOT/plan"
  rm -rf "$plan"
  if [ "${entries:0:1}" = @ ]; then
    "${entries:1}" "$plan"
  else
    build_plan "$entries" | sed 's/$/\r/' > "$plan"
    make_links "$entries"
  fi
  cp -a "$plan" "$(e2e_unix "$INST\\Uninstall.tmp")"
  e2e_own "$(e2e_unix "$INST")"
  if [ "$expect" = gone ] || [ "$expect" = linked ]; then expected="$E2E_ROOT/baseline"; else
    expected="$E2E_ROOT/before"
    snapshot > "$expected"
  fi
  registry_snapshot > "$E2E_ROOT/registry_before"

  pushd "$(e2e_unix "$WORK_DIR")" >/dev/null
  if [ "$mode" = removal ]; then
    cp "$UNINSTALL_BUILD/uninstall.exe" "$(e2e_unix "$TEMP\\uninstall.exe")"
    cp -a "$plan" "$(e2e_unix "$TEMP\\uninstall.tmp")"
    e2e_own "$(e2e_unix "$TEMP")"
    e2e_start "$TEMP\\uninstall.exe" uninstall
    e2e_expect_exit "ends by itself with exit code 0" "$E2E_PID" 0 "$RUN_SECONDS"
  else
    e2e_start "$INST\\uninstall.exe"
    if [ "$expect" = gone ]; then
      e2e_expect_eq "the question is asked" "$(e2e_wait_window uninstall)" "Remove the manual?"
      e2e_press uninstall 1
    fi
    e2e_expect_exit "the install folder's program ends with 0" "$E2E_PID" 0 "$RUN_SECONDS"
    e2e_expect_eq "the staged copy ends by itself" "$(wait_program_end "$RUN_SECONDS")" ended
  fi
  popd >/dev/null
  e2e_expect_eq "no window is left (no error or crash box)" "$(e2e_robot list)" ""
  e2e_expect_no_match "no debugger started" "$(e2e_processes)" 'winedbg'
  wine_stop "$E2E_ROOT"

  if [ "$expect" = gone ]; then
    e2e_expect_missing "the manual named safely is deleted" "$INST"
    e2e_expect_missing "its desktop shortcut is deleted" "$DESKTOP\\QD100 Manual.lnk"
  fi
  if [ "$expect" = linked ]; then
    e2e_expect_exists "the manual's folder that holds a link is left whole" "$INST\\html\\index.html"
    e2e_expect_missing "its desktop shortcut is deleted" "$DESKTOP\\QD100 Manual.lnk"
    expect_listing "nothing outside the manual's folder changed" "$expected" \
      "C/$(printf '%s' "${INST#C:\\}" | tr '\\' /)"
  else
    expect_listing "nothing else on drive C or in the home folder changed" "$expected"
  fi
  e2e_expect_exists "the temp folder keeps its other files" "$TEMP\\keep.txt"
  e2e_expect_eq "the registry is unchanged" \
    "$(registry_snapshot | diff "$E2E_ROOT/registry_before" - | grep '^[<>]' | head -10)" ""
}

# --- set-up ------------------------------------------------------------------------------------
relink_user_folders
put_decoys
PF_SHORT=$(short_name_of 'C:\' 'Program Files')
PF86_SHORT=$(short_name_of 'C:\' 'Program Files (x86)')
PD_SHORT=$(short_name_of 'C:\' 'ProgramData')
DOCS_SHORT=$(short_name_of "$PROFILE" 'Documents')
wine_stop "$E2E_ROOT"
snapshot > "$E2E_ROOT/baseline"
echo "             8.3 names: $PF_SHORT $PF86_SHORT $PD_SHORT $DOCS_SHORT"

# --- cases: name, mode, expectation, plan ------------------------------------------------------
CASES=(
  "drive roots" removal gone 'C:\
C:
c:\.
C:\\
C:\..
C:\.\
"C:\ "'

  "the Windows folder in every spelling" removal gone 'C:\windows
C:\WINDOWS
C:\Windows\.
c:\windows\.
C:\windows\system32\..
C:\windows\system32\drivers\..\..
C:/windows
C:\windows/system32
C:\windows.
"C:\windows "
C:\\windows
C:\windows::$INDEX_ALLOCATION
C:\windows\system32
C:\windows\Fonts
C:\windows\system32\..\win.ini'

  "Program Files, ProgramData and their 8.3 forms" removal gone "C:\\Program Files
C:\\Program Files (x86)
C:\\ProgramData
C:\\Program Files\\Common Files
C:\\$PF_SHORT
C:\\$PF86_SHORT
C:\\$PD_SHORT
C:\\PROGRA~1
C:\\progra~2
C:\\Program Files\\Vorda\\..
C:\\$PF_SHORT\\Vorda\\Quilldeck\\..\\.."

  "the profiles, the user's own profile and the desktops" removal gone "C:\\users
C:\\USERS\\
$PROFILE
$PROFILE\\Desktop
$PROFILE\\Documents
$PROFILE\\$DOCS_SHORT
$PROFILE\\AppData
$PROFILE\\AppData\\Roaming
C:\\users\\Public
$DESKTOP
$DESKTOP\\..
C:\\users\\Public\\Documents"

  "the temp folder the staged copy runs from" removal gone "$TEMP
$TEMP\\.
$TEMP\\..
$TEMP\\*
$TEMP\\uninstall.exe"

  "wildcards" removal gone 'C:\data\*.txt
C:\d?ta
C:\data\*
C:\data\a.tx?
C:\*.*
C:\*
C:\dat<
C:\data\a.tx"
C:\data\>.txt
C:\windows\*'

  "dot components and doubled separators" removal gone 'C:\manual\..\windows
C:\manual\..\data
C:\data\.
C:\data\sub\..
C:\data.
C:\data..
"C:\data "
"C:\data\sub\ "
C:\\windows
C:\\\Program Files\\
C:\users\\nobody
C:\manual\.\html
C:\data\sub\...'

  "relative and drive-relative names" removal gone 'manual\html
manual
html
C:manual
C:manual\html
\manual
\manual\html
.\manual
..\data
.
..
\
\.'

  "share, device and stream names" removal gone '\\server\share
\\server\share\
\\server
\\
\\?\C:\data
\\.\C:\data
\??\C:\data
\\?\UNC\server\share
\\localhost\C$\data
\\127.0.0.1\c$\data
\\localhost\C$
C:\data\con
C:\data\NUL.txt
C:\data\LPT1
C:\data\a.txt:stream
C:\data::$DATA
C:\data\sub:$I30:$INDEX_ALLOCATION'

  "shortcut names that leave the desktop" removal gone 'lnk:..\..\..\data\a
lnk:*
lnk:a/b
lnk:..\Desktop\Other
lnk:C:\data\a
lnk:Oth?r
lnk:\..\..\data\a
lnk:.
lnk:..
lnk:..\..\..\data
lnk:/../../../data/a'

  "the viewer folder is the drive" removal gone 'viewer:C:'
  "the viewer folder is the drive root" removal gone 'viewer:C:\'
  "the viewer folder is the Windows folder" removal gone 'viewer:C:\windows'
  "the viewer folder is the system folder" removal gone 'viewer:C:\windows\system32'
  "the viewer folder is the temp folder" removal gone "viewer:$TEMP"
  "the viewer folder smuggles a command" removal gone 'viewer:C:\windows\system32\cmd.exe /c rd /s /q C:\data & rem'
  "the viewer argument smuggles a command" removal gone 'viewer:C:\windows\system32
info:x & rd /s /q C:\data & del /q C:\manual\readme.txt'
  "the viewer folder is relative" removal gone 'viewer:manual'
  "the viewer folder climbs out" removal gone 'viewer:C:\data\sub\..'

  "the install folder entry names a system folder" removal gone 'install:C:\windows\system32'
  "the install folder entry names the drive" removal gone 'install:C:'
  "the install folder entry is relative" removal gone 'install:manual'

  "registry entries at the top of the tree" removal gone 'reg:SOFTWARE
reg:SYSTEM
reg:\
reg:
reg:\\\\
reg:SOFTWARE\Microsoft\Windows NT\CurrentVersion
reg:,,,'

  # The shell's delete would go through the links and empty the folders they lead to.
  "a folder of the manual links to another folder" removal linked 'link:html\shared=C:\data
link:linked_windows=C:\windows\Fonts'

  "a plan bigger than every buffer" removal gone @plan_huge
  "random bytes" removal kept @plan_random_bytes
  "noise inside well-formed sections" removal kept @plan_random_lines
  # The profile reader would end a value at a NUL byte, so "C:\data<NUL>\a.txt" would name all
  # of C:\data and "Other<NUL>..." the desktop's Other.lnk: such a plan is not read at all.
  "NUL bytes inside values" removal kept @plan_nul_in_values
  "no section headers" removal kept @plan_no_sections
  "an empty plan" removal kept @plan_empty
  "UTF-16 without byte-order mark" removal kept @plan_utf16_no_bom
  "UTF-16 with byte-order mark, every entry hostile" removal kept @plan_utf16_bom
  "the plan is a folder" removal kept @plan_is_folder

  # The same kind of plans through the confirmation and the staged copy.
  "drive roots and the Windows folder" handoff gone "C:\\
C:\\windows
C:\\manual\\..\\windows
$TEMP
lnk:..\\..\\..\\data\\a
viewer:C:\\windows"
  "shortcut names and wildcards" handoff gone 'C:\data\*.txt
C:\d?ta
lnk:*
lnk:a/b
manual\html'
  "random bytes" handoff kept @plan_random_bytes
)

# HOSTILE_CASES=REGEX runs only the cases whose name matches (while working on one).
for ((c = 0; c < ${#CASES[@]}; c += 4)); do
  [[ "${CASES[c]}" =~ ${HOSTILE_CASES:-.} ]] || continue
  run_case "${CASES[c]}" "${CASES[c + 1]}" "${CASES[c + 2]}" "${CASES[c + 3]}"
done

e2e_end
