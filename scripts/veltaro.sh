#!/usr/bin/env bash
# Set-up, build, run and test in one place.
#   scripts/veltaro.sh run    install what is missing, build, start the program
#   scripts/veltaro.sh test   install what is missing, build, run every test: the normal build,
#                             the sanitizer build, and a bounded fuzzing run
#                             (VELTARO_QUICK=1 runs the normal build's tests only)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${VELTARO_BUILD_DIR:-$root/build}

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

packages=(cmake g++ make ccache qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6sql6-sqlite libgl-dev
    fonts-dejavu-core)
test_packages=(xvfb xauth xdotool fio clang libclang-rt-14-dev dosfstools fusefat e2fsprogs)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        "${sudo_cmd[@]}" apt-get update -qq
        DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
    fi
}

build() {
    local dir=$1; shift
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

case "${1:-}" in
run)
    install_missing "${packages[@]}"
    build "$build"
    cd "$build/bin"
    exec ./veltaro "${@:2}"
    ;;
test)
    install_missing "${packages[@]}" "${test_packages[@]}"
    build "$build"
    (cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")
    [ "${VELTARO_QUICK:-0}" = 1 ] && exit 0
    echo "== sanitizer build (address, undefined, leaks)"
    build "$build-asan" -DVELTARO_SANITIZE=ON
    (cd "$build-asan" && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")
    echo "== fuzzing"
    VELTARO_FUZZ_BUILD_DIR="$build-fuzz" bash scripts/fuzz.sh "${VELTARO_FUZZ_SECONDS:-20}"
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
