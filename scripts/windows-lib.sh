# shellcheck shell=bash
# Shared by scripts/windows and scripts/test --windows: what the Windows build needs from Debian,
# the cross-built Qt it links, and the Wine set-up its programs run in. Source it after lib.sh.

QUAVEX_WINDOWS_BUILD_DIR=${QUAVEX_WINDOWS_BUILD_DIR:-$QUAVEX_ROOT/build-windows}
QUAVEX_MINGW_TOOLCHAIN=$QUAVEX_ROOT/cmake/MingwToolchain.cmake
QUAVEX_MINGW_TRIPLET=x86_64-w64-mingw32

# The cross compilers, Qt's host tools (moc, rcc, uic run on Linux while building for Windows),
# what unpacks Debian's Qt source, GoogleTest's source (built for Windows with the tests), Wine to
# run and test the program, NSIS for the installer.
QUAVEX_WINDOWS_PACKAGES=(
    cmake ninja-build perl dpkg-dev xz-utils
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    mingw-w64-x86-64-dev qt6-base-dev qt6-base-dev-tools googletest
    wine wine64 nsis fonts-liberation2 fonts-comic-neue fonts-dejavu-core
)

# The Windows Qt is built from the source of the same Debian version as the host tools, which
# must match it.
quavex_qt_version() {
    dpkg-query -W -f='${Version}' qt6-base-dev-tools
}

# A minimal Qt for the program: Core, Gui, Widgets, Concurrent; the windows and offscreen
# platform plugins.
QUAVEX_QT_CONFIGURE=(
    -G Ninja
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_xml=OFF -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_vulkan=OFF
    # OpenGL off entirely: with FEATURE_opengl alone, dynamic GL stays on and the windows plugin
    # does not compile.
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_opengl_dynamic=OFF -DFEATURE_dynamicgl=OFF
    # Debian's source leaves out the tablet headers (src/3rdparty/wintab).
    -DFEATURE_tabletevent=OFF
    # Debian's cross-build patch would build androiddeployqt.
    -DFEATURE_androiddeployqt=OFF
    -DFEATURE_zstd=OFF
    # Without direct2d Gui omits the DirectWrite font database that the windows plugin needs; the
    # separate direct2d plugin (1.1) is not wanted.
    -DFEATURE_direct2d=ON -DFEATURE_direct2d1_1=OFF
    # The bundled copies: Debian has no MinGW builds of these.
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF -DFEATURE_system_textmarkdownreader=OFF
)

QUAVEX_CACHE_DIR=${XDG_CACHE_HOME:-$HOME/.cache}/quavex

# Where the Windows Qt of this version and these options is (or will be) installed: a new folder
# whenever either changes, so a stale build is never reused.
quavex_qt_prefix() {
    local hash
    hash=$({
        quavex_qt_version
        printf '%s\n' "${QUAVEX_QT_CONFIGURE[@]}"
        grep -v '^#' "$QUAVEX_MINGW_TOOLCHAIN"
    } | sha256sum | cut -c1-12)
    echo "$QUAVEX_CACHE_DIR/qt-mingw-$(quavex_qt_version | sed 's/[^A-Za-z0-9.]/_/g')-$hash"
}

