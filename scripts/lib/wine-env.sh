# Shell functions that run Windows programs under Wine inside a throwaway "Wine root":
#   ROOT/prefix   the Wine prefix        ROOT/home   HOME, TMPDIR and the XDG folders
#   ROOT/display  the X display to use   ROOT/locale a generated ja_JP locale (code page 932)
# Wine never sees the real home folder, and when the caller is root the programs run as the
# unprivileged user "nobody" (as root, Wine ignores read-only files and hides real faults).
# Source this file; it defines functions only.

WINE64=${WINE64:-/usr/lib/wine/wine64}
WINE_USER=nobody
WINE_GROUP=nogroup

# The environment every Wine command gets, one assignment a line.
wine_environment() {
  local root=$1
  local display=""
  [ -f "$root/display" ] && display=$(cat "$root/display")
  printf '%s\n' \
    "PATH=/usr/lib/wine:/usr/bin:/bin" \
    "HOME=$root/home" "TMPDIR=$root/home/tmp" \
    "XDG_CONFIG_HOME=$root/home/.config" "XDG_DATA_HOME=$root/home/.local/share" \
    "XDG_CACHE_HOME=$root/home/.cache" "XDG_RUNTIME_DIR=$root/home/run" \
    "WINEPREFIX=$root/prefix" "WINEDEBUG=${WINEDEBUG:--all}" \
    "WINEDLLOVERRIDES=winemenubuilder.exe,mshtml,mscoree=d" \
    "DISPLAY=${WINE_DISPLAY_OVERRIDE-$display}"
  if [ -n "${WINE_CODE_PAGE_932:-}" ]; then
    printf '%s\n' "LOCPATH=$root/locale" "LANG=ja_JP.UTF-8" "LC_ALL=ja_JP.UTF-8"
  else
    printf '%s\n' "LANG=C.UTF-8"
  fi
}

# Runs a command with the Wine environment of ROOT, as the unprivileged user when we are root.
wine_env_exec() {
  local root=$1; shift
  local -a envs
  mapfile -t envs < <(wine_environment "$root")
  if [ "$(id -u)" = 0 ]; then
    setpriv --reuid="$WINE_USER" --regid="$WINE_GROUP" --init-groups env -i "${envs[@]}" "$@"
  else
    env -i "${envs[@]}" "$@"
  fi
}

# wine_run ROOT PROGRAM [ARGS...]: runs a Windows program and returns its exit code.
wine_run() {
  local root=$1; shift
  wine_env_exec "$root" "$WINE64" "$@"
}

# wine_make_root ROOT: creates the folders and a fresh, booted prefix.
wine_make_root() {
  local root=$1
  mkdir -p "$root/home/tmp" "$root/home/run" "$root/home/.config" "$root/home/.local/share" "$root/home/.cache"
  chmod 700 "$root/home/run"
  if [ "$(id -u)" = 0 ]; then chown -R "$WINE_USER:$WINE_GROUP" "$root"; fi
  wine_env_exec "$root" "$WINE64" wineboot -i </dev/null >/dev/null 2>&1
  # Without a window manager every closed window costs seconds; unmanaged windows close at once.
  wine_env_exec "$root" "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
    </dev/null >/dev/null 2>&1
  wine_stop "$root"
}

# wine_copy_root FROM TO: a new root whose prefix is a copy of FROM's (its server must be stopped).
wine_copy_root() {
  local from=$1 to=$2
  rm -rf "$to"
  mkdir -p "$to"
  cp -a "$from/prefix" "$to/prefix"
  cp -a "$from/home" "$to/home"
  # Wine links the user's folders (Desktop, Documents ...) to the home folder by absolute
  # paths: point the copy's links at its own home, so that roots never share a folder.
  local from_abs to_abs link target
  from_abs=$(readlink -f "$from") to_abs=$(readlink -f "$to")
  while IFS= read -r -d '' link; do
    target=$(readlink "$link")
    case "$target" in
      "$from_abs"/*|"$from"/*)
        target=${target#"$from_abs"/}; target=${target#"$from"/}
        ln -sfn "$to_abs/$target" "$link"
        if [ "$(id -u)" = 0 ]; then chown -h "$WINE_USER:$WINE_GROUP" "$link"; fi
        ;;
    esac
  done < <(find "$to/prefix/drive_c/users" -type l -print0 2>/dev/null)
  [ -f "$from/display" ] && cp "$from/display" "$to/display"
  [ -d "$from/locale" ] && ln -s "$(readlink -f "$from/locale")" "$to/locale"
  if [ "$(id -u)" = 0 ]; then chown "$WINE_USER:$WINE_GROUP" "$to"; fi
  true
}

# wine_stop ROOT: ends the prefix's wineserver and everything it runs.
wine_stop() {
  local root=$1
  [ -d "$root/prefix" ] || return 0
  wine_env_exec "$root" /usr/bin/wineserver -k >/dev/null 2>&1 || true
  wine_env_exec "$root" /usr/bin/wineserver -w >/dev/null 2>&1 || true
}

# wine_make_locale ROOT: generates ja_JP.UTF-8 into ROOT/locale, so Wine runs at code page 932.
wine_make_locale() {
  local root=$1
  [ -d "$root/locale/ja_JP.UTF-8" ] && return 0
  mkdir -p "$root/locale"
  localedef -i ja_JP -f UTF-8 "$root/locale/ja_JP.UTF-8" >/dev/null 2>&1 || true
  chmod -R a+rX "$root/locale"
}

# xvfb_start ROOT: starts an Xvfb on a free display and records it in ROOT/display.
xvfb_start() {
  local root=$1 n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
    echo $! > "$root/xvfb.pid"
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    echo ":$n" > "$root/display"
    return 0
  done
  return 1
}

xvfb_stop() {
  local root=$1
  if [ -f "$root/xvfb.pid" ]; then
    kill "$(cat "$root/xvfb.pid")" 2>/dev/null || true
    rm -f "$root/xvfb.pid"
  fi
}

# unix_path_of ROOT 'C:\path': the Linux path of a path on the prefix's drive C.
unix_path_of() {
  local root=$1 win=$2
  local rest=${win#?:}
  rest=${rest//\\//}
  printf '%s/prefix/drive_c%s\n' "$root" "$rest"
}
