#!/usr/bin/env bash
# Sets up what is missing, builds PVDLL and then runs the host demo
# ("demo", the default), the whole test suite ("test") or the benchmark
# ("bench").
#   bash build.sh demo [pvhost arguments...]
#   bash build.sh test [ctest arguments...]
#   bash build.sh bench [--quick]
set -euo pipefail
cd "$(dirname "$0")"

what=${1:-demo}
[ $# -gt 0 ] && shift

packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 fonts-wine
          libz-mingw-w64-dev cmake ninja-build googletest util-linux)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "build.sh: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build=build
if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
          -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build"

case "$what" in
    demo) exec "$build/wine-run" "$build/bin/pvhost.exe" "$@" ;;
    test) exec ctest --test-dir "$build" --output-on-failure -j2 "$@" ;;
    bench) exec "$build/wine-run" "$build/bin/pvbench.exe" "$@" ;;
    *) echo "usage: bash build.sh [demo|test|bench]" >&2; exit 2 ;;
esac
