#!/bin/sh
# Writes a manual page from its template and the program's own --help (and each command's
# --help), so the page says what the program says. Template lines of the form
#   .\" @help PART     are replaced by that part of the help (see help-to-man.awk),
#   .\" @commands      by a subsection for every command the help lists,
#   .\" @usages        by the usage line of the program and of every command,
#   .\" @include FILE  by the file of that name beside the template.
# Usage: make-manpage.sh PROGRAM TEMPLATE OUTPUT
set -eu

program=$1
template=$2
output=$3
convert="$(dirname "$0")/help-to-man.awk"
includes=$(dirname "$template")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$program" --help >"$work/help"
awk -v part=commands -f "$convert" "$work/help" >"$work/commands"
while read -r command; do
  "$program" "$command" --help >"$work/help-$command"
done <"$work/commands"

{
  while IFS= read -r line; do
    case $line in
      '.\" @help '*)
        awk -v part="${line##* }" -f "$convert" "$work/help"
        ;;
      '.\" @usages')
        awk -v part=usage -f "$convert" "$work/help"
        while read -r command; do
          echo ".br"
          awk -v part=usage -v bold=2 -f "$convert" "$work/help-$command"
        done <"$work/commands"
        ;;
      '.\" @commands')
        while read -r command; do
          awk -v part=command -f "$convert" "$work/help-$command"
        done <"$work/commands"
        ;;
      '.\" @include '*)
        cat "$includes/${line##* }"
        ;;
      *)
        printf '%s\n' "$line"
        ;;
    esac
  done <"$template"
} >"$work/page"
mv "$work/page" "$output"