# apt-get source needs a deb-src entry; the one added mirrors the Debian archive already in use.
ensure_deb_src() {
    local pkg=$1
    apt-get source --print-uris "$pkg" >/dev/null 2>&1 && return 0
    local mirror
    # Some of the files named may be missing: what grep finds in the others counts.
    mirror=$({ cat /etc/apt/sources.list /etc/apt/sources.list.d/*.sources \
        /etc/apt/sources.list.d/*.list 2>/dev/null || true; } | grep -E '^(URIs:|deb )' |
        grep -o -E 'https?://[^ ]+/debian/?( |$)' | head -n 1 | tr -d ' ' || true)
    if [ -z "$mirror" ]; then
        echo "quavex: no Debian archive among the apt sources to fetch Qt's source from" >&2
        return 1
    fi
    local codename
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n' \
        "$mirror" "$codename" /usr/share/keyrings/debian-archive-keyring.gpg |
        as_root tee /etc/apt/sources.list.d/quavex-deb-src.sources >/dev/null
    as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 update -qq
}

qt_build_failed() {
    tail -n 40 "$1/build.log" >&2
    echo "quavex: the Windows Qt did not build; see $1/build.log" >&2
    exit 1
}

# Builds the Windows Qt into quavex_qt_prefix unless it is there, finished. The source and the
# build folder live beside it in the cache; the build folder goes once Qt is installed.
ensure_qt_mingw() {
    local prefix work version
    prefix=$(quavex_qt_prefix)
    [ -f "$prefix/.complete" ] && return 0
    version=$(quavex_qt_version)
    work=$QUAVEX_CACHE_DIR/qt-mingw-work
    mkdir -p "$work"
    (
        # One build at a time; a second caller waits, then finds it done.
        flock 9
        [ -f "$prefix/.complete" ] && exit 0
        cd "$work" || exit 1
        local src=$work/qt6-base-$version
        if [ ! -f "$src/.unpacked" ]; then
            ensure_deb_src "qt6-base=$version"
            apt-get source --download-only "qt6-base=$version" >/dev/null
            rm -rf "$src"
            dpkg-source -x qt6-base_"${version#*:}".dsc "$src" >/dev/null
            touch "$src/.unpacked"
        fi
        # A build that was interrupted goes on where it stopped, as long as it is of this
        # version with these options.
        local build=$work/build
        if [ "$(cat "$build/.configured" 2>/dev/null)" != "$(basename "$prefix")" ]; then
            rm -rf "$build"
            nice -n 10 cmake -S "$src" -B "$build" "${QUAVEX_QT_CONFIGURE[@]}" \
                -DCMAKE_TOOLCHAIN_FILE="$QUAVEX_MINGW_TOOLCHAIN" -DCMAKE_INSTALL_PREFIX="$prefix" \
                >"$work/build.log" 2>&1 || qt_build_failed "$work"
            basename "$prefix" >"$build/.configured"
        fi
        echo "quavex: building Qt $version for Windows into $prefix (about 15 minutes on two cores;" \
            "log in $work/build.log)"
        nice -n 10 cmake --build "$build" --parallel "$(nproc)" >>"$work/build.log" 2>&1 ||
            qt_build_failed "$work"
        rm -rf "$prefix"
        cmake --install "$build" --strip >>"$work/build.log" 2>&1 || qt_build_failed "$work"
        touch "$prefix/.complete"
        rm -rf "$build"
    ) 9>"$work/.lock"
}

# Configures build-windows/ against the Windows Qt and builds it; further arguments are CMake
# options. Qt's own toolchain file adds its prefix to the places searched under the MinGW
# sysroot, then loads ours.
build_windows() {
    local prefix
    prefix=$(quavex_qt_prefix)
    local generator=()
    [ -f "$QUAVEX_WINDOWS_BUILD_DIR/CMakeCache.txt" ] || generator=(-G Ninja)
    cmake -S "$QUAVEX_ROOT" -B "$QUAVEX_WINDOWS_BUILD_DIR" "${generator[@]}" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$QUAVEX_MINGW_TOOLCHAIN" -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DQUAVEX_SANITIZE=OFF \
        -DQUAVEX_BUILD_BENCH=OFF "$@" >/dev/null || return 1
    cmake --build "$QUAVEX_WINDOWS_BUILD_DIR" --parallel "$(nproc)"
}

# A Windows path for Wine's Z: drive, which is the Linux root.
wine_path_of() {
    printf 'Z:%s' "${1//\//\\}"
}

# The environment Wine runs the program and its tests in: a prefix of our own (made on first
# use), quiet, and the Qt and MinGW run-time DLLs on the search path. Wine passes no QT_*
# variable to a program, hence WINEQT_*.
use_wine_prefix() {
    export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    local gcc_dlls
    gcc_dlls=$(dirname "$("/usr/bin/$QUAVEX_MINGW_TRIPLET-g++-posix" -print-libgcc-file-name)")
    WINEPATH="$(wine_path_of "$(quavex_qt_prefix)/bin");$(wine_path_of "$gcc_dlls")"
    WINEPATH+=";$(wine_path_of "/usr/$QUAVEX_MINGW_TRIPLET/lib")"
    export WINEPATH
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wine wineboot -i >/dev/null 2>&1
        wineserver -w
    fi
}

# The DLLs a Windows program or library loads that come with the Windows Qt or MinGW, found
# again in what those load; Windows' own DLLs are not among them.
windows_dll_dependencies() {
    local -a search=("$(quavex_qt_prefix)/bin"
        "$(dirname "$("/usr/bin/$QUAVEX_MINGW_TRIPLET-g++-posix" -print-libgcc-file-name)")"
        "/usr/$QUAVEX_MINGW_TRIPLET/lib")
    local -A seen=()
    local -a queue=("$@")
    while [ ${#queue[@]} -gt 0 ]; do
        local file=${queue[0]}
        queue=("${queue[@]:1}")
        local name
        while read -r name; do
            local folder found=
            for folder in "${search[@]}"; do
                found=$(find "$folder" -maxdepth 1 -iname "$name" -print -quit)
                [ -n "$found" ] && break
            done
            if [ -n "$found" ] && [ -z "${seen[$found]:-}" ]; then
                seen[$found]=1
                queue+=("$found")
            fi
        done < <("/usr/bin/$QUAVEX_MINGW_TRIPLET-objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p')
    done
    printf '%s\n' "${!seen[@]}" | sort
}

# build-windows/QUAVEX-<version>-setup.exe: the program, the Qt and MinGW DLLs it loads, the
# windows platform plugin, the native style and the JPEG reader (the About box's logo), the
# manual, and the faces that stand in where Windows lacks the designed ones (Liberation Sans,
# Comic Neue, DejaVu Sans) with their licences; every DLL and program stripped.
make_installer() {
    local build=$QUAVEX_WINDOWS_BUILD_DIR
    local stage=$build/installer files=$build/installer/files
    local version qt
    version=$(sed -n 's/^ *VERSION \([0-9.]*\)$/\1/p' "$QUAVEX_ROOT/CMakeLists.txt")
    qt=$(quavex_qt_prefix)
    rm -rf "$stage"
    mkdir -p "$files/platforms" "$files/styles" "$files/imageformats" "$files/fonts"
    cp "$build/quavex.exe" "$build/quavex-cli.exe" "$QUAVEX_ROOT/dist/QUAVEX.html" "$files/"
    cp "$qt/plugins/platforms/qwindows.dll" "$files/platforms/"
    cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$files/styles/"
    cp "$qt/plugins/imageformats/qjpeg.dll" "$files/imageformats/"
    local dll
    while read -r dll; do
        cp "$dll" "$files/"
    done < <(windows_dll_dependencies "$files/quavex.exe" "$files/platforms/qwindows.dll" \
        "$files/styles/qwindowsvistastyle.dll" "$files/imageformats/qjpeg.dll")
    find "$files" \( -iname '*.dll' -o -iname '*.exe' \) \
        -exec "/usr/bin/$QUAVEX_MINGW_TRIPLET-strip" --strip-unneeded {} +
    cp /usr/share/fonts/truetype/liberation2/LiberationSans-{Regular,Bold}.ttf \
        /usr/share/fonts/opentype/comic-neue/ComicNeue-{Regular,Bold}.otf \
        /usr/share/fonts/truetype/dejavu/DejaVuSans{,-Bold}.ttf "$files/fonts/"
    cp /usr/share/doc/fonts-liberation2/copyright "$files/fonts/Liberation-LICENSE.txt"
    cp /usr/share/doc/fonts-comic-neue/copyright "$files/fonts/ComicNeue-LICENSE.txt"
    cp /usr/share/doc/fonts-dejavu-core/copyright "$files/fonts/DejaVu-LICENSE.txt"
    local setup=$build/QUAVEX-$version-setup.exe
    make_setup "$stage" "$version" "$setup"
    echo "$setup"
}

# Makes the installer <setup> of the files in <stage>/files, as version <version>; more makensis
# options may follow.
make_setup() {
    local stage=$1 version=$2 setup=$3 files=$1/files company
    shift 3
    company=$(sed -n 's/^set(QUAVEX_COMPANY "\(.*\)")$/\1/p' "$QUAVEX_ROOT/CMakeLists.txt")
    {
        echo '!macro InstallFiles'
        (cd "$files" && find . -type d | sort) | while read -r folder; do
            local native=${folder#.}
            echo "  SetOutPath \"\$INSTDIR${native//\//\\}\""
            (cd "$files/$folder" && find . -maxdepth 1 -type f | sort) | while read -r file; do
                echo "  File \"$files/${folder#./}/${file#./}\""
            done
        done
        echo '!macroend'
        echo '!macro RemoveFiles'
        (cd "$files" && find . -type f | sort) | while read -r file; do
            local native=${file#.}
            echo "  Delete \"\$INSTDIR${native//\//\\}\""
        done
        (cd "$files" && find . -mindepth 1 -type d | sort -r) | while read -r folder; do
            local native=${folder#.}
            echo "  RMDir \"\$INSTDIR${native//\//\\}\""
        done
        echo '!macroend'
    } >"$stage/files.nsh"
    makensis -V2 "$@" -DVERSION="$version" -DCOMPANY="$company" -DSTAGE="$stage" \
        -DOUTFILE="$setup" "$QUAVEX_ROOT/dist/windows/QUAVEX.nsi" >/dev/null
}

# Installs the installer silently into a fresh Wine prefix, checks what it put in place, then
# uninstalls it silently and checks that the user's settings stayed; a problem fails.
check_installer() {
    local setup=$1 prefix
    prefix=$(mktemp -d "${TMPDIR:-/tmp}/quavex-install-XXXXXX")
    (
        trap 'wineserver -k 2>/dev/null || true; rm -rf "$prefix"' EXIT
        use_wine_prefix "$prefix"
        unset WINEPATH
        wine "$setup" /S && wineserver -w
        local program="$WINEPREFIX/drive_c/Program Files/QUAVEX" problems=0 path
        local menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/QUAVEX"
        for path in "$program/quavex.exe" "$program/quavex-cli.exe" "$program/Qt6Core.dll" "$program/Qt6Widgets.dll" \
            "$program/platforms/qwindows.dll" "$program/QUAVEX.html" \
            "$program/fonts/LiberationSans-Regular.ttf" "$program/Uninstall.exe" \
            "$menu/QUAVEX.lnk"; do
            [ -f "$path" ] || {
                echo "quavex: the installer did not put $path in place" >&2
                problems=1
            }
        done
        wine reg add 'HKCU\Software\QUAVEX\Settings' /v MvWarn /d 1 /f >/dev/null
        # The uninstaller goes on in a copy of itself; wineserver -w waits for that one too.
        wine "$program/Uninstall.exe" /S && wineserver -w
        [ ! -e "$program/quavex.exe" ] && [ ! -e "$menu" ] || {
            echo "quavex: the uninstaller left the program in place" >&2
            problems=1
        }
        wine reg query 'HKCU\Software\QUAVEX\Settings' /v MvWarn >/dev/null 2>&1 || {
            echo "quavex: the uninstaller removed the user's settings" >&2
            problems=1
        }
        [ "$problems" -eq 0 ]
    )
}

# An upgrade: an earlier version that shipped one more file, installed into another folder than
# the default, is replaced in that folder by the new one, and the file it alone shipped is gone.
check_upgrade() {
    local setup=$1 work
    work=$(mktemp -d "${TMPDIR:-/tmp}/quavex-upgrade-XXXXXX")
    (
        trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
        cp -r "$QUAVEX_WINDOWS_BUILD_DIR/installer" "$work/old"
        echo 'a file of the earlier version only' >"$work/old/files/obsolete.txt"
        # Speed counts here, not size.
        make_setup "$work/old" 0.9.0 "$work/old-setup.exe" '-XSetCompressor /FINAL zlib'
        use_wine_prefix "$work/prefix"
        unset WINEPATH
        wine "$work/old-setup.exe" /S '/D=C:\Apps\QUAVEX' && wineserver -w
        local apps=$WINEPREFIX/drive_c/Apps/QUAVEX problems=0
        [ -f "$apps/obsolete.txt" ] || {
            echo "quavex: the earlier version was not installed into C:\\Apps\\QUAVEX" >&2
            return 1
        }
        wine "$setup" /S && wineserver -w
        [ -f "$apps/quavex.exe" ] && [ -f "$apps/Uninstall.exe" ] || {
            echo "quavex: the upgrade did not go where the last install went" >&2
            problems=1
        }
        [ ! -e "$apps/obsolete.txt" ] || {
            echo "quavex: the upgrade left a file the new version does not ship" >&2
            problems=1
        }
        [ ! -e "$WINEPREFIX/drive_c/Program Files/QUAVEX" ] || {
            echo "quavex: the upgrade installed into the default folder as well" >&2
            problems=1
        }
        [ "$problems" -eq 0 ]
    )
}

# The installed program's whole run, driven through its window as a user would, on Xvfb: installed
# silently into a fresh prefix, music in C:\music, the player an exFAT card as D:\ holding old
# songs, the settings in the registry with the warning option ticked. While the program runs, the
# installer refuses. A first run is killed soon after Select, then a whole run is made: the card is
# filled, the songs it held before are in the music folder, every file's bytes are there exactly
# once, and the root of C: holds nothing of ours (the holding folder only while a run is stopped
# or killed). Last, Break clicked during a fill onto another card stops it.
check_installed_run() {
    local setup=$1 work
    if [ "$(id -u)" -ne 0 ]; then
        echo "quavex: not root: the installed program's run onto an exFAT card is skipped" \
            "(with CI=true it fails)" >&2
        [ "${CI:-}" != true ]
        return
    fi
    work=$(mktemp -d "${TMPDIR:-/tmp}/quavex-run-XXXXXX")
    (
        local card=$work/card loop='' card2=$work/card2 loop2='' display=''
        cleanup() {
            wineserver -k 2>/dev/null || true
            [ -z "$display" ] || kill "$display" 2>/dev/null || true
            umount "$card" "$card2" 2>/dev/null || true
            [ -z "$loop" ] || losetup -d "$loop" 2>/dev/null || true
            [ -z "$loop2" ] || losetup -d "$loop2" 2>/dev/null || true
            rm -rf "$work"
        }
        trap cleanup EXIT
        use_wine_prefix "$work/prefix"
        unset WINEPATH
        wine "$setup" /S && wineserver -w
        local c=$WINEPREFIX/drive_c i
        ls -A "$c" | sort >"$work/root-before"
        mkdir -p "$card" "$c/music"
        truncate -s 16M "$work/card.img"
        mkfs.exfat -L PLAYER "$work/card.img" >/dev/null
        loop=$(losetup --find --show "$work/card.img")
        mount.exfat-fuse "$loop" "$card"
        ln -s "$card" "$WINEPREFIX/dosdevices/d:"
        # More music than the card holds, and three old songs on it.
        for i in $(seq 1 100); do head -c 400000 /dev/urandom >"$c/music/Song $i.mp3"; done
        for i in 1 2 3; do head -c 300000 /dev/urandom >"$card/Old $i.mp3"; done
        # Every file's bytes in the two folders, wherever they are, hidden ones included. The
        # player's record of where its songs came from is the program's, not a song.
        census() {
            find "$c/music" "$card" -type f ! -name QUAVEX.origins -exec sha256sum {} + |
                cut -c1-64 | sort
        }
        census >"$work/census-before"
        local key='HKCU\Software\QUAVEX\Settings' name value
        while read -r name value; do
            wine reg add "$key" /v "$name" /d "$value" /f >/dev/null
        done <<'SETTINGS'
drvIp C:\
dirIp C:\music
drvOp1 D:\
dirOp1 D:\
MvWarn 1
SETTINGS
        local number=90
        while [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ]; do
            number=$((number + 1))
        done
        Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        display=$!
        export DISPLAY=":$number"
        local waited=0
        until [ -e "/tmp/.X11-unix/X$number" ]; do
            sleep 1
            waited=$((waited + 1))
            [ "$waited" -lt 30 ] || { echo "quavex: Xvfb did not start" >&2; return 1; }
        done
        local program window
        start_program() {
            wine 'C:\Program Files\QUAVEX\quavex.exe' >/dev/null 2>&1 &
            program=$!
            window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tunequill, Vers' |
                head -n 1)
            [ -n "$window" ] || { echo "quavex: the installed program showed no window" >&2; return 1; }
        }
        # The window's controls, in pixels from its top left corner (Form1.cpp's twips / 15).
        click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.5; }
        tick_and_select() { click 464 153; click 548 428; }

        start_program
        local status=0
        wine "$setup" /S || status=$?
        [ "$status" -eq 2 ] || { echo "quavex: the installer did not refuse while QUAVEX ran" >&2; return 1; }
        tick_and_select
        kill -9 "$(xdotool getwindowpid "$window")" "$program" 2>/dev/null || true
        wait "$program" 2>/dev/null || true
        local ours
        ours=$(ls -A "$c" | sort | comm -13 "$work/root-before" - | grep -v -x -e music -e QUAVEXTemp || true)
        [ -z "$ours" ] || { echo "quavex: a killed run left in C:\\: $ours" >&2; return 1; }

        # The songs on the card now, whatever the killed run did, are the whole run's old songs.
        local old=()
        mapfile -t old < <(ls "$card" | grep -vx QUAVEX.origins)
        returned() {
            local song
            for song in "${old[@]}"; do
                [ -f "$c/music/$song" ] || return 1
            done
        }
        start_program
        tick_and_select
        waited=0
        until [ ! -e "$c/QUAVEXTemp" ] && returned; do
            sleep 1
            waited=$((waited + 1))
            [ "$waited" -lt 120 ] || { echo "quavex: the installed program's run did not end" >&2; return 1; }
        done
        click 688 428
        timeout 30 tail --pid="$program" -f /dev/null || { echo "quavex: EXIT did not end the program" >&2; return 1; }

        # The same rotation from cmd.exe: the console program is waited for, prints the run's
        # lines and ends with the run's status. A dry run first lists the songs it would draw
        # and leaves every file where it is.
        from_cmd() {
            printf '%s\r\n' "@\"C:\\Program Files\\QUAVEX\\quavex-cli.exe\" --rotate $1 --music C:\\music --card D:\\" \
                '@echo status=%ERRORLEVEL%' >"$c/windows/temp/rotate.cmd"
            wine cmd /c 'C:\windows\temp\rotate.cmd' 2>/dev/null </dev/null | tr -d '\r'
            rm -f "$c/windows/temp/rotate.cmd"
        }
        places() { find "$c/music" "$card" -type f | sort; }
        local said places_before problems=0
        places_before=$(places)
        said=$(from_cmd --dry-run)
        grep -qx 'Dry run: nothing has been moved.' <<<"$said" && grep -qx 'status=0' <<<"$said" &&
            grep -q '^From the music folder C:\\music to the player.s card D:\\: [1-9]' <<<"$said" &&
            [ "$(places)" = "$places_before" ] || {
            echo "quavex: quavex-cli.exe --rotate --dry-run did not list a run and leave every file; it said: $said" >&2
            problems=1
        }
        said=$(from_cmd --yes)
        grep -qx 'Program processing complete' <<<"$said" && grep -qx 'status=0' <<<"$said" || {
            echo "quavex: quavex-cli.exe --rotate from cmd did not run whole; it said: $said" >&2
            problems=1
        }
        [ "$(census)" = "$(cat "$work/census-before")" ] || {
            echo "quavex: the run did not keep every file exactly once" >&2
            problems=1
        }
        # Filled: the fill stopped at the card with music of the folder's own left to draw from,
        # more than the card's old songs that went back after it.
        local on_card in_music
        on_card=$(ls "$card" | grep -c mp3 || true)
        in_music=$(ls "$c/music" | grep -c mp3 || true)
        [ "$on_card" -gt 10 ] && [ "$in_music" -gt "${#old[@]}" ] || {
            echo "quavex: the card was not filled: $on_card songs on it, $in_music in C:\\music" >&2
            problems=1
        }
        ours=$(ls -A "$c" | sort | comm -13 "$work/root-before" - | grep -v -x music || true)
        [ -z "$ours" ] || { echo "quavex: the run left in C:\\: $ours" >&2; problems=1; }
        # Break, clicked while a card fills, stops the run at its next yield: the fill ends early
        # and the card's songs of before stay in the holding folder. Songs of 1 MB, each move a
        # few milliseconds long, onto a card of 256 MiB as E: keep the fill going for seconds.
        truncate -s 256M "$work/card2.img"
        mkfs.exfat -L PLAYER2 "$work/card2.img" >/dev/null
        loop2=$(losetup --find --show "$work/card2.img")
        mkdir -p "$card2"
        mount.exfat-fuse "$loop2" "$card2"
        ln -s "$card2" "$WINEPREFIX/dosdevices/e:"
        for i in 1 2 3; do head -c 300000 /dev/urandom >"$card2/Old $i.mp3"; done
        local songs=$c/songs
        mkdir -p "$songs"
        for i in $(seq 1 300); do head -c 1000000 /dev/urandom >"$songs/Song $i.mp3"; done
        while read -r name value; do
            wine reg add "$key" /v "$name" /d "$value" /f >/dev/null
        done <<'SETTINGS'
dirIp C:\songs
drvOp1 E:\
dirOp1 E:\
SETTINGS
        # The holding folder is there only while a run is stopped.
        break_census() {
            local folder
            for folder in "$songs" "$card2" "$c/QUAVEXTemp"; do
                [ ! -d "$folder" ] ||
                    find "$folder" -type f ! -name QUAVEX.origins -exec sha256sum {} +
            done | cut -c1-64 | sort
        }
        break_census >"$work/census-break"
        start_program
        tick_and_select
        waited=0
        until compgen -G "$card2/Song *" >/dev/null; do
            sleep 0.1
            waited=$((waited + 1))
            [ "$waited" -lt 600 ] || { echo "quavex: the fill did not begin" >&2; return 1; }
        done
        click 496 484
        click 688 428
        timeout 30 tail --pid="$program" -f /dev/null || {
            echo "quavex: EXIT after Break did not end the program" >&2
            return 1
        }
        local held free
        held=$({ compgen -G "$c/QUAVEXTemp/Old *" || true; } | wc -l)
        [ "$held" -eq 3 ] || {
            echo "quavex: after Break, $held of the card's 3 songs of before are held" >&2
            problems=1
        }
        free=$(df -B1 --output=avail "$card2" | tail -n 1)
        [ "$free" -gt 2000000 ] || { echo "quavex: Break did not stop the fill" >&2; problems=1; }
        [ "$(break_census)" = "$(cat "$work/census-break")" ] || {
            echo "quavex: the run stopped by Break did not keep every file exactly once" >&2
            problems=1
        }
        [ "$problems" -eq 0 ]
    )
}
