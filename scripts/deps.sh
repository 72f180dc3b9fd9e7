# Sourced by scripts/test and scripts/demo: makes sure the Debian packages
# the project builds with are installed.
# Fonts: fonts-liberation is the skin's one family (res/skin); fonts-wqy-microhei
# gives the glyphs of the Chinese texts ("设备不匹配", GBK trouble codes, the
# full-width "！"); fonts-dejavu-core backs the drawing surface's fonts.
VARNOK_PACKAGES="g++ cmake ninja-build pkg-config ser2net qt6-base-dev libtinyxml2-dev libssl-dev nlohmann-json3-dev libgtest-dev libgmock-dev libgl1-mesa-dev fonts-dejavu-core fonts-liberation fonts-wqy-microhei poppler-utils"
# The Windows build (scripts/test-windows): the mingw-w64 cross compilers,
# Wine to run what they build, GoogleTest's sources and the tools that fetch
# and unpack a Debian source package.
VARNOK_WINDOWS_PACKAGES="g++-mingw-w64-x86-64 wine wine64 googletest dpkg-dev xz-utils"

# The real-display stage (scripts/test-gui): a virtual X server, X input
# events, the accessibility bus and its Python client, and the tools that
# read the clipboard, a printed PDF and a screenshot.
VARNOK_GUI_PACKAGES="xvfb xdotool xclip poppler-utils imagemagick dbus at-spi2-core python3-pyatspi"

# The installers (scripts/test-packages, scripts/test-windows-installer):
# Debian's packaging tools and their checkers (lintian, appstreamcli,
# desktop-file-validate) and NSIS's makensis for the Windows installer.
VARNOK_PACKAGING_PACKAGES="dpkg-dev debhelper lintian appstream desktop-file-utils nsis"

# Only for scripts/fuzz (and the fuzz smoke of scripts/test): clang with
# libFuzzer and the sanitizer runtimes.
VARNOK_FUZZ_PACKAGES="clang libclang-rt-14-dev"

varnok_install_deps() {
  varnok_install_packages $VARNOK_PACKAGES
}

# Installs the named packages that are missing.
varnok_install_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 2
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
}
