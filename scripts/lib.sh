# Shared by scripts/run, scripts/test and scripts/bench: package set-up and the incremental build.
# Source it; it expects to be run from anywhere inside the repository.

QUAVEX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUAVEX_BUILD_DIR=${QUAVEX_BUILD_DIR:-$QUAVEX_ROOT/build}

# What building and running the program needs on Debian 12.
QUAVEX_BUILD_PACKAGES=(
    cmake ninja-build g++ qt6-base-dev libgl-dev
    fonts-liberation2 fonts-dejavu-core fonts-comic-neue
)
# What the test suite needs on top: GoogleTest, and real FAT volumes through FUSE.
QUAVEX_TEST_PACKAGES=(
    libgtest-dev dosfstools fusefat fuse3 strace util-linux
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
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

# Configures once, then builds incrementally.
build_release() {
    if [ ! -f "$QUAVEX_BUILD_DIR/CMakeCache.txt" ]; then
        cmake -S "$QUAVEX_ROOT" -B "$QUAVEX_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" ||
            return 1
    fi
    cmake --build "$QUAVEX_BUILD_DIR" --parallel "$(nproc)"
}
