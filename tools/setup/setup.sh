#!/usr/bin/env bash
# Prepares a Debian 12 machine for both builds, idempotently:
#   1. the Debian packages (i386 architecture, Wine, mingw-w64, Xvfb, fonts, test peers, libraries);
#   2. the German locale;
#   3. qemu-i386 (a static binary from Debian's backports) in a cache outside the checkout, the
#      emulator of the 32-bit x86 code on machines that run none (tools/wine/i386-road.sh);
#   4. the win32 builds of libpng (lpng.dll, zlib inside), expat (xmlparse.dll) and libjpeg (static),
#      cross-built from Debian's source packages into a cache outside the checkout, keyed by version.
# A second run checks and returns in well under a second.
# Prints the cache folder of the win32 libraries on its last line of output (for the Makefile).
# Each step that has work to do says so in one line; what its commands print goes to the log
# file (~/.cache/astrel-setup.log), and is shown whole when the step fails.
set -euo pipefail

log() { printf 'setup: %s\n' "$*" >&2; }
die() { printf 'setup: FEHLER: %s\n' "$*" >&2; exit 1; }
SETUP_LOG=${ASTREL_SETUP_LOG:-${XDG_CACHE_HOME:-$HOME/.cache}/astrel-setup.log}
mkdir -p "$(dirname "$SETUP_LOG")"
# step "what" command...: runs one step with its output in the log.
step() {
  local what=$1 out
  shift
  log "$what"
  out=$(mktemp)
  printf '\n=== %s: %s\n' "$(date '+%F %T')" "$what" >>"$SETUP_LOG"
  if "$@" >"$out" 2>&1; then
    cat "$out" >>"$SETUP_LOG"; rm -f "$out"
  else
    local rc=$?
    cat "$out" >>"$SETUP_LOG"; cat "$out" >&2; rm -f "$out"
    die "$what: fehlgeschlagen ($rc); das ganze Protokoll steht in $SETUP_LOG"
  fi
}

HOST_PACKAGES=(
  build-essential cmake make pkg-config dpkg-dev
  g++-mingw-w64-i686 libz-mingw-w64-dev
  wine wine32:i386 wine64 xvfb xauth x11-utils
  locales fonts-liberation
  googletest libgtest-dev libbenchmark-dev
  libpng-dev libjpeg-dev libexpat1-dev zlib1g-dev libtiff-dev libgif-dev
  zip unzip clang libclang-rt-14-dev
  imagemagick libtiff-tools giflib-tools libdeflate-dev minify netpbm libvips-tools
  python3
  dovecot-pop3d
  chromium
)

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; elif command -v sudo >/dev/null; then sudo "$@"; else
    die "Pakete fehlen und es gibt kein root-Recht, um sie zu installieren: $*"; fi
}

# private_apt <array name> <folder> [<apt options>...]: makes <folder> a private apt folder (its
# sources in <folder>/sources, lists and downloads below it), so that apt-get and apt-cache read
# and fetch there and the machine's own lists stay as they are; the array receives the options
# that say so, followed by the ones given.
private_apt() {
  local -n apt_options=$1
  local dir=$2
  shift 2
  mkdir -p "$dir/sources" "$dir/lists/partial" "$dir/cache/archives/partial"
  apt_options=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$dir/sources"
               -o Dir::State::Lists="$dir/lists" -o Dir::Cache="$dir/cache" -o APT::Sandbox::User=root
               "$@")
}

missing_packages() {
  local p
  for p in "${HOST_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || printf '%s\n' "$p"
  done
}

# --- 1. packages -------------------------------------------------------------------------------
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  step "adding the i386 architecture" as_root dpkg --add-architecture i386
  step "reading the package lists" as_root apt-get update -qq
