#!/usr/bin/env bash
# The pedal rule checker passes the package's rule file and refuses each kind of broken rule.
set -uo pipefail
root=${1:?source folder}
check=$root/scripts/check-pedal-rules.sh
rules=$root/pedals/70-pellucor-pedals.rules
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

bash "$check" "$rules" >/dev/null || { echo "the package's rule file was refused"; failed=1; }

good='SUBSYSTEM=="hidraw", ATTRS{idVendor}=="05f3", ATTRS{idProduct}=="00ff", TAG+="uaccess"'
refused() {  # name, file name, rule line
  printf '# a rule\n%s\n' "$3" >"$work/$2"
  if bash "$check" "$work/$2" 2>/dev/null >&2; then
    echo "not refused: $1"
    failed=1
  fi
}
printf '%s\n' "$good" >"$work/70-good.rules"
bash "$check" "$work/70-good.rules" >/dev/null || { echo "a good rule was refused"; failed=1; }

refused UnclosedQuote 70-a.rules "${good/\"uaccess\"/\"uaccess}"
refused MatchWrittenAsAssignment 70-a.rules "${good/SUBSYSTEM==/SUBSYSTEM=}"
refused UnknownKey 70-a.rules "${good/ATTRS\{idVendor\}/ATTRZ{idVendor}}"
refused MissingComma 70-a.rules "${good/, TAG/ TAG}"
refused NoUaccess 70-a.rules "${good/, TAG+=\"uaccess\"/}"
refused WorldWritable 70-a.rules "$good, MODE=\"0666\""
refused ShortVendorId 70-a.rules "${good/05f3/5f3}"
refused UpperCaseId 70-a.rules "${good/00ff/00FF}"
refused InputWithoutEventNodes 70-a.rules "${good/hidraw/input}"
refused AttrWithoutName 70-a.rules "${good/ATTRS\{idProduct\}/ATTRS}"
refused AfterTheSeatRules 80-a.rules "$good"

((failed == 0)) && echo "rule checker: all cases as expected"
exit "$failed"
