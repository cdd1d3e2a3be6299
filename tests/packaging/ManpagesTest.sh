#!/usr/bin/env bash
# The manual pages against the programs they describe: clean for man --warnings, every command
# and every option of zarnik-cli's help (and each command's) in zarnik-cli(1), every option of
# zarnik's help in zarnik(1), every environment variable of the README's table in both.
# Usage: ManpagesTest.sh PAGE_FOLDER ZARNIK_CLI ZARNIK README
set -uo pipefail
pages=$1 cli=$2 window=$3 readme=$4
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The long option names a help text lists, as they are written in a page's source.
options_of() { grep -oE '^  (-[A-Za-z], ?)?--[a-z-]+' | grep -oE -- '--[a-z-]+' | sed 's/-/\\-/g'; }

expect_in_page() {  # page, what, text
  grep -qF -- "$3" "$1" || fail "$(basename "$1") lacks $2 $3"
}

for page in "$pages/zarnik-cli.1" "$pages/zarnik.1"; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [[ -z $warnings ]] || fail "$(basename "$page"): $warnings"
  # The README's table of environment variables: `ZARNIK_COM<n>` is written ZARNIK_COM\fIn\fP.
  for variable in $(grep -oE '^\| `[A-Z_]+' "$readme" | tr -d '|` '); do
    expect_in_page "$page" "variable" ".B $variable"
  done
done

commands=$("$cli" --help | awk '/^Subcommands:/ { on = 1; next } /^$/ { on = 0 } on { print $1 }')
[[ -n $commands ]] || fail "zarnik-cli --help lists no commands"
for option in $("$cli" --help | options_of); do
  expect_in_page "$pages/zarnik-cli.1" "option" "$option"
done
for command in $commands; do
  expect_in_page "$pages/zarnik-cli.1" "command" ".SS $command"
  for option in $("$cli" "$command" --help | options_of); do
    expect_in_page "$pages/zarnik-cli.1" "option of $command" "$option"
  done
done
for option in $("$window" --help | options_of); do
  expect_in_page "$pages/zarnik.1" "option" "$option"
done

echo "$failures failed"
[[ $failures -eq 0 ]]
