#!/usr/bin/env bash
# Builds the Debian package from build/, installs it as a user would, starts the installed
# /usr/bin/pellucor on a private X server, checks its window and that Ctrl+E ends it with exit
# code 0, then removes the package and checks that nothing is left. Needs root or sudo, and a
# build/ made by scripts/test.sh or scripts/build.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

as_root=()
((EUID == 0)) || as_root=(sudo)
fail() {
  echo "check-deb: $*" >&2
  exit 1
}

[[ -e /usr/bin/pellucor ]] && fail "/usr/bin/pellucor exists already; remove that first"

rm -f build/pellucor_*.deb
(cd build && bash ../scripts/as-owner.sh cpack -G DEB >/dev/null)
debs=(build/pellucor_*.deb)
((${#debs[@]} == 1)) && [[ -f "${debs[0]}" ]] || fail "cpack made no single pellucor_*.deb"
deb=$(realpath "${debs[0]}")
echo "check-deb: built $(basename "$deb")"
echo "check-deb: depends on $(dpkg-deb -f "$deb" Depends)"

# The foot pedals' access rule goes where udev reads the rules that packages bring.
pedal_rules=usr/lib/udev/rules.d/70-pellucor-pedals.rules
# The listing is read whole: grep -q ending early would kill dpkg-deb's tar with SIGPIPE.
contents=$(dpkg-deb -c "$deb")
grep -q " \./$pedal_rules\$" <<<"$contents" || fail "the package has no /$pedal_rules"

"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
removed=0
remove() {
  ((removed)) && return
  removed=1
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq pellucor >/dev/null
}
trap remove EXIT

[[ -x /usr/bin/pellucor ]] || fail "the package installed no /usr/bin/pellucor"
for f in applications/org.pellucor.Pellucor.desktop metainfo/org.pellucor.Pellucor.metainfo.xml \
  icons/hicolor/scalable/apps/org.pellucor.Pellucor.svg man/man1/pellucor.1.gz; do
  [[ -f /usr/share/$f ]] || fail "the package installed no /usr/share/$f"
done

# udevadm verify came with systemd 254; where it is missing the rule gets a check of our own.
[[ -f /$pedal_rules ]] || fail "the package installed no /$pedal_rules"
if command -v udevadm >/dev/null && udevadm verify --help >/dev/null 2>&1; then
  udevadm verify "/$pedal_rules" || fail "udevadm verify refuses /$pedal_rules"
fi
bash scripts/check-pedal-rules.sh "/$pedal_rules" || fail "/$pedal_rules is not well-formed"

# Runs on the private display: the window shows, carries the class the desktop entry promises
# (so a dock groups it with its menu entry), and quits on Ctrl+E with status 0.
bash scripts/as-owner.sh bash scripts/with-xvfb.sh bash -c '
  set -euo pipefail
  /usr/bin/pellucor &
  pid=$!
  # xdotool gives up with BadWindow when a window it lists goes before it looks at it (libmpv
  # makes and drops windows of its own as the program starts): such a search is asked again.
  window=""
  for _ in $(seq 150); do
    window=$(xdotool search --onlyvisible --pid "$pid" --name pellucor 2>/dev/null | head -n 1) ||
      true
    [[ -n "$window" ]] && break
    sleep 0.2
  done
  if [[ -z "$window" ]]; then
    echo "check-deb: no pellucor window within 30 s" >&2
    kill "$pid"
    exit 1
  fi
  class=$(sed -n "s/^StartupWMClass=//p" /usr/share/applications/org.pellucor.Pellucor.desktop)
  if ! xprop -id "$window" WM_CLASS | grep -q "\"$class\""; then
    echo "check-deb: window class $(xprop -id "$window" WM_CLASS) is not \"$class\"" >&2
    kill "$pid"
    exit 1
  fi
  xdotool windowactivate --sync "$window"
  xdotool key --clearmodifiers ctrl+e
  status=0
  if ! timeout 30 tail --pid "$pid" -f /dev/null; then
    echo "check-deb: Ctrl+E did not end it within 30 s" >&2
    kill "$pid"
  fi
  wait "$pid" || status=$?
  [[ $status -eq 0 ]] || { echo "check-deb: pellucor ended with status $status" >&2; exit 1; }
  echo "check-deb: window $window appeared and Ctrl+E ended it with status 0"
'

remove
[[ ! -e /usr/bin/pellucor ]] || fail "/usr/bin/pellucor is still there after apt-get remove"
[[ ! -e /$pedal_rules ]] || fail "/$pedal_rules is still there after apt-get remove"
left=$(dpkg-query -W -f='${Status}' pellucor 2>/dev/null || true)
[[ "$left" != *installed* || "$left" == *not-installed* ]] || fail "pellucor still $left"
echo "check-deb: installed, ran and removed $(basename "$deb") cleanly"
