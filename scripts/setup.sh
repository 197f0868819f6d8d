#!/usr/bin/env bash
# Installs the Debian packages that the builds and tests need, only when missing.
#
#   scripts/setup.sh [--native]    (--native: only what the native library and
#                                   the folio command need)
set -euo pipefail

# The native library, the folio command (with its PNG pages and comic-book
# archives) and the fonts of the samples.
packages=(
  cmake ninja-build g++ pkg-config
  libpango1.0-dev libcairo2-dev
  libpng-dev libzip-dev
  fonts-dejavu-core fonts-noto-cjk
)
if [[ ${1:-} != --native ]]; then
  packages+=(
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
    googletest
    wine64 xvfb xauth
    imagemagick locales zip
    # The end-to-end tests read the command's JSON, PNG pages and archives with Python's own modules.
    python3
    clang-14 libclang-rt-14-dev
    # Wine's 32-bit loader runs folio.spi; Direct2D there needs the 32-bit GL
    # libraries (without them its render target fails with 0x887A0004).
    wine32:i386 libgl1:i386 libgl1-mesa-dri:i386 libxrender1:i386
  )
fi

# apt-get update, tried three times.  A mirror caught mid-sync can keep
# serving an index whose size differs from its Release file's; when that is
# all that still fails, the mirror's own copy of each such index is taken (it
# names the packages that the mirror's pool holds).  Anything else that fails
# is named, and the set-up stops.
update_package_lists() {
  local log attempt
  log=$(mktemp)
  for attempt in 1 2 3; do
    if apt-get update -qq >"$log" 2>&1 && ! grep -q '^[EW]: Failed to fetch' "$log"; then
      rm -f "$log"
      return 0
    fi
    ((attempt < 3)) && sleep 5
  done

  local -a stale=() failed=()
  mapfile -t stale < <(sed -n 's/^[EW]: Failed to fetch \([^ ]*\) .*File has unexpected size.*/\1/p' "$log")
  mapfile -t failed < <(grep '^[EW]: Failed to fetch' "$log" | grep -v 'File has unexpected size' || true)
  if ((${#failed[@]})) || ! ((${#stale[@]})); then
    echo "setup: apt-get update failed three times:" >&2
    cat "$log" >&2
    rm -f "$log"
    return 1
  fi
  # apt drops every index of a release when one of them fails, so fetch the
  # release's file and native indexes alone first, then the rest once more.
  if ! apt-get update -qq -o APT::Architectures="$(dpkg --print-architecture)" >"$log" 2>&1; then
    echo "setup: apt-get update for the native architecture alone failed:" >&2
    cat "$log" >&2
    rm -f "$log"
    return 1
  fi
  apt-get update -qq >/dev/null 2>&1 || true
  rm -f "$log"
  local url
  for url in "${stale[@]}"; do
    seed_package_list "$url" || return 1
  done
}

# The file name under which apt keeps an index fetched from `url`
# (its URItoFileName: no scheme, reserved characters quoted, / as _),
# without the compression suffix.
list_file_name() {
  local url=${1#*://} name= char i
  url=${url#*@}
  case $url in *.xz | *.gz | *.bz2 | *.lz4 | *.zst | *.lzma) url=${url%.*} ;; esac
  for ((i = 0; i < ${#url}; i++)); do
    char=${url:i:1}
    case $char in
      [\\\|{}\[\]\<\>\"^~_=!@#\$%\&*]) printf -v char '%%%02x' "'$char" ;;
      /) char=_ ;;
    esac
    name+=$char
  done
  printf '%s\n' "$name"
}

# Replaces the index that apt fetches from `url` with the mirror's copy.
seed_package_list() {
  local url=$1 lists base download
  eval "$(apt-config shell lists Dir::State::lists/d)"
  base="${lists%/}/$(list_file_name "$url")"
  download=$(mktemp)
  local -a decompress
  case $url in
    *.xz | *.lzma) decompress=(xz -dc) ;;
    *.gz) decompress=(gzip -dc) ;;
    *.bz2) decompress=(bzip2 -dc) ;;
    *.lz4) decompress=(lz4 -dc) ;;
    *.zst) decompress=(zstd -dc) ;;
    *) decompress=(cat) ;;
  esac
  if ! command -v "${decompress[0]}" >/dev/null; then
    echo "setup: the package list $url needs ${decompress[0]} to be read, which is not installed" >&2
    return 1
  fi
  if ! /usr/lib/apt/apt-helper download-file "$url" "$download" >/dev/null 2>&1; then
    echo "setup: the package list $url can't be downloaded" >&2
    rm -f "$download"
    return 1
  fi
  if ! "${decompress[@]}" <"$download" >"$download.list" 2>/dev/null || ! grep -q '^Package: ' "$download.list"; then
    echo "setup: the mirror's copy of $url is damaged or not a package list" >&2
    rm -f "$download" "$download.list"
    return 1
  fi
  rm -f "$base" "$base".*
  install -m 644 "$download.list" "$base"
  rm -f "$download" "$download.list"
  echo "setup: notice: the mirror serves $url with another size than its Release file states" \
    "(a mirror sync in progress); apt-get update refused it three times, so its copy was taken as it is," \
    "unchecked against the Release file, as $base" >&2
}

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if ((${#missing[@]})); then
  if [[ $(id -u) -ne 0 ]]; then
    echo "setup: missing packages (run as root to install): ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  update_package_lists || exit 1
  log=$(mktemp)
  if ! apt-get install -y -qq --no-install-recommends "${missing[@]}" >"$log" 2>&1; then
    echo "setup: installing these packages failed: ${missing[*]}" >&2
    cat "$log" >&2
    rm -f "$log"
    exit 1
  fi
  rm -f "$log"
fi

# Wine's ANSI code page follows the locale; the Japanese tests need ja_JP.UTF-8.
if [[ ${1:-} != --native ]] && ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if [[ $(id -u) -eq 0 ]]; then
    sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen >/dev/null
  fi
fi
