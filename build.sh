#!/usr/bin/env bash
# One entry point for everything: ./build.sh demo | test | screenshots | fuzz | host | win32
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
JOBS=${JOBS:-2}

need_packages() {
  # Debian packages every target needs; installed when missing and run as root.
  local packages=(cmake g++ make libgtest-dev
    g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
    wine wine32:i386 xvfb xauth x11-utils imagemagick fonts-dejavu-core fonts-liberation)
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

build_host() {
  cmake -S "$ROOT" -B "$ROOT/build/host" -DCMAKE_BUILD_TYPE=Release ${HOST_CMAKE_ARGS:-} >/dev/null
  cmake --build "$ROOT/build/host" -j"$JOBS"
}

build_win32() {
  cmake -S "$ROOT" -B "$ROOT/build/win32" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$ROOT/build/win32" -j"$JOBS"
}

build_all() {
  need_packages
  build_win32
  build_host
}

case "${1:-}" in
  host) need_packages; build_host ;;
  win32) need_packages; build_win32 ;;
  demo) build_all; exec "$ROOT/tests/e2e/demo.sh" ;;
  test)
    build_all
    cd "$ROOT/build/host"
    ctest --output-on-failure -j"$JOBS"
    ;;
  screenshots) build_all; exec "$ROOT/tests/e2e/screenshots.sh" ;;
  *)
    echo "usage: $0 demo|test|screenshots|host|win32" >&2
    exit 2
    ;;
esac
