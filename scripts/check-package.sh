#!/usr/bin/env bash
# Checks the Debian package as a technician's machine sees it: lintian, installation with
# dpkg -i, the installed programs run from /usr/bin by a user who is not root, and removal,
# which must leave no file behind. Changes the system (installs and purges the package, adds
# the user "zarnik-check"): run it as root on a machine meant for it, as CI does.
set -euo pipefail
cd "$(dirname "$0")/.."

step() { printf '\n== %s\n' "$*"; }
fail() { echo "FAIL: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "run as root: the check installs and removes the package"

step "Building the package (scripts/package.sh)"
deb=$(realpath "$(scripts/package.sh | tail -n 1)")
echo "$deb"

apt-get update -qq
command -v lintian >/dev/null ||
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends lintian >/dev/null

step "lintian"
# No errors, and no warnings but this one:
# - appstream-metadata-missing-modalias-provide: the udev rules give access to every USB
#   device with a printer-class interface, for the USB bridge. Declaring those devices as
#   AppStream modalias provides would make software centres offer Zarnik for every USB
#   printer that is plugged in, which is not what the rules are for.
lintian --fail-on error,warning --suppress-tags appstream-metadata-missing-modalias-provide \
  "$deb"

step "Installing with dpkg -i"
# The dependencies come from the archive first, as apt would bring them; they are not
# the package's files, so they are in place before the file list is taken.
DEBIAN_FRONTEND=noninteractive apt-get satisfy -y -qq --no-install-recommends \
  "$(dpkg-deb -f "$deb" Depends)" >/dev/null
user=zarnik-check
id "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$user"
# Caches that the system's triggers rebuild (menus, icons, manual pages) are theirs.
system_files() {
  find /etc /usr /opt /var/lib/dpkg/info -xdev \
    -not -name '*.cache' -not -path '/var/lib/dpkg/info/*.list-new' 2>/dev/null | sort
}
system_files >/tmp/zarnik-files-before
dpkg -i "$deb"

step "The installed programs, run by $user from /usr/bin"
as_user() { runuser -u "$user" -- env -C "/home/$user" HOME="/home/$user" "$@"; }
as_user /usr/bin/zarnik-cli --version
as_user /usr/bin/zarnik-cli --simulate version
as_user env QT_QPA_PLATFORM=offscreen /usr/bin/zarnik --version
[ -f "/home/$user/.config/zarnik/zarnik.INI" ] ||
  fail "the installed zarnik-cli kept no settings file in ~/.config/zarnik"
[ ! -e /usr/bin/zarnik.INI ] || fail "a settings file was written into /usr/bin"
as_user bash -c 'source /usr/share/bash-completion/completions/zarnik-cli &&
  COMP_WORDS=(zarnik-cli fl) COMP_CWORD=1 && _zarnik_cli && [ "${COMPREPLY[*]}" = flash ]' ||
  fail "the installed bash completion does not complete zarnik-cli fl"
as_user man --warnings zarnik-cli >/dev/null
desktop-file-validate /usr/share/applications/zarnik.desktop

step "Removing the package"
dpkg --purge zarnik
system_files >/tmp/zarnik-files-after
if ! diff /tmp/zarnik-files-before /tmp/zarnik-files-after; then
  fail "removing the package left the files above behind (>) or took others (<)"
fi
echo "The package installed, ran and went without a trace."
