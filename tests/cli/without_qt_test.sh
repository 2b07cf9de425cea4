#!/bin/sh
# skarvel-cli starts without any Qt library, and still writes a PDF pattern
# through its module: tests/cli/without_qt_test.sh SKARVEL_CLI DESIGN.kx
set -eu
cli=$1
design=$2
if readelf -d "$cli" | grep NEEDED | grep -i qt; then
  echo "skarvel-cli needs Qt libraries to start" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cli" design "$design" --pattern "$work/x.pdf" >/dev/null
[ "$(head -c 5 "$work/x.pdf")" = "%PDF-" ] || { echo "no PDF written" >&2; exit 1; }
