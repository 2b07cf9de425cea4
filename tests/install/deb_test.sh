#!/usr/bin/env bash
# Builds the Debian package from a built tree, installs it, tries the
# installed programs and files from another folder, and removes the package
# again, also when a check fails: tests/install/deb_test.sh [BUILD_DIR]
# Installing needs root; as another user the test is skipped.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$root/${1:-build}" && pwd)

if [ "$(id -u)" -ne 0 ]; then
  echo "deb_test: skipped (installing a package needs root)"
  exit 0
fi
if dpkg-query -W -f='${Status}' skarvel 2>/dev/null | grep -q 'install ok installed'; then
  echo "deb_test: skipped (a skarvel package is already installed; it is left as it is)"
  exit 0
fi

started=$SECONDS
work=$(mktemp -d)
installed=no
cleanup() {
  if [ "$installed" = yes ]; then
    DEBIAN_FRONTEND=noninteractive apt-get remove -y skarvel >"$work/remove.log" 2>&1 ||
      { echo "deb_test: removing the package failed:"; cat "$work/remove.log"; }
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "deb_test: FAILED: $*" >&2
  exit 1
}
step() { echo "deb_test: $*"; }

step "building the package"
rm -f "$build"/skarvel_*.deb
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
debs=("$build"/skarvel_*_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single skarvel_<version>_<arch>.deb"
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg-deb -f "$deb" Architecture)
[ "$(basename "$deb")" = "skarvel_${version}_${arch}.deb" ] || fail "file name $(basename "$deb")"
for field in Depends Maintainer Description Section; do
  [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "no $field in the package"
done
[ "$(dpkg-deb -f "$deb" Section)" = science ] || fail "section is not science"
for dep in libqt6widgets6 libqt6gui6 libqcustomplot2.1-qt6 fonts-ipafont-gothic; do
  dpkg-deb -f "$deb" Depends | grep -q "$dep" || fail "Depends lacks $dep"
done
# Man pages are checked in the package: some systems leave them out on install.
dpkg-deb -c "$deb" >"$work/contents"
for man in skarvel.1 skarvel-cli.1; do
  grep -q "/usr/share/man/man1/$man" "$work/contents" || fail "no man page $man"
done

step "installing $(basename "$deb")"
installed=yes
(cd "$(dirname "$deb")" && DEBIAN_FRONTEND=noninteractive apt-get install -y "./$(basename "$deb")") \
  >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "apt-get install"; }

data=/usr/share/skarvel
[ "$(command -v skarvel-cli)" = /usr/bin/skarvel-cli ] || fail "skarvel-cli is not /usr/bin/skarvel-cli"
[ -x /usr/bin/skarvel ] || fail "no /usr/bin/skarvel"
for f in Paper.ini skarvel-help.html examples/default.kx examples/sweep-job.yaml \
    examples/measured-default.csv; do
  [ -s "$data/$f" ] || fail "no $data/$f"
done
[ -x "$data/examples/sweep-slurm.sh" ] || fail "the sweep script is not executable"
# skarvel-cli starts without Qt; it opens its PDF writer, a module, when it
# writes a PDF.
[ -f /usr/lib/skarvel/skarvel-pdf.so ] || fail "no /usr/lib/skarvel/skarvel-pdf.so"
[ -f /usr/lib/skarvel/skarvel-optimise.so ] || fail "no /usr/lib/skarvel/skarvel-optimise.so"
[ -f /usr/lib/skarvel/skarvel-fit.so ] || fail "no /usr/lib/skarvel/skarvel-fit.so"
if readelf -d /usr/bin/skarvel-cli | grep NEEDED | grep -qi qt; then
  fail "the installed skarvel-cli needs Qt libraries to start"
fi

step "running the installed programs from $work/run"
mkdir "$work/run"
cd "$work/run"
[ "$(skarvel-cli --version)" = "skarvel-cli $version" ] || fail "skarvel-cli --version"
[ "$(skarvel --version)" = "skarvel $version" ] || fail "skarvel --version"
skarvel-cli fly --design "$data/examples/default.kx" >fly.txt || fail "skarvel-cli fly"
[ "$(wc -l <fly.txt)" -eq 2 ] || fail "fly printed $(wc -l <fly.txt) lines, not the header and a row"
# The optimiser's and the fit's modules open with the libraries the package
# depends on.
skarvel-cli optimise --maximise glide-ratio --vary 水平尾翼取付角=-1:1 --budget 10 \
  >optimise.txt || fail "skarvel-cli optimise"
