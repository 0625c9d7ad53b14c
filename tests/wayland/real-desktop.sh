#!/usr/bin/env bash
# The program's keys on the real desktop of Debian 12's KDE Plasma 5.27, nothing of the
# user's: a session bus, runtime folder and home of its own, KWin (--virtual --xwayland,
# which hosts kglobalaccel), xdg-desktop-portal and its KDE backend. For the first start, a
# restart and a start after kill -9 it checks that kglobalaccel gives F3, F2 and F1 to the
# program's shortcuts and that a real key press, with another program focused, reaches the
# program as the portal's Activated.
# Usage: real-desktop.sh PELLUCOR PRESS_KEYS. Exit 77: the desktop's packages are missing.
set -euo pipefail

pellucor=$1
press_keys=$2
portal_kde=/usr/lib/x86_64-linux-gnu/libexec/xdg-desktop-portal-kde
portal=/usr/libexec/xdg-desktop-portal
for tool in kwin_wayland kbuildsycoca5 dbus-send dbus-run-session playerctl xclock \
  "$portal" "$portal_kde"; do
  if ! command -v "$tool" >/dev/null; then
    echo "real-desktop: $tool is missing; scripts/setup.sh --test installs it" >&2
    exit 77
  fi
done

if [[ -z ${REAL_DESKTOP_INSIDE:-} ]]; then
  work=$(mktemp -d /tmp/pellucor-desktop.XXXXXX)
  chmod 700 "$work"
  cleanup() {
    # Whatever the session started goes with its process group; the folders go once the
    # last of them has ended, since KWin and kglobalaccel write their settings as they end.
    if [[ -n $group ]] && kill -0 -- -"$group" 2>/dev/null; then
      kill -- -"$group" 2>/dev/null || true
      for _ in $(seq 100); do
        kill -0 -- -"$group" 2>/dev/null || break
        sleep 0.1
      done
      kill -KILL -- -"$group" 2>/dev/null || true
    fi
    rm -rf "$work" || echo "real-desktop: cannot remove $work" >&2
  }
  group=  # the session's process group, once it runs
  trap cleanup EXIT
  mkdir -p "$work/runtime" "$work/home/.local/share/applications" "$work/home/.config"
  chmod 700 "$work/runtime"
  # The packaged kwin_wayland carries a file capability (cap_sys_resource) that a container
  # may refuse at exec; a plain copy has none and runs.
  cp "$(command -v kwin_wayland)" "$work/kwin_wayland"
  # Xwayland puts its socket there; it exists wherever an X server ever ran.
  if [[ ! -d /tmp/.X11-unix ]]; then
    mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix
  fi
  # KWin locks an idle screen after a while; a locked screen takes the keys.
  printf '[Daemon]\nAutolock=false\nLockOnResume=false\n' >"$work/home/.config/kscreenlockerrc"
  # KWin offers fake input only to a program whose desktop entry asks for it.
  cat >"$work/home/.local/share/applications/pellucor-press-keys.desktop" <<EOF
[Desktop Entry]
Type=Application
Name=Pellucor test keys
Exec=$press_keys
NoDisplay=true
X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input
EOF
  export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/home/.config
  export XDG_DATA_HOME=$work/home/.local/share XDG_CACHE_HOME=$work/home/.cache
  export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true
  export WORK=$work REAL_DESKTOP_INSIDE=1
  unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS
  kbuildsycoca5 --noincremental >"$work/sycoca.log" 2>&1
  set +e
  setsid dbus-run-session --config-file="$(dirname "$0")/private-bus.conf" -- \
    bash "$0" "$pellucor" "$press_keys" &
  group=$!
  wait "$group"
  status=$?
  set -e
  exit "$status"
fi

