#!/usr/bin/env bash
# Installs the build tree into a temporary prefix and checks what lands where:
# both programs in bin/ and nothing else there, the help file and the documents
# in share/winvelmar/, a valid desktop entry and AppStream file, the icons, the
# manual pages, the licence and the changelog; and that the installed programs
# answer --version and --help without a display.
# Usage: install_layout.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
  bin/WinVELMAR
  bin/kvsolve
  share/winvelmar/WinVELMAR.qch
  share/winvelmar/KRTW-Chapter-2.pdf
  share/winvelmar/EQUATION.pdf
  share/winvelmar/VARS.pdf
  share/applications/org.winvelmar.WinVELMAR.desktop
  share/metainfo/org.winvelmar.WinVELMAR.metainfo.xml
  share/mime/packages/winvelmar-experiment.xml
  share/icons/hicolor/scalable/apps/winvelmar.svg
  share/icons/hicolor/64x64/apps/winvelmar.png
  share/icons/hicolor/128x128/apps/winvelmar.png
  share/man/man1/WinVELMAR.1.gz
  share/man/man1/kvsolve.1.gz
  share/doc/winvelmar/copyright
  share/doc/winvelmar/changelog.gz
)
for f in "${expected[@]}"; do
  [ -f "$prefix/$f" ] || fail "missing $f"
done
for f in bin/WinVELMAR bin/kvsolve; do
  [ -x "$prefix/$f" ] || fail "$f is not executable"
done
# Every installed file is one of those above.
while IFS= read -r f; do
  found=0
  for e in "${expected[@]}"; do [ "$f" = "$e" ] && found=1; done
  [ $found = 1 ] || fail "unexpected file $f"
done < <(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)

# The PDFs are PDFs, the help file a help file (an SQLite database).
for f in KRTW-Chapter-2.pdf EQUATION.pdf VARS.pdf; do
  head -c 5 "$prefix/share/winvelmar/$f" | grep -q '^%PDF-' || fail "$f is not a PDF"
done
head -c 15 "$prefix/share/winvelmar/WinVELMAR.qch" | grep -q '^SQLite format' ||
  fail "WinVELMAR.qch is not a help file"

# Icons of the size their folder says.
for size in 64 128; do
  file "$prefix/share/icons/hicolor/${size}x${size}/apps/winvelmar.png" |
    grep -q "$size x $size" || fail "the ${size}x${size} icon has another size"
done

desktop="$prefix/share/applications/org.winvelmar.WinVELMAR.desktop"
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
grep -q '^Keywords=.' "$desktop" || fail "the desktop entry has no Keywords"
out=$(appstreamcli validate --no-net "$prefix/share/metainfo/org.winvelmar.WinVELMAR.metainfo.xml" 2>&1) ||
  fail "appstreamcli validate: $out"

# Manual pages that man can lay out without complaint.
for page in WinVELMAR kvsolve; do
  text=$(zcat "$prefix/share/man/man1/$page.1.gz")
  grep -qi "^\.TH \"\?$page\"\? " <<<"$text" || fail "$page.1 has no title line"
  grep -qF -- '\-\-version' <<<"$text" || fail "$page.1 does not describe --version"
  out=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null) ||
    fail "man $page: $out"
  [ -z "$out" ] || fail "man $page warns: $out"
done

# The installed programs answer without a display or a writable folder.
v=$(cd / && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/WinVELMAR" --version | head -n 1)
[ "$v" = "WinVELMAR $version" ] || fail "WinVELMAR --version says '$v'"
h=$(cd / && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/WinVELMAR" --help | head -n 1)
[ "$h" = "Usage: WinVELMAR [options] [FILE]" ] || fail "WinVELMAR --help says '$h'"
v=$(cd / && "$prefix/bin/kvsolve" --version | head -n 1)
[ "$v" = "kvsolve $version" ] || fail "kvsolve --version says '$v'"
(cd / && "$prefix/bin/kvsolve" --help >/dev/null) || fail "kvsolve --help failed"

if [ $failures -gt 0 ]; then
  echo "$failures failure(s) in the installed layout under $prefix"
  exit 1
fi
echo "installed layout: ${#expected[@]} files, all in place"
