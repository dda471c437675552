# Shared by scripts/run, scripts/test, scripts/bench and scripts/package: package set-up, the
# incremental build and the test run.
# Source it; it expects to be run from anywhere inside the repository.

QUAVEX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUAVEX_BUILD_DIR=${QUAVEX_BUILD_DIR:-$QUAVEX_ROOT/build}

# What building and running the program needs on Debian 12.
QUAVEX_BUILD_PACKAGES=(
    cmake ninja-build g++ qt6-base-dev libgl-dev
    fonts-liberation2 fonts-dejavu-core fonts-comic-neue
)
# What the test suite needs on top: GoogleTest, and real FAT and exFAT volumes through FUSE.
QUAVEX_TEST_PACKAGES=(
    libgtest-dev dosfstools fusefat exfatprogs exfat-fuse fuse3 strace util-linux
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "quavex: need root (or sudo) to run: $*" >&2
        return 1
    fi
}

# Installs those of the given Debian packages that are missing; does nothing when all are there.
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "quavex: installing ${missing[*]}"
    # Another apt-get at work (a second script, a colleague's build) is waited for, not failed on.
    as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 update -qq &&
        as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
            "${missing[@]}"
}

# Configures a build folder with the given build type and options, an existing folder too (an
# option given now must not be lost to an earlier configure), then builds incrementally.
build_in() {
    local dir=$1 type=$2
    shift 2
    local generator=()
    [ -f "$dir/CMakeCache.txt" ] || generator=(-G Ninja)
    cmake -S "$QUAVEX_ROOT" -B "$dir" "${generator[@]}" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null ||
        return 1
    cmake --build "$dir" --parallel "$(nproc)"
}

build_release() {
    build_in "$QUAVEX_BUILD_DIR" Release -DQUAVEX_SANITIZE=OFF "$@"
}

# Runs the tests of a build folder with ctest and fails when fewer ran than the folder holds
# (none built, a test program that lists nothing), or, with CI=true, when any was skipped.
run_suite() {
    local dir=$1
    shift
    local listed report status=0
    listed=$(ctest --test-dir "$dir" -N "$@" | sed -n 's/^Total Tests: *//p')
    if [ "${listed:-0}" -eq 0 ]; then
        echo "quavex: no tests found in $dir; configure it with -DQUAVEX_BUILD_TESTS=ON" >&2
        return 1
    fi
    report=$(cd "$dir" && pwd)/test-report.xml
    rm -f "$report"
    ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" --output-junit "$report" \
        "$@" || status=$?
    if [ ! -f "$report" ]; then
        echo "quavex: ctest wrote no report of the tests it ran" >&2
        return 1
    fi
    local ran skipped
    ran=$(grep -c '<testcase ' "$report" || true)
    skipped=$(grep -c 'status="notrun"\|status="disabled"' "$report" || true)
    if [ "$ran" -lt "$listed" ]; then
        echo "quavex: only $ran of the $listed tests ran" >&2
        return 1
    fi
    if [ "${CI:-}" = true ] && [ "$skipped" -gt 0 ]; then
        echo "quavex: $skipped tests were skipped; with CI=true every test must run" >&2
        return 1
    fi
    return "$status"
}
