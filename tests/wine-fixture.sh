#!/bin/bash
# Test fixture: "setup ROOTS" makes the Wine roots of a test run, "cleanup ROOTS" ends them.
#   ROOTS/template  a booted prefix, its server stopped, that scenarios copy
#   ROOTS/shared    a copy the test programs run in, with a kept server
# Both use one Xvfb display and one generated ja_JP locale.
set -eu
here=$(dirname "$(readlink -f "$0")")
. "$here/../scripts/lib/wine-env.sh"
action=$1 roots=$2

case "$action" in
  setup)
    if [ -f "$roots/xvfb.pid" ]; then xvfb_stop "$roots"; fi
    [ -d "$roots/shared" ] && wine_stop "$roots/shared"
    rm -rf "$roots"
    mkdir -p "$roots/template"
    chmod 755 "$roots"
    xvfb_start "$roots"
    cp "$roots/display" "$roots/template/display"
    wine_make_locale "$roots"
    ln -s "$roots/locale" "$roots/template/locale"
    wine_make_root "$roots/template"
    wine_copy_root "$roots/template" "$roots/shared"
    # Start the shared server's helper processes with no pipes attached, so that they do not
    # hold a test's output open after the test has ended.
    wine_env_exec "$roots/shared" /usr/bin/wineserver -p </dev/null >/dev/null 2>&1
    wine_run "$roots/shared" wineboot </dev/null >/dev/null 2>&1
    echo "Wine roots ready in $roots (display $(cat "$roots/display"))"
    ;;
  cleanup)
    [ -d "$roots/shared" ] && wine_stop "$roots/shared"
    xvfb_stop "$roots"
    echo "Wine roots ended"
    ;;
esac