grep -q "^evaluations" optimise.txt || fail "optimise printed no evaluations"
skarvel-cli fit --measured "$data/examples/measured-default.csv" --vary 初速 >fit.txt ||
  fail "skarvel-cli fit"
grep -q "^rms" fit.txt || fail "fit printed no rms line"
skarvel-cli design "$data/examples/twin-fin.kx" --sketch sketch.svg >design.txt ||
  fail "skarvel-cli design"
[ -s design.txt ] && grep -q '<svg' sketch.svg || fail "design printed nothing or no sketch"
# The pattern's PDF needs Qt's offscreen platform and the IPA Gothic face
# the package depends on.
skarvel-cli design "$data/examples/default.kx" --pattern pattern.pdf >/dev/null ||
  fail "skarvel-cli design --pattern"
[ "$(head -c 5 pattern.pdf)" = "%PDF-" ] || fail "the pattern is not a PDF"
if command -v pdffonts >/dev/null; then
  pdffonts pattern.pdf | grep -q IPAGothic || fail "the pattern does not embed IPA Gothic"
fi

step "validating the desktop file, the metainfo and the file types"
desktop=$(ls /usr/share/applications/*.desktop | xargs grep -l '^Exec=skarvel %f$')
[ -n "$desktop" ] || fail "no desktop file runs skarvel"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
id=$(basename "$desktop" .desktop)
appstreamcli validate --no-net "/usr/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
  "/usr/share/metainfo/$id.metainfo.xml" || fail "the metainfo does not launch $id.desktop"
[ -s /usr/share/icons/hicolor/scalable/apps/skarvel.svg ] || fail "no icon"
if command -v xmllint >/dev/null; then
  xmllint --noout /usr/share/icons/hicolor/scalable/apps/skarvel.svg || fail "the icon is not XML"
  xmllint --noout /usr/share/mime/packages/skarvel.xml || fail "the MIME file is not XML"
fi
# The triggers of shared-mime-info and desktop-file-utils have taken the
# types in: a double click on either file finds the program.
grep -q ':\*\.kx$' /usr/share/mime/globs2 || fail "*.kx is not in the MIME database"
grep -q 'application/x-skarvel-input:\*\.kxs$' /usr/share/mime/globs2 ||
  fail "*.kxs is not in the MIME database"
desktop-file-validate "/usr/share/applications/$id.Design.desktop" || fail "desktop-file-validate (design)"
grep -q '^Exec=skarvel --design %f$' "/usr/share/applications/$id.Design.desktop" ||
  fail "the design entry does not open with --design"
grep -q "^application/x-skarvel-input=.*$id.desktop" /usr/share/applications/mimeinfo.cache ||
  fail "application/x-skarvel-input does not open with $id.desktop"
grep -q "^application/x-skarvel-design=.*$id.Design.desktop" /usr/share/applications/mimeinfo.cache ||
  fail "application/x-skarvel-design does not open with $id.Design.desktop"

if [ -f /usr/share/bash-completion/bash_completion ]; then
  step "completing skarvel-cli"
  touch glider.kx input.kxs pattern.pdf
  completions() {
    bash -c 'source /usr/share/bash-completion/bash_completion
             source /usr/share/bash-completion/completions/skarvel-cli
             COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
             _skarvel_cli skarvel-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
             printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' _ "$@"
  }
  [ "$(completions skarvel-cli '')" = "--help --version -h analyse design estimate fly help sweep " ] ||
    fail "commands complete to: $(completions skarvel-cli '')"
  [ "$(completions skarvel-cli design glider.kx --pa)" = "--paper --pattern " ] ||
    fail "design options complete to: $(completions skarvel-cli design glider.kx --pa)"
  [ "$(completions skarvel-cli design glider.kx --pattern p.pdf --paper '')" = "A3 A4 B5 Letter " ] ||
    fail "paper sizes complete to: $(completions skarvel-cli design x.kx --pattern p.pdf --paper '')"
  [ "$(completions skarvel-cli fly --design '')" = "glider.kx " ] ||
    fail "--design completes to: $(completions skarvel-cli fly --design '')"
  [ "$(completions skarvel-cli fly '')" = "input.kxs " ] ||
    fail "the input completes to: $(completions skarvel-cli fly '')"
fi

cd /
step "removing the package"
DEBIAN_FRONTEND=noninteractive apt-get remove -y skarvel >"$work/remove.log" 2>&1 ||
  { cat "$work/remove.log"; fail "apt-get remove"; }
installed=no
[ ! -e /usr/bin/skarvel-cli ] || fail "skarvel-cli is still there after removal"
step "passed in $((SECONDS - started)) s"
