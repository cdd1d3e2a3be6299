#!/usr/bin/env bash
# zarnik-cli's bash completion, driven as bash drives it, against the built program: commands,
# global options before and after the command, the values of --type and --port, file names.
# Usage: CompletionTest.sh COMPLETION_SCRIPT ZARNIK_CLI
set -uo pipefail
source "$1"
cli=$(realpath "$2")
failures=0

# Completes the words given (the last one is the word under the cursor) and compares the
# sorted candidates with the expected ones.
expect() {
  local expected=$1
  shift
  COMP_WORDS=("$cli" "$@")
  COMP_CWORD=$#
  _zarnik_cli
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
  if [[ $got != "$expected" ]]; then
    echo "FAIL: zarnik-cli $* -> '$got', expected '$expected'"
    failures=$((failures + 1))
  fi
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" && touch demo.vop demo.bin firmware.vop

expect "add-header arrange-bands" a
expect "flash" fl
expect "--port" --po
expect "lpt usb" --port ""
expect "demo firmware mask-firmware" flash demo.vop --type ""
expect "--yes" flash demo.vop --y
# Global options after the command.
expect "--sim-config --sim-trace --simulate" version --sim
expect "demo.bin demo.vop" check demo
expect "firmware.vop" --settings fi

echo "$failures failed"
[[ $failures -eq 0 ]]
