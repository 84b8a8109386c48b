#!/usr/bin/env bash
# Installs everything the build and the tests need on a bare Debian machine and builds the
# third-party libraries for the Windows targets under build/deps/. Safe to run again: every
# step checks whether its work is already done.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
deps="$top/build/deps"
mkdir -p "$deps"

packages=(
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
    gcc-mingw-w64-x86-64-posix gcc-mingw-w64-i686-posix
    libz-mingw-w64-dev zlib1g-dev
    wine wine64 xvfb xauth x11-apps imagemagick fonts-wqy-microhei
    wixl msitools osslsigncode openssl
    googletest libgtest-dev clang cmake ninja-build make
    zip unzip dpkg-dev file bc python3 libexpat1-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# The expat source package needs a deb-src entry for the archive the machine already uses.
add_deb_src() {
    local list=/etc/apt/sources.list.d/zor-deb-src.sources
    [ -f "$list" ] && return 0
    local uris="http://deb.debian.org/debian" suites="bookworm bookworm-updates"
    local src=/etc/apt/sources.list.d/debian.sources
    if [ -f "$src" ]; then
        uris=$(awk '/^URIs:/{print $2; exit}' "$src")
        suites=$(awk '/^Suites:/{$1=""; print; exit}' "$src" | sed 's/^ //')
    fi
    cat >"$list" <<EOF
Types: deb-src
URIs: $uris
Suites: $suites
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    echo "added $list"
    return 1
}

need_update=0
add_deb_src || need_update=1
[ ${#missing[@]} -gt 0 ] && need_update=1
if ! ls "$deps"/src/expat_*.dsc >/dev/null 2>&1; then need_update=1; fi
if [ "$need_update" = 1 ]; then
    # Unrelated third-party lists may be unreachable; Debian's own lists are what matter.
    apt-get update -q || true
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# expat 2.5, wide characters, static, for each Windows target.
mkdir -p "$deps/src"
if ! ls "$deps"/src/expat_*.dsc >/dev/null 2>&1; then
    (cd "$deps/src" && apt-get source --download-only expat)
fi
expat_src=$(find "$deps/src" -maxdepth 1 -type d -name 'expat-*' | head -n 1)
if [ -z "$expat_src" ]; then
    (cd "$deps/src" && dpkg-source -x expat_*.dsc)
    expat_src=$(find "$deps/src" -maxdepth 1 -type d -name 'expat-*' | head -n 1)
fi
# Debian's patch leaves the XML_DTD define without a value, which turns DTD support off in a
# way the sources do not expect.
cfg="$expat_src/expat/expat_config.h.cmake"
[ -f "$cfg" ] || cfg="$expat_src/expat_config.h.cmake"
sed -i 's/^#cmakedefine XML_DTD$/#cmakedefine XML_DTD 1/' "$cfg"
expat_cmake_dir="$expat_src/expat"
[ -f "$expat_cmake_dir/CMakeLists.txt" ] || expat_cmake_dir="$expat_src"

for triple in x86_64-w64-mingw32 i686-w64-mingw32; do
    prefix="$deps/$triple/expat"
    if [ -f "$prefix/lib/libexpatw.a" ]; then continue; fi
    bdir="$deps/$triple/expat-build"
    rm -rf "$bdir"
    cmake -S "$expat_cmake_dir" -B "$bdir" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-${triple%%-*}-w64-mingw32.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DEXPAT_CHAR_TYPE=wchar_t -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF \
        -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF \
        -DEXPAT_BUILD_PKGCONFIG=OFF >/dev/null
    cmake --build "$bdir" >/dev/null
    cmake --install "$bdir" >/dev/null
    echo "expat built for $triple"
done
echo "deps ready"
