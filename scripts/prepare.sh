# Shared by ./play, ./check, ./bench and ./package: install the Debian packages the build needs, then
# configure and build a CMake folder. Sourced, not run.

# korvan_install PACKAGE...: installs what is missing; as another user than root, prints
# the one apt-get line to run and stops.
korvan_install() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages. Please run, as root:" >&2
        echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building the game and the viewer needs: SDL2 for the window, libcaca and ncurses for the
# terminal.
KORVAN_BUILD_PACKAGES=(g++ cmake make pkg-config libsdl2-dev libcaca-dev libncurses-dev)
# What the tests need besides: GoogleTest, a virtual X server and xdotool for the recorded
# window game, clang with its runtime for the fuzzers, groff and desktop-file-validate for the
# installed manual pages and menu entry, clang-format for the code's one dialect, tmux for the
# games played in a terminal, and the browser build with the chromium its pages are tested in.
KORVAN_TEST_PACKAGES=(libgtest-dev libgmock-dev xvfb xauth xdotool clang libclang-rt-14-dev
                      groff-base desktop-file-utils clang-format tmux emscripten python3 chromium)
# What the benchmarks need besides: Google Benchmark, and the virtual X server the window's
# figure runs the game under.
KORVAN_BENCH_PACKAGES=(libbenchmark-dev xvfb)

# What ./web needs besides: Debian's emscripten, which brings node, binaryen and LLVM's
# WebAssembly back end (nothing is fetched at build time), and Python for serving the site.
KORVAN_WEB_PACKAGES=(emscripten python3)

# korvan_npm DIR: installs the npm packages of package-lock.json into DIR/node_modules, unless
# that lock is installed there already. A node that does not come from Debian brings its own npm
# (and conflicts with Debian's).
korvan_npm() {
    local dir=$1
    command -v npm >/dev/null || korvan_install npm
    if ! cmp -s package-lock.json "$dir/installed.lock"; then
        mkdir -p "$dir"
        cp package.json package-lock.json "$dir/"
        (cd "$dir" && npm ci --no-audit --no-fund --loglevel=error)
        cp package-lock.json "$dir/installed.lock"
    fi
}

# What ./package needs besides: the Debian build flags, dpkg-shlibdeps and the file tool that
# CPack runs it with, and the checks of the menu entry, the AppStream data and the package.
KORVAN_PACKAGE_PACKAGES=(dpkg-dev file desktop-file-utils appstream lintian)

# korvan_build DIR [CMAKE OPTION...]: configures when the folder is new or its options
# changed since the last configuration, then builds incrementally. KORVAN_CONFIGURE runs the
# configuration through a wrapper (emcmake); KORVAN_BUILD_TARGET builds that target alone.
korvan_build() {
    local dir=$1
    shift
    if [ ! -f "$dir/CMakeCache.txt" ] || [ "$(cat "$dir/korvan-options" 2>/dev/null)" != "$*" ]; then
        ${KORVAN_CONFIGURE:-} cmake -S . -B "$dir" "$@"
        echo "$*" >"$dir/korvan-options"
    fi
    cmake --build "$dir" -j "$(nproc)" ${KORVAN_BUILD_TARGET:+--target "$KORVAN_BUILD_TARGET"}
}
