#!/usr/bin/env bash
# Builds the Debian package of WinVELMAR with CPack in build-deb/ (or the
# folder given as $BUILD_DIR): winvelmar_<version>_amd64.deb, and the debug
# symbols of both programs as winvelmar-dbgsym_<version>_amd64.deb; then checks
# both with lintian (its report: <build dir>/lintian.txt). Fails when lintian
# reports an error. Extra arguments go to CMake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build-deb}
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(cd .. && pwd)}
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Debian's optimisation and hardening flags, as a Debian build would use them.
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS
cmake -S . -B "$BUILD_DIR" -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF -DWINVELMAR_BENCH=OFF "$@" >/dev/null
cmake --build "$BUILD_DIR" -j "${JOBS:-$(nproc)}"
rm -f "$BUILD_DIR"/winvelmar*.deb "$BUILD_DIR"/winvelmar*.ddeb
(cd "$BUILD_DIR" && cpack -G DEB >/dev/null)
# The debug package as CPack writes it lists absolute paths in its md5sums and
# has no documentation folder; it gets relative sums and the main package's
# documentation (a link, as Debian's debug packages have), and a name ending in
# .deb, the only one apt-get installs a package file by.
for ddeb in "$BUILD_DIR"/*-dbgsym_*.ddeb; do
  [ -e "$ddeb" ] || continue
  root="$BUILD_DIR/dbgsym-root"
  rm -rf "$root"
  dpkg-deb -R "$ddeb" "$root"
  (cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum >DEBIAN/md5sums)
  mkdir -p "$root/usr/share/doc"
  ln -sfn winvelmar "$root/usr/share/doc/winvelmar-dbgsym"
  dpkg-deb --root-owner-group -Zxz -b "$root" "${ddeb%.ddeb}.deb" >/dev/null
  rm -rf "$root" "$ddeb"
done
debs=("$BUILD_DIR"/winvelmar_*.deb "$BUILD_DIR"/winvelmar-dbgsym_*.deb)
status=0
lintian --info --pedantic "${debs[@]}" >"$BUILD_DIR/lintian.txt" 2>&1 || status=$?
cat "$BUILD_DIR/lintian.txt"
if [ $status -ne 0 ]; then
  echo "lintian reports errors (status $status)" >&2
  exit 1
fi
for deb in "${debs[@]}"; do
  echo "built $deb"
done
