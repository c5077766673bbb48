#!/usr/bin/env bash
# The Debian package: builds it from this build folder (scripts/package.sh), checks what it
# holds, lintian without errors, the man pages and the bash completion, and extracts it into
# WORK/root for the test of the installed programs (installed_print_test).
#   tests/package/package_test.sh BUILD_DIR WORK_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

deb=$(bash "$here/scripts/package.sh" "$build" "$work" | tail -n 1)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ "$(basename "$deb")" = "dorvan_${version}_$(dpkg --print-architecture).deb" ] || fail "package name $deb"

# The fields of the package: its version, and the libraries the programs load found by
# dpkg-shlibdeps, with the fonts the reports are measured with.
[ "$(dpkg-deb -f "$deb" Package)" = dorvan ] || fail "package name field"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version field"
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6widgets6 libqt6printsupport6 libpq5 libcurl4 libcups2 fonts-liberation2; do
  grep -q "\b$dep\b" <<<"$depends" || fail "Depends lacks $dep: $depends"
done

# What goes where.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/contents"
for path in \
  /usr/bin/dorvan-console /usr/bin/dorvan-print /usr/bin/dorvan-cli \
  /usr/share/dorvan/designs/szamlabizonylat_design.json /usr/share/dorvan/designs/fizetve.jpg \
  /usr/share/doc/dorvan/examples/Dorvan.ini /usr/share/doc/dorvan/copyright \
  /usr/share/doc/dorvan/changelog.gz \
  /usr/share/man/man1/dorvan-console.1.gz /usr/share/man/man1/dorvan-print.1.gz \
  /usr/share/man/man1/dorvan-cli.1.gz \
  /usr/share/bash-completion/completions/dorvan-cli \
  /usr/share/bash-completion/completions/dorvan-print \
  /usr/share/bash-completion/completions/dorvan-console \
  /usr/share/applications/dorvan-console.desktop \
  /usr/share/icons/hicolor/scalable/apps/dorvan-console.svg; do
  grep -qxF "$path" "$work/contents" || fail "the package lacks $path"
done
for script in "$here"/database_scripts/*.sql; do
  grep -qxF "/usr/share/dorvan/database_scripts/$(basename "$script")" "$work/contents" ||
    fail "the package lacks the update script $(basename "$script")"
done
if grep -v -e '^/usr/' -e '^/$' "$work/contents"; then fail "files outside /usr"; fi

# Debian's checks: no errors.
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || {
  cat "$work/lintian.log" >&2
  fail "lintian reports errors"
}

dpkg-deb -x "$deb" "$work/root"
root=$work/root

# Man pages: made from --help, each naming its program, its options and where
# Dorvan.ini is read, and rendered without a warning.
for program in dorvan-console dorvan-print dorvan-cli; do
  page=$root/usr/share/man/man1/$program.1.gz
  gzip -t "$page" || fail "$page is not gzip"
  text=$(MANWIDTH=80 man --warnings -l "$page" 2>"$work/man.err") || fail "man $program"
  [ ! -s "$work/man.err" ] || { cat "$work/man.err" >&2; fail "warnings in man $program"; }
  for want in "$program" "SYNOPSIS" "--version" "/etc/dorvan/Dorvan.ini"; do
    grep -qF -- "$want" <<<"$text" || fail "man $program lacks \"$want\""
  done
  # The installed program answers --version without a display.
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/$program" --version)
  [ "$out" = "$program $version" ] || fail "$program --version: $out"
done
grep -qF -- "--serial-first" <(zcat "$root/usr/share/man/man1/dorvan-cli.1.gz" | sed 's/\\-/-/g') ||
  fail "man dorvan-cli lacks the subcommands"

# Bash completion: offers subcommands, a subcommand's options and the options of the others.
complete_words() { # PROGRAM WORDS...: what the completion offers for the last word
  local program=$1
  shift
  bash -c '
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    "_${1//-/_}"
    printf "%s\n" "${COMPREPLY[@]}"' _ "$root/usr/share/bash-completion/completions/$program" \
    "$program" "$@"
}
[ "$(complete_words dorvan-cli num)" = number ] || fail "completion of a subcommand"
# Read whole before grep -q looks at it: grep -q leaves at the first match, and under
# pipefail the writer's broken pipe would count as a failure.
offered=$(complete_words dorvan-cli number --)
grep -qx -- --serial-first <<<"$offered" || fail "completion of a flag"
grep -qx -- --date <<<"$offered" || fail "completion of an option"
[ -z "$(complete_words dorvan-cli number --date "")" ] || fail "completion after --date"
[ "$(complete_words dorvan-print --pd)" = --pdf ] || fail "completion of dorvan-print"
[ "$(complete_words dorvan-console --ver)" = --version ] || fail "completion of dorvan-console"

# The changelog's entry is this version.
zcat "$root/usr/share/doc/dorvan/changelog.gz" | head -n 1 | grep -qF "dorvan ($version)" ||
  fail "changelog version"
echo "package $deb: contents, lintian, man pages and completion checked"
