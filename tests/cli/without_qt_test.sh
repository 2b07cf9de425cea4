#!/bin/sh
# skarvel-cli starts without any Qt or NLopt library, and still writes a PDF
# pattern and optimises through its modules:
# tests/cli/without_qt_test.sh SKARVEL_CLI DESIGN.kx
set -eu
cli=$1
design=$2
if readelf -d "$cli" | grep NEEDED | grep -i -e qt -e nlopt -e ceres; then
  echo "skarvel-cli needs Qt, NLopt or Ceres libraries to start" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cli" design "$design" --pattern "$work/x.pdf" >/dev/null
[ "$(head -c 5 "$work/x.pdf")" = "%PDF-" ] || { echo "no PDF written" >&2; exit 1; }
# A flight opens neither module; an optimisation opens the optimiser's.
LD_DEBUG=files "$cli" fly --design "$design" >/dev/null 2>"$work/fly.log"
if grep -q -e nlopt -e skarvel-optimise -e ceres -e skarvel-fit "$work/fly.log"; then
  echo "skarvel-cli fly loads the optimiser or the fit" >&2
  exit 1
fi
"$cli" optimise --design "$design" --maximise glide-ratio --vary 水平尾翼取付角=-1:1 \
  --budget 20 >"$work/best.txt"
grep -q "^evaluations	20$" "$work/best.txt" || { echo "no optimisation" >&2; exit 1; }