fi
mapfile -t missing < <(missing_packages)
if [ "${#missing[@]}" -gt 0 ]; then
  # Dovecot is a test peer only: the tests start a private one on a free port. A mail server that
  # the package install starts as a system service (on a machine with systemd) is switched off
  # again, unless the machine had Dovecot before.
  had_dovecot=0
  dpkg-query -W -f='${Status}\n' dovecot-core 2>/dev/null | grep -q '^install ok installed$' && had_dovecot=1
  step "reading the package lists" as_root apt-get update -qq
  step "installing ${#missing[@]} packages (${missing[*]})" \
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  mapfile -t still < <(missing_packages)
  [ "${#still[@]}" -eq 0 ] || die "still missing after install: ${still[*]}"
  # Not fatal: a machine whose service manager refuses is told so, and the build goes on.
  if [ "$had_dovecot" = 0 ] && [ -d /run/systemd/system ] && command -v systemctl >/dev/null; then
    log "switching off the system mail server that the Dovecot package started"
    as_root systemctl disable --now dovecot.service >>"$SETUP_LOG" 2>&1 ||
      log "WARNUNG: der Dienst dovecot.service ließ sich nicht abschalten (siehe $SETUP_LOG)"
  fi
fi

# --- 2. locale ---------------------------------------------------------------------------------
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  as_root sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  step "generating the locale de_DE.UTF-8" as_root locale-gen
fi

# --- 3. the road of the 32-bit code -------------------------------------------------------------
. "$(dirname "$0")/../wine/i386-road.sh"
ROAD=$(astrel_i386_road) || die "die Wahl des Weges für 32-Bit-Code ist ungültig"
# The machine's kind is said once, when it is new to set-up or has changed.
mkdir -p "$ASTREL_QEMU_DIR"
if [ "$(cat "$ASTREL_QEMU_DIR/road" 2>/dev/null)" != "$ROAD" ]; then
  if [ "$ROAD" = native ]; then
    log "this machine runs 32-bit x86 code: Wine runs the programs directly (ASTREL_I386=emulated emulates instead)"
  else
    log "this machine runs no 32-bit x86 code: Wine's 32-bit half and the programs run under qemu-i386"
  fi
  echo "$ROAD" >"$ASTREL_QEMU_DIR/road"
