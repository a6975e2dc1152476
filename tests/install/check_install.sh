#!/usr/bin/env bash
# Installs the build in $1 under a fresh prefix and checks what lands there:
# the program, which gives the project's version, a compressed manual page
# that groff formats without warnings and that names every option of --help,
# and the copyright file with the font data's acknowledgement.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null
program=$prefix/bin/glidersect
[ -x "$program" ] || { echo "no bin/glidersect"; exit 1; }
[ -f "$prefix/share/man/man1/glidersect.1.gz" ] || { echo "no share/man/man1/glidersect.1.gz"; exit 1; }
page=$prefix/glidersect.1
gzip -dc "$prefix/share/man/man1/glidersect.1.gz" > "$page"
grep -q "A. V. Hershey" "$prefix/share/doc/glidersect/copyright" ||
  { echo "no copyright file with the Hershey acknowledgement"; exit 1; }
version=$("$program" --version)
grep -q "glidersect ${version#glidersect }" "$page" || { echo "the page does not carry $version"; exit 1; }
if command -v groff > /dev/null; then
  warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
  [ -z "$warnings" ] || { echo "groff: $warnings"; exit 1; }
fi
for option in $("$program" --help | grep -o -- '--[a-z0-9]*' | sort -u); do
  grep -q -- "${option//-/\\\\-}" "$page" || { echo "the page does not name $option"; exit 1; }
done
echo "installed and documented: $version"
