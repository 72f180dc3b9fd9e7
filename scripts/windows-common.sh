# Sourced by scripts/test-windows and scripts/test-windows-gui: the
# libraries built for Windows, the Wine prefix and its server, and a
# simulated tool behind one of Wine's COM ports.
#
# The caller sets $root (the source tree) and $win_dir (the build folder
# that holds the libraries in deps/ and the Wine prefix in wine/).

toolchain=$root/cmake/mingw-w64-x86_64.cmake
deps=$win_dir/deps
prefix=$deps/prefix
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# Builds the CMake project in SOURCE with the cross compiler and installs it
# into $prefix as static libraries, once. NAME SOURCE [cmake options]
build_for_windows() {
  local name=$1 source=$2
  shift 2
  [ -f "$prefix/.$name" ] && return 0
  cmake -G Ninja -S "$source" -B "$deps/build/$name" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
    "${launcher[@]}" "$@" >/dev/null
  cmake --build "$deps/build/$name" -j"$(nproc)" --target install >/dev/null
  touch "$prefix/.$name"
}

# TinyXML-2 from Debian's source package, GoogleTest from Debian's
# googletest sources, nlohmann-json's headers, all under $prefix.
windows_libraries() {
  mkdir -p "$deps"
  . "$root/scripts/debian-source.sh"
  fetch_debian_source tinyxml2
  build_for_windows tinyxml2 "$deps/src/tinyxml2" -Dtinyxml2_BUILD_TESTING=OFF -DBUILD_TESTING=OFF
  build_for_windows googletest /usr/src/googletest -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
  # nlohmann-json is headers only: Debian's copy (nlohmann-json3-dev) serves
  # the Windows build as it is, from a prefix of its own without the host's
  # other headers.
  mkdir -p "$prefix/include" "$prefix/share/cmake"
  cp -r /usr/include/nlohmann "$prefix/include/"
  cp -r /usr/share/cmake/nlohmann_json "$prefix/share/cmake/"
}

# The Wine environment of $win_dir/wine, without a display (a caller that
# wants one sets DISPLAY afterwards).
wine_environment() {
  export WINEPREFIX=$win_dir/wine WINEDEBUG=-all WINEARCH=win64
  # No Mono or Gecko: nothing here needs .NET or HTML, and their installers
  # would ask. No menu builder either: it would copy Start-menu entries into
  # the machine's own home.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  unset DISPLAY WAYLAND_DISPLAY
  mkdir -p "$WINEPREFIX"
}

# Wine's programs see each pseudo-terminal as a USB serial line with its
# modem lines up (tests/wine/PtyModemLines.c): without them Wine ends every
# WaitCommEvent at once. Only the programs run through `wine` get it; the
# native programs of the stages keep the plain pty.
# A caller that runs Wine through another command (timeout, exec) runs
# "${wine_run[@]}".
wine_pty_modem_lines() {
  wine_shim=$win_dir/pty-modem-lines.so
  if [ ! -f "$wine_shim" ] || [ "$root/tests/wine/PtyModemLines.c" -nt "$wine_shim" ]; then
    cc -O2 -Wall -Wextra -Werror -shared -fPIC -o "$wine_shim" "$root/tests/wine/PtyModemLines.c" -ldl
  fi
  wine_run=(env "LD_PRELOAD=$wine_shim" wine)
  wine() { "${wine_run[@]}" "$@"; }
}

# One server for the whole run, so that every program starts quickly and
# registry values live until they are read. A server left by an
# interrupted run of this prefix goes first. The caller's exit trap runs
# `wineserver -k`.
wine_start() {
  wine_environment
  wine_pty_modem_lines
  wineserver -k 2>/dev/null || true
  # The server writes its object dumps to its error output: keep them in
  # the build folder, not in the test log.
  wineserver -p 2>"$win_dir/wineserver.log"
  wine wineboot --init >/dev/null 2>&1
}

# COM<N> as a USB serial port of the registry scan (a \Device\USBSER000
# value in the SERIALCOMM key), its device the pty the simulator makes in
# DEV_DIR for its port 1. N DEV_DIR
wine_com_port() {
  wine reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\USBSER000' /t REG_SZ \
    /d "COM$1" /f >/dev/null
  ln -sfn "$2/ttyACM0" "$WINEPREFIX/dosdevices/com$1"
}

# The port gone from the scan (the link stays; nothing opens it).
wine_com_port_removed() {
  wine reg delete 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\USBSER000' /f >/dev/null 2>&1 || true
}

# Waits up to 5 s for the simulator's ready file. FILE
wait_ready() {
  local _
  for _ in $(seq 250); do [ -s "$1" ] && return 0; sleep 0.02; done
  echo "${0##*/}: the simulated tool did not come up ($1)" >&2
  return 1
}
