#!/usr/bin/env bash
# Set-up, build, run and test in one place.
#   scripts/veltaro.sh run    install what is missing, build, start the program
#   scripts/veltaro.sh test   install what is missing, build, run every test: the normal build,
#                             the sanitizer build, and a bounded fuzzing run
#                             (VELTARO_QUICK=1 runs the normal build's tests only); after the
#                             normal build's tests it builds the .deb and checks it unpacked
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${VELTARO_BUILD_DIR:-$root/build}

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

packages=(cmake g++ make ccache pkg-config qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6sql6-sqlite
    liburing-dev libgl-dev fonts-dejavu-core)
test_packages=(xvfb xauth xdotool fio clang libclang-rt-14-dev dosfstools fusefat e2fsprogs
    dpkg-dev lintian appstream desktop-file-utils dmsetup)

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
    # Sources compiled with a just-made precompiled header are cached only with these.
    export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

# Starts the unpacked window offscreen from a folder without language files, waits for it to name the
# language file it loaded, and checks the window is still up a moment later. Prints that line.
window_language_line() {
    local tree=$1 cwd=$2; shift 2
    local err=$cwd/window.err pid line=
    (cd "$cwd" && XDG_CONFIG_HOME="$cwd/config" QT_QPA_PLATFORM=offscreen QT_FORCE_STDERR_LOGGING=1 \
        QT_LOGGING_RULES="veltaro.lang.info=true" QT_MESSAGE_PATTERN="%{category}: %{message}" \
        exec "$tree/usr/bin/veltaro" "$@" 2>"$err") &
    pid=$!
    for _ in $(seq 100); do
        line=$(sed -n 's/^veltaro\.lang: //p' "$err" 2>/dev/null | head -n1)
        [ -n "$line" ] && break
        sleep 0.1
    done
    sleep 1
    if ! kill -0 "$pid" 2>/dev/null; then
        cat "$err" >&2
        echo "the unpacked window ended by itself" >&2
        return 1
    fi
    kill "$pid"
    wait "$pid" || true
    rm -f "$err"
    echo "$line"
}

# Builds the .deb, validates it and runs what it holds from a dpkg -x tree with a read-only share folder.
package_check() (
    set -euo pipefail
    echo "== package"
    local version scratch deb tree lang entries line
    version=$(sed -n 's/^project(veltaro VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
    rm -f "$build"/veltaro_*.deb
    (cd "$build" && cpack -G DEB >/dev/null)
    deb=$build/veltaro_${version}_$(dpkg --print-architecture).deb
    scratch=$(mktemp -d)
    trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
    tree=$scratch/tree
    dpkg -x "$deb" "$tree"
    desktop-file-validate "$tree/usr/share/applications/net.tavrin.Veltaro.desktop"
    appstreamcli validate --no-net "$tree/usr/share/metainfo/net.tavrin.Veltaro.metainfo.xml"
    lintian --fail-on error "$deb"
    chmod -R a-w "$tree/usr/share/veltaro"

    mkdir "$scratch/cwd" "$scratch/run"
    [ "$("$tree/usr/bin/veltaro-cli" --version)" = "veltaro-cli $version" ]
    # English lines prove the runner found the installed english.lng; the built-in messages are German.
    (cd "$scratch/cwd" && "$tree/usr/bin/veltaro-cli" -n 2 -s 1 --no-history --lang english.lng "$scratch/run") >"$scratch/cli.out"
    grep -q '^Result:' "$scratch/cli.out" && grep -q 'MB/s' "$scratch/cli.out"
    [ -z "$(ls -A "$scratch/run")" ]

    lang=$tree/usr/share/veltaro/lang/deutsch.lng
    entries=$(grep -aE '^ *[0-9]+ *=' "$lang" | cut -d= -f1 | tr -d ' ' | sort -u | wc -l)
    line=$(window_language_line "$tree" "$scratch/cwd")
    echo "$line"
    [ "$line" = "language file $lang: $entries entries" ]
    line=$(window_language_line "$tree" "$scratch/cwd" lang= nowhere.lng)
    echo "$line"
    [ "$line" = "language file $scratch/cwd/nowhere.lng: 0 entries, read with errors" ]
    echo "package $(basename "$deb") checked"
)

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
    package_check
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