fi
# qemu-user from the backports of this Debian release, through a private apt folder (the machine's
# own lists stay as they are), unpacked to the one binary needed. Both roads have it: the tests run
# one program through the emulated road on a machine that runs 32-bit code, too. Debian 12's own
# qemu 7.2 is not enough: it takes MAP_FIXED_NOREPLACE as a hint, and Wine cannot map its shared
# memory then.
install_qemu() {
  local apt=$1 codename src opt
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$codename" ] || { echo "no release codename in /etc/os-release"; return 1; }
  src=$(grep -h -m1 -E '^URIs: .*/debian/?$' /etc/apt/sources.list.d/*.sources 2>/dev/null | sed 's/^URIs: *//')
  [ -n "$src" ] || src=$(grep -h -m1 -E '^deb +[^ ]*/debian/? ' /etc/apt/sources.list 2>/dev/null | awk '{print $2}')
  [ -n "$src" ] || src=http://deb.debian.org/debian
  private_apt opt "$apt" -o APT::Architectures=amd64
  printf 'Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$src" "$codename" >"$apt/sources/backports.sources"
  apt-get "${opt[@]}" update -qq &&
    ( cd "$apt" && apt-get "${opt[@]}" download -qq qemu-user ) &&
    dpkg-deb --fsys-tarfile "$apt"/qemu-user_*.deb | tar -x -C "$apt" ./usr/bin/qemu-i386 &&
    "$apt/usr/bin/qemu-i386" --version | head -1 &&
    mv "$apt/usr/bin/qemu-i386" "$ASTREL_QEMU_I386"
}
if [ ! -x "$ASTREL_QEMU_I386" ]; then
  QEMU_WORK=$(mktemp -d "$ASTREL_QEMU_DIR/work.XXXXXX")
  step "installing qemu-i386 from the backports into $ASTREL_QEMU_DIR" install_qemu "$QEMU_WORK"
  rm -rf "$QEMU_WORK"
fi
# The emulated road needs the 64-bit Wine server (it serves the emulated 32-bit programs natively).
[ -x /usr/lib/wine/wineserver64 ] || die "wine64 fehlt: /usr/lib/wine/wineserver64 ist nicht installiert"

# --- 4. win32 libraries ------------------------------------------------------------------------
pkgver() { dpkg-query -W -f='${Version}' "$1"; }
PNG_VER=$(apt-cache show --no-all-versions libpng-dev 2>/dev/null | sed -n 's/^Version: //p' | head -1)
JPEG_VER=$(apt-cache show --no-all-versions libjpeg62-turbo-dev 2>/dev/null | sed -n 's/^Version: //p' | head -1)
EXPAT_VER=$(apt-cache show --no-all-versions libexpat1-dev 2>/dev/null | sed -n 's/^Version: //p' | head -1)
ZLIB_VER=$(pkgver libz-mingw-w64-dev)
[ -n "$PNG_VER" ] && [ -n "$JPEG_VER" ] && [ -n "$EXPAT_VER" ] || die "cannot read the library versions from apt"
KEY=$(printf '%s|%s|%s|%s|1' "$PNG_VER" "$JPEG_VER" "$EXPAT_VER" "$ZLIB_VER" | sha1sum | cut -c1-12)
CACHE_ROOT=${ASTREL_DEPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/astrel-win32-deps}
PREFIX=$CACHE_ROOT/$KEY

if [ -f "$PREFIX/.complete" ]; then
  printf '%s\n' "$PREFIX"
  exit 0
fi

log "cross-building libpng $PNG_VER, libjpeg-turbo $JPEG_VER, expat $EXPAT_VER into $PREFIX"
mkdir -p "$CACHE_ROOT"
exec 9>"$CACHE_ROOT/.lock"
flock 9
if [ -f "$PREFIX/.complete" ]; then printf '%s\n' "$PREFIX"; exit 0; fi

WORK=$(mktemp -d "$CACHE_ROOT/work.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
rm -rf "$PREFIX"
mkdir -p "$PREFIX"/{bin,lib,include}

# A private apt folder with deb-src entries made from the machine's own deb entries, so that
# apt-get source works without touching the machine's lists.
APTDIR=$WORK/apt
private_apt APTOPT "$APTDIR"
found=0
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  sed 's/^Types:.*/Types: deb-src/' "$f" >"$APTDIR/sources/$(basename "$f")"; found=1
done
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] || continue
  grep -E '^deb ' "$f" | sed 's/^deb /deb-src /' >"$APTDIR/sources/$(basename "$f").list" || true; found=1
done
[ "$found" = 1 ] || die "no apt sources found to derive source entries from"
step "reading the source package lists" apt-get "${APTOPT[@]}" update -qq
# The newest listed version first; a mirror that lacks it (a security update not mirrored) falls
# back to the next one listed.
fetch_source() {
  local pkg=$1 v
  for v in $(apt-cache "${APTOPT[@]}" showsrc "$pkg" 2>/dev/null | sed -n 's/^Version: //p' | sort -uVr); do
    ( cd "$WORK" && apt-get "${APTOPT[@]}" source --download-only -qq "$pkg=$v" >/dev/null 2>&1 ) && return 0
    rm -f "$WORK/${pkg}_"*
  done
  die "cannot download the source package $pkg"
}
log "downloading the source packages libpng1.6, libjpeg-turbo, expat"
for pkg in libpng1.6 libjpeg-turbo expat; do fetch_source "$pkg"; done
unpack_sources() { local dsc; for dsc in "$WORK"/*.dsc; do ( cd "$WORK" && dpkg-source --no-check -x "$dsc" ) || return 1; done; }
step "unpacking the source packages" unpack_sources

TC=$WORK/toolchain.cmake
cat >"$TC" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32 $PREFIX)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
EOF
cmake_build() { # srcdir builddir args...
  local src=$1 bld=$2; shift 2
  step "configuring $(basename "$src")" cmake -S "$src" -B "$bld" -DCMAKE_TOOLCHAIN_FILE="$TC" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" "$@"
  step "cross-building $(basename "$src")" cmake --build "$bld" -j"$(nproc)"
}

# libpng as lpng.dll with zlib linked in statically. The open and close helpers that the
# picture reader uses ride along in the same DLL.
PNGSRC=$(echo "$WORK"/libpng1.6-*/)
cat >"$WORK/pngfile.c" <<'EOF'
/* File helpers exported next to libpng, so that a program opens and closes the file it
   reads with the same C runtime that libpng reads it with. */
#include <stdio.h>
#include "png.h"
PNG_EXPORT(500, FILE *, png_open_file, (const char *name, const char *mode));
PNG_EXPORT(501, int, png_close_file, (FILE *f));
FILE *PNGAPI png_open_file(const char *name, const char *mode) { return fopen(name, mode); }
int PNGAPI png_close_file(FILE *f) { return f ? fclose(f) : EOF; }
EOF
cmake_build "$PNGSRC" "$WORK/png-build" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
  -DPNG_EXECUTABLES=OFF -DZLIB_LIBRARY=/usr/i686-w64-mingw32/lib/libz.a \
  -DZLIB_INCLUDE_DIR=/usr/i686-w64-mingw32/include -DCMAKE_POSITION_INDEPENDENT_CODE=ON
cp "$PNGSRC"/png.h "$PNGSRC"/pngconf.h "$WORK"/png-build/pnglibconf.h "$PREFIX/include/"
step "compiling the file helpers of lpng.dll" \
  i686-w64-mingw32-gcc -O2 -msse2 -mfpmath=sse -I"$PREFIX/include" -c "$WORK/pngfile.c" -o "$WORK/pngfile.o"
step "linking lpng.dll" i686-w64-mingw32-gcc -shared -o "$PREFIX/bin/lpng.dll" -Wl,--out-implib,"$PREFIX/lib/liblpng.dll.a" \
  -Wl,--whole-archive "$WORK"/png-build/libpng16*.a -Wl,--no-whole-archive "$WORK/pngfile.o" \
  /usr/i686-w64-mingw32/lib/libz.a -static-libgcc -s

# expat as xmlparse.dll: its static objects linked into a DLL of that name, all symbols exported.
EXPATSRC=$(echo "$WORK"/expat-*/)
[ -d "$EXPATSRC/expat" ] && EXPATSRC=$EXPATSRC/expat
# Debian's patches test "#if XML_DTD == 1" (as its autotools config.h has it); CMake's template
# defines the feature macros empty. Give them the value 1.
sed -i 's/^#cmakedefine \(XML_[A-Z_]*\)$/#cmakedefine \1 1/' "$EXPATSRC/expat_config.h.cmake"
cmake_build "$EXPATSRC" "$WORK/expat-build" -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
  -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF \
  -DCMAKE_POSITION_INDEPENDENT_CODE=ON
cp "$EXPATSRC"/lib/expat.h "$EXPATSRC"/lib/expat_external.h "$PREFIX/include/"
step "linking xmlparse.dll" i686-w64-mingw32-gcc -shared -o "$PREFIX/bin/xmlparse.dll" \
  -Wl,--out-implib,"$PREFIX/lib/libxmlparse.dll.a" \
  -Wl,--whole-archive "$WORK"/expat-build/libexpat*.a -Wl,--no-whole-archive -static-libgcc -s

# libjpeg-turbo, static, without the SIMD parts (no assembler needed)
JPEGSRC=$(echo "$WORK"/libjpeg-turbo-*/)
cmake_build "$JPEGSRC" "$WORK/jpeg-build" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF \
  -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF -DWITH_JAVA=OFF -DREQUIRE_SIMD=OFF
step "installing libjpeg-turbo into the cache" cmake --install "$WORK/jpeg-build"
rm -rf "$PREFIX/share" "$PREFIX/doc" "$PREFIX/bin"/*.exe

{ for dsc in "$WORK"/*.dsc; do basename "$dsc" .dsc; done; echo "zlib (mingw) $ZLIB_VER"; } >"$PREFIX/versions.txt"
touch "$PREFIX/.complete"
log "win32 libraries ready in $PREFIX"
printf '%s\n' "$PREFIX"
