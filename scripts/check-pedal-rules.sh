#!/usr/bin/env bash
# Checks a udev rules file of foot pedals: every line's key, operator and quoted value in udev's
# syntax (for udevadm releases without "verify", as Debian 12's), and that each rule gives the
# logged-in user access (TAG+="uaccess") to one USB id's hidraw or event nodes and nothing more.
# Usage: check-pedal-rules.sh FILE. Prints each fault with its line; exits 1 if there is one.
set -uo pipefail

file=${1:?usage: check-pedal-rules.sh FILE}
faults=0
fault() {
  echo "$file:$1: $2" >&2
  faults=$((faults + 1))
}

# The uaccess tag turns into access in the seat rules at 73; a later file comes too late.
number=$(basename "$file" | sed -n 's/^\([0-9][0-9]\)-.*\.rules$/\1/p')
if [[ -z "$number" ]]; then
  fault 0 "the name is not NN-name.rules"
elif ((10#$number >= 73)); then
  fault 0 "number $number is not below 73, where uaccess is applied"
fi

match_keys=" ACTION DEVPATH KERNEL KERNELS NAME SYMLINK SUBSYSTEM SUBSYSTEMS DRIVER DRIVERS ATTR \
ATTRS ENV TAG TAGS TEST PROGRAM RESULT CONST SYSCTL "
assign_keys=" NAME SYMLINK OWNER GROUP MODE SECLABEL ATTR SYSCTL ENV TAG RUN LABEL GOTO IMPORT \
OPTIONS "
attr_keys=" ATTR ATTRS ENV SYSCTL SECLABEL CONST "
item='^[[:space:]]*([A-Z_]+)(\{([^}]*)\})?[[:space:]]*(==|!=|\+=|-=|:=|=)[[:space:]]*"([^"]*)"[[:space:]]*(,?)(.*)$'

n=0
rules=0
while IFS= read -r line || [[ -n "$line" ]]; do
  n=$((n + 1))
  [[ "$line" =~ ^[[:space:]]*(#.*)?$ ]] && continue
  [[ "$line" == *\\ ]] && { fault "$n" "continued lines are not used here"; continue; }
  rules=$((rules + 1))
  rest=$line
  declare -A seen=()
  uaccess=0
  while [[ -n "${rest//[[:space:]]/}" ]]; do
    if ! [[ "$rest" =~ $item ]]; then
      fault "$n" "cannot read '$rest' as KEY{attr}OP\"value\""
      break
    fi
    key=${BASH_REMATCH[1]} attr=${BASH_REMATCH[3]} op=${BASH_REMATCH[4]}
    value=${BASH_REMATCH[5]} comma=${BASH_REMATCH[6]} rest=${BASH_REMATCH[7]}
    if [[ -n "${rest//[[:space:]]/}" && -z "$comma" ]]; then
      fault "$n" "no comma after $key"
    fi
    if [[ "$op" == "==" || "$op" == "!=" ]]; then
      [[ "$match_keys" == *" $key "* ]] || fault "$n" "$key cannot be matched with $op"
    else
      [[ "$assign_keys" == *" $key "* ]] || fault "$n" "$key cannot be assigned with $op"
    fi
    if [[ "$attr_keys" == *" $key "* && -z "$attr" ]]; then
      fault "$n" "$key needs {name}"
    fi
    seen["$key${attr:+{$attr\}}"]="$op$value"
    [[ "$key$op$value" == 'TAG+=uaccess' ]] && uaccess=1
    case "$key" in
      MODE | OWNER | GROUP) fault "$n" "$key gives access beyond the logged-in user" ;;
    esac
  done
  ((uaccess)) || fault "$n" 'no TAG+="uaccess"'
  for id in idVendor idProduct; do
    v=${seen["ATTRS{$id}"]:-}
    [[ "$v" =~ ^==[0-9a-f]{4}$ ]] || fault "$n" "ATTRS{$id} is not ==\"xxxx\" (four lower-case hex digits)"
  done
  case "${seen[SUBSYSTEM]:-}" in
    ==hidraw) ;;
    ==input) [[ "${seen[KERNEL]:-}" == '==event*' ]] || fault "$n" 'input rules need KERNEL=="event*"' ;;
    *) fault "$n" 'SUBSYSTEM is neither =="hidraw" nor =="input"' ;;
  esac
  unset seen
done <"$file"

((rules > 0)) || fault 0 "no rule"
if ((faults > 0)); then
  echo "check-pedal-rules: $faults fault(s) in $file" >&2
  exit 1
fi
echo "check-pedal-rules: $rules rules in $file are well-formed"
