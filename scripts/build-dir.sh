# Sourced by the scripts that take build folders from the environment
# (BUILD_DIR, WIN_BUILD_DIR, ...): such a folder may be absolute or relative
# to the source folder, $root.
#
#   native_dir=$(varnok_build_dir "${BUILD_DIR:-build}")
varnok_build_dir() {
  case $1 in
    /*) printf '%s\n' "$1" ;;
    *) printf '%s\n' "$root/$1" ;;
  esac
}
