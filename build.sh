#!/usr/bin/env bash
# One entry point for everything: ./build.sh demo | test | screenshots | fuzz | host | win32
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
JOBS=${JOBS:-2}

need_packages() {
  # Debian packages every target needs, and those a target adds as arguments;
  # installed when missing and run as root.
  local packages=(cmake g++ make libgtest-dev
    g++-mingw-w64-i686-win32 mingw-w64-i686-dev binutils-mingw-w64-i686
    wine wine32:i386 xvfb xauth x11-utils imagemagick fonts-dejavu-core fonts-dejavu-extra fonts-liberation
    fonts-wine fonts-urw-base35 python3-fonttools openssl osslsigncode time "$@")
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

# Each harness for FUZZ_SECONDS (default 60) on a copy of its seeds; what it
# finds lands in build/fuzz/crashes/HARNESS/. Fails when any harness found something.
run_fuzz() {
  local seconds=${FUZZ_SECONDS:-60} failed=0 harness name max_len log runs
  cmake -S "$ROOT" -B "$ROOT/build/fuzz" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_COMPILER=clang++ -DSORVELA_FUZZ=ON >/dev/null
  cmake --build "$ROOT/build/fuzz" --target fuzzers -j"$JOBS"
  # name:max_len, the longest input worth mutating for each.
  for harness in trailer_fuzz:8192 manifest_fuzz:1024 face_name_fuzz:2048 \
      startup_fuzz:8192; do
    name=${harness%%:*} max_len=${harness##*:} log="$ROOT/build/fuzz/$name.log"
    rm -rf "$ROOT/build/fuzz/corpus/$name"
    mkdir -p "$ROOT/build/fuzz/corpus/$name" "$ROOT/build/fuzz/crashes/$name"
    cp "$ROOT/tests/fuzz_corpus/$name/"* "$ROOT/build/fuzz/corpus/$name/"
    if "$ROOT/build/fuzz/$name" "$ROOT/build/fuzz/corpus/$name" -dict="$ROOT/fuzz/$name.dict" \
        -max_len="$max_len" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$ROOT/build/fuzz/crashes/$name/" >"$log" 2>&1; then
      runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
      printf '%-20s %12s executions in %ss, nothing found\n' "$name" "$runs" "$seconds"
    else
      failed=1
      printf '%-20s FOUND A FAULT, see %s\n' "$name" "$log"
      grep -E '^(==[0-9]+==ERROR|SUMMARY|.*check failed|artifact_prefix|Test unit written)' "$log" | head -5 || true
    fi
  done
  return $failed
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
    # The Win32 layer's own tests first; the host run, with the end-to-end
    # tests, closes with the summary.
    (cd "$ROOT/build/win32" && ctest --output-on-failure)
    cd "$ROOT/build/host"
    ctest --output-on-failure -j"$JOBS"
    ;;
  screenshots) build_all; exec "$ROOT/tests/e2e/screenshots.sh" ;;
  fuzz) need_packages clang libclang-rt-14-dev; run_fuzz ;;
  *)
    echo "usage: $0 demo|test|screenshots|fuzz|host|win32" >&2
    exit 2
    ;;
esac
