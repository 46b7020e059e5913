#!/usr/bin/env bash
# One entry point for everything: ./build.sh demo | test | screenshots | fuzz | lint | host | win32
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
JOBS=${JOBS:-2}

# Debian packages every target needs, and those a target adds as arguments;
# installed when missing and run as root.
need_packages() {
  install_packages cmake g++ make libgtest-dev \
    g++-mingw-w64-i686-win32 mingw-w64-i686-dev binutils-mingw-w64-i686 \
    xvfb xauth x11-utils imagemagick fonts-dejavu-core fonts-dejavu-extra fonts-liberation \
    fonts-urw-base35 python3-fonttools openssl osslsigncode time clang-tidy "$@"
  # Wine runs the tests of the stub only. Where its 32-bit half can't be
  # installed (a package mirror caught mid-sync), everything else still
  # builds and is tested, and the Wine tests say they were skipped.
  (install_packages wine wine32:i386 fonts-wine) ||
    echo "WARNING: Wine could not be installed: the tests under Wine will be skipped" >&2
  # A kernel that runs no 32-bit programs runs no 32-bit Wine: the tests then
  # run a 64-bit build under 64-bit Wine (tests/wine64).
  runs_32bit_programs || install_packages wine64 fonts-wine \
    g++-mingw-w64-x86-64-win32 mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
}

runs_32bit_programs() { /lib/ld-linux.so.2 --version >/dev/null 2>&1; }

install_packages() {
  local missing=()
  for p in "$@"; do
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
  # A mirror caught mid-sync fails one index; the others may still hold every
  # package needed, and the install below says when they don't.
  apt-get update -qq || echo "apt-get update failed in part; installing from what it fetched" >&2
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

# clang-tidy over the product's sources, as .clang-tidy sets it: the core and
# the tools with the host build, the Win32 layer with the build for Windows
# (its C++ headers named, which clang doesn't find by itself). Any finding fails.
run_lint() {
  local cxx log=$ROOT/build/lint.log
  cxx=$(i686-w64-mingw32-g++ -print-file-name=include)/c++
  cmake -S "$ROOT" -B "$ROOT/build/host" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
  cmake -S "$ROOT" -B "$ROOT/build/win32" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
  { run-clang-tidy -p "$ROOT/build/host" -quiet "$ROOT/(base|package|shellfolders|fonts|shell|tools)/" &&
    run-clang-tidy -p "$ROOT/build/win32" -quiet -extra-arg=--target=i686-w64-mingw32 \
      -extra-arg=-isystem"$cxx" -extra-arg=-isystem"$cxx/i686-w64-mingw32" "$ROOT/win32/"
  } >"$log" 2>&1 || { grep -E '(error|warning): ' "$log" | sort -u; echo "clang-tidy: findings, see $log"; return 1; }
  echo "clang-tidy: no findings"
}

# The same sources for 64-bit Windows, never shipped, and a package tool that
# carries that stub: the tests under Wine run these where 32-bit Wine can't.
build_win64() {
  cmake -S "$ROOT" -B "$ROOT/build/win64" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" >/dev/null
  cmake --build "$ROOT/build/win64" -j"$JOBS"
  cmake -S "$ROOT" -B "$ROOT/build/host64" -DCMAKE_BUILD_TYPE=Release \
    -DSORVELA_STUB="$ROOT/build/win64/sorvela.exe" -DE2E_WIN32_DIR="$ROOT/build/win64" \
    -DE2E_WINE64=ON >/dev/null
  cmake --build "$ROOT/build/host64" -j"$JOBS" --target sorvela-pack
}

# What the scripts under Wine run: the shipped build, or where 32-bit Wine
# can't run, the 64-bit one.
wine_builds() {
  runs_32bit_programs && return 0
  build_win64
  export SORVELA_WINE64=1 E2E_STUB=$ROOT/build/win64/sorvela.exe \
    E2E_DRIVER=$ROOT/build/win64/e2e-driver.exe E2E_PACK_WIN=$ROOT/build/win64/sorvela-pack.exe \
    E2E_STATE=$ROOT/build/e2e64
}

build_all() {
  need_packages
  build_win32
  build_host
}

case "${1:-}" in
  host) need_packages; build_host ;;
  win32) need_packages; build_win32 ;;
  demo) build_all; wine_builds; exec "$ROOT/tests/e2e/demo.sh" ;;
  test)
    build_all
    # The Win32 layer's own tests first; the host run, with the end-to-end
    # tests, closes with the summary.
    (cd "$ROOT/build/win32" && ctest --output-on-failure)
    if runs_32bit_programs; then
      (cd "$ROOT/build/host" && ctest --output-on-failure -j"$JOBS")
    else
      # The host build's own tests; those under Wine skip themselves there
      # and run against the 64-bit build instead.
      (cd "$ROOT/build/host" && ctest --output-on-failure -j"$JOBS" -LE e2e -E e2e_setup)
      echo "This kernel runs no 32-bit programs: the tests under Wine run a 64-bit build" \
        "of the same sources under 64-bit Wine."
      build_win64
      (cd "$ROOT/build/win64" && ctest --output-on-failure)
      (cd "$ROOT/build/host64" && ctest --output-on-failure -j"$JOBS" -L e2e)
    fi
    run_lint
    command -v wine >/dev/null ||
      echo "WARNING: Wine is not installed: the tests under Wine were skipped" >&2
    ;;
  lint) build_all; run_lint ;;
  screenshots) build_all; wine_builds; exec "$ROOT/tests/e2e/screenshots.sh" ;;
  fuzz) need_packages clang libclang-rt-14-dev; run_fuzz ;;
  *)
    echo "usage: $0 demo|test|screenshots|fuzz|lint|host|win32" >&2
    exit 2
    ;;
esac