# Inside the private session bus.
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
log() { echo "real-desktop: $*" >&2; }
fail() {
  log "FAILED: $*"
  for f in "$WORK"/*.log; do
    echo "--- $(basename "$f")" >&2
    tail -n 30 "$f" >&2
  done
  exit 1
}
# Polls a condition every 0.1 s for at most $1 seconds.
wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}
owned() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'
}
# The kglobalaccel entries a key (Qt's key code) belongs to.
holders() {
  dbus-send --session --print-reply --dest=org.kde.kglobalaccel /kglobalaccel \
    org.kde.KGlobalAccel.getGlobalShortcutsByKey "int32:$1" 2>/dev/null
}
holds() {  # component action qt-key
  local found
  found=$(holders "$3")
  grep -q "\"$1\"" <<<"$found" && grep -q "\"$2\"" <<<"$found"
}

# KWin starts the helper once Wayland and Xwayland are up; it notes the X display.
"$WORK/kwin_wayland" --virtual --xwayland --socket wayland-pellucor --width 1024 --height 768 \
  "sh -c 'echo \$DISPLAY > $WORK/display'" >"$WORK/kwin.log" 2>&1 &
wait_for 30 test -s "$WORK/display" || fail "KWin did not start Xwayland"
wait_for 30 owned org.kde.kglobalaccel || fail "KWin did not take kglobalaccel's name"
export WAYLAND_DISPLAY=wayland-pellucor DISPLAY
DISPLAY=$(cat "$WORK/display")

"$portal_kde" >"$WORK/portal-kde.log" 2>&1 &
wait_for 30 owned org.freedesktop.impl.portal.desktop.kde || fail "the KDE portal did not start"
"$portal" >"$WORK/portal.log" 2>&1 &
wait_for 30 owned org.freedesktop.portal.Desktop || fail "the desktop portal did not start"

component=org_pellucor_Pellucor
# Qt's key codes of F1, F2 and F3; Linux key codes for the presses.
declare -A qtKey=([zurueck]=16777264 [stop]=16777265 [spielen]=16777266)
declare -A linuxKey=([zurueck]=59 [stop]=60 [spielen]=61)

program=
start_program() {  # name of the run
  local run=$1
  : >"$WORK/$run.log"
  QT_LOGGING_RULES="pellucor.portal.debug=true" "$pellucor" >>"$WORK/$run.log" 2>&1 &
  program=$!
  wait_for 30 grep -q "desktop bound" "$WORK/$run.log" || fail "$run: nothing was bound"
  grep -q "desktop bound 3 of" "$WORK/$run.log" || fail "$run: not all three were bound"
  log "$run: $(grep -o 'desktop bound.*' "$WORK/$run.log")"
  for action in spielen stop zurueck; do
    wait_for 10 holds "$component" "$action" "${qtKey[$action]}" ||
      fail "$run: kglobalaccel does not give $action its key"
  done
  # Another program has the focus, as while the user types elsewhere.
  xclock >/dev/null 2>&1 &
  other=$!
  wait_for 10 grep -q "pellucor" <(playerctl -l 2>/dev/null) || fail "$run: no MPRIS"
}
activations() {  # run action
  grep -c "activated \"$2\"" "$WORK/$1.log" || true
}
more_activations() {  # run action count
  (($(activations "$1" "$2") > $3))
}
press() {  # run action
  local count
  count=$(activations "$1" "$2")
  "$press_keys" "${linuxKey[$2]}" 2>>"$WORK/$1.log" || fail "$1: cannot press keys"
  wait_for 10 more_activations "$1" "$2" "$count" ||
    fail "$1: pressing $2's key did not reach the program"
  log "$1: $2's key reached the program"
}
only_one_component() {
  local all
  all=$(dbus-send --session --print-reply --dest=org.kde.kglobalaccel /kglobalaccel \
    org.kde.KGlobalAccel.allComponents)
  [[ $(grep -c "/component/$component\"" <<<"$all") == 1 ]] &&
    ! grep -q "/component/token_" <<<"$all"
}

start_program first
press first spielen
press first stop
press first zurueck
kill -TERM "$program"
wait "$program" || fail "first: ended with status $?"
kill "$other" 2>/dev/null || true

start_program restart
press restart spielen
press restart zurueck
kill -KILL "$program"
wait "$program" 2>/dev/null || true
kill "$other" 2>/dev/null || true

start_program after_kill
press after_kill stop
press after_kill spielen
only_one_component || fail "kglobalaccel holds more than one component for the program"
# Plasma 5.27's BindShortcuts would open the system settings at every start.
! grep -q "BindShortcuts called" "$WORK/portal-kde.log" ||
  fail "BindShortcuts was called although CreateSession had bound every shortcut"
kill -TERM "$program"
wait "$program" || fail "after_kill: ended with status $?"
kill "$other" 2>/dev/null || true

# Another program takes F3 while Pellucor is away: at its next start "spielen" has no key,
# which it says once, naming the shortcut; the other keys still work.
dbus-send --session --print-reply --dest=org.kde.kglobalaccel /kglobalaccel \
  org.kde.KGlobalAccel.setForeignShortcut \
  "array:string:$component,spielen,$component,spielen" array:int32:0 >/dev/null ||
  fail "cannot take spielen's key away"
dbus-send --session --print-reply --dest=org.kde.kglobalaccel /kglobalaccel \
  org.kde.KGlobalAccel.doRegister array:string:othertool,play,Other,Play >/dev/null &&
  dbus-send --session --print-reply --dest=org.kde.kglobalaccel /kglobalaccel \
    org.kde.KGlobalAccel.setShortcut array:string:othertool,play,Other,Play \
    "array:int32:${qtKey[spielen]}" uint32:2 >/dev/null ||
  fail "cannot give F3 to another program"
: >"$WORK/taken.log"
QT_LOGGING_RULES="pellucor.portal.debug=true" "$pellucor" >>"$WORK/taken.log" 2>&1 &
program=$!
wait_for 30 grep -q "desktop bound" "$WORK/taken.log" || fail "taken: nothing was bound"
log "taken: $(grep -o 'desktop bound.*' "$WORK/taken.log")"
[[ $(grep -c 'gave no key to the shortcut "spielen"' "$WORK/taken.log") == 1 ]] ||
  fail "taken: the missing key was not said once"
press taken stop
kill -TERM "$program"
wait "$program" || fail "taken: ended with status $?"
log "all passed"
