# Sourced by the scripts that build libraries for Windows: fetches Debian's
# source packages (with Debian's patches) through a private apt source list,
# so that the machine's own apt configuration and state stay as they are.
# The caller sets $deps, the folder that holds the lists, the downloads and
# the unpacked sources ($deps/src/NAME).

# apt-get with a private source list, package lists and cache under $deps:
# the machine's own apt configuration and state stay as they are.
apt_private() {
  apt-get -q -o Dir::Etc::SourceList=/dev/null \
    -o Dir::Etc::SourceParts="$deps/apt/sources.list.d" \
    -o Dir::State::Lists="$deps/apt/lists" -o Dir::Cache="$deps/apt/cache" \
    -o APT::Sandbox::User=root "$@"
}

# deb-src entries for the Debian archive(s) the machine installs from.
write_source_list() {
  local dir=$deps/apt/sources.list.d f
  mkdir -p "$dir" "$deps/apt/lists/partial" "$deps/apt/cache/archives/partial"
  : > "$dir/debian-src.sources"
  : > "$dir/debian-src.list"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /(^|\n)Types:[^\n]*deb([ \n]|$)/ && /(^|\n)URIs:[^\n]*debian/ {
           sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' \
      "$f" >> "$dir/debian-src.sources"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk '$1 == "deb" && /debian/ { $1 = "deb-src"; print }' "$f" >> "$dir/debian-src.list"
  done
  if [ ! -s "$dir/debian-src.sources" ] && [ ! -s "$dir/debian-src.list" ]; then
    echo "${0##*/}: no Debian archive in the apt sources to fetch source packages from" >&2
    exit 2
  fi
}

# Unpacks Debian's source package NAME (with Debian's patches) into
# $deps/src/NAME, once.
fetch_debian_source() {
  local name=$1 dir=$deps/src/$1 dl=$deps/dl/$1
  [ -f "$dir/.unpacked" ] && return 0
  write_source_list
  apt_private update >/dev/null
  rm -rf "$dl" "$dir"
  mkdir -p "$dl" "$deps/src"
  (cd "$dl" && apt_private source --download-only "$name" >/dev/null)
  # apt checked the files against the signed archive index already.
  dpkg-source --no-check -x "$dl"/*.dsc "$dir" >/dev/null
  touch "$dir/.unpacked"
}
