#!/usr/bin/env bash
# End-to-end tests of the folio command: the real program driving the real
# plug-in, copied into a folder of its own beside the settings it needs.
#
#   folio_e2e.sh GROUP FOLIO PLUGIN SAMPLES
#
# FOLIO_RUNNER, when set, starts the program (wine64 for folio.exe).
set -uo pipefail
group=$1 folio=$2 built_plugin=$3 samples=$4
checker="$(cd "$(dirname "$0")" && pwd)/check_pages.py"
runner=()
[[ -n ${FOLIO_RUNNER:-} ]] && runner=("$FOLIO_RUNNER")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Page indexes of this run's own (on drive Z: for a program under Wine).
export FOLIO_PAGE_INDEX_FOLDER="${runner:+Z:}$work/page-index"
plugin="$work/plugin/$(basename "$built_plugin")"
mkdir -p "$work/plugin"
cp "$built_plugin" "$plugin"
settings="${plugin%.*}.ini"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

write_settings() {
  printf '[SystemSetting]\n' >"$settings"
  printf '%s\n' "$@" >>"$settings"
}
# Every run names its font, so that pages are alike wherever they are drawn.
english_settings() { write_settings "FontName=DejaVu Sans" "FontSize=12" "BmpWidth=560" "BmpHeight=400" "MaxPage=3" "$@"; }
japanese_settings() { write_settings "FontName=Noto Sans CJK JP" "FontSize=14" "BmpWidth=560" "BmpHeight=400" "MaxPage=3" "$@"; }

# Runs folio with the test's plug-in; sets $status, $out and $err.
run_folio() {
  "${runner[@]}" "$folio" --plugin "$plugin" "$@" >"$work/stdout" 2>"$work/stderr"
  status=$?
  out=$(cat "$work/stdout")
  err=$(cat "$work/stderr")
}

expect_status() {
  local expected=$1 what=$2
  [[ $status -eq $expected ]] || fail "$what: exit status $status, expected $expected (stderr: $err)"
}
expect_text() {
  local text=$1 wanted=$2 what=$3
  [[ $text == *"$wanted"* ]] || fail "$what: expected '$wanted' in: $text"
}

# Member names without their stems: the line ranges, one per line.
line_ranges() {
  sed -n 's/.*"name": "[^"]*\([0-9]\{3,\}-[0-9]\{3,\}\)\.bmp".*/\1/p'
}

# "width height bits size" from a BMP file's headers; its true size last.
bmp_fields() {
  od -An -tu4 -j2 -N4 "$1" | tr -d ' \n'
  printf ' '
  od -An -tu4 -j18 -N8 "$1" | xargs | tr '\n' ' '
  od -An -tu2 -j28 -N2 "$1" | tr -d ' \n'
  printf ' %s' "$(stat -c %s "$1")"
  printf ' %s\n' "$(head -c2 "$1")"
}

test_usage() {
  # A malformed command line: status 2, and a message that says what is wrong.
  local cases=(
    "2|no command given|"
    "2|unknown command 'frobnicate'|frobnicate"
    "2|takes exactly one text file|list"
    "2|takes exactly one text file|extract a.txt b.txt"
    "2|unknown option --bogus|list a.txt --bogus"
    "2|--page needs a value|extract a.txt --page"
    "2|--page takes a page position such as 0 or 12, not 'abc'|extract a.txt --page abc"
    "2|--page takes a page position such as 0 or 12, not '-1'|extract a.txt --page=-1"
    "2|--json takes no value|list a.txt --json=yes"
    "2|takes no file|info a.txt"
  )
  local entry expected message arguments
  for entry in "${cases[@]}"; do
    IFS='|' read -r expected message arguments <<<"$entry"
    # shellcheck disable=SC2086
    run_folio $arguments
    expect_status "$expected" "folio $arguments"
    expect_text "$err" "$message" "folio $arguments"
  done

  for command in "" info list extract; do
    run_folio $command --help
    expect_status 0 "folio $command --help"
    expect_text "$out" "usage: folio" "folio $command --help"
  done

  "${runner[@]}" "$folio" --plugin "$work/missing/libfolio.so" info >"$work/stdout" 2>"$work/stderr"
  status=$? err=$(cat "$work/stderr")
  expect_status 1 "a plug-in that isn't there"
  expect_text "$err" "can't load the plug-in" "a plug-in that isn't there"
}

test_info() {
  english_settings "Ext=*.txt,*.log"
  run_folio info
  expect_status 0 "folio info"
  for wanted in "00AM" "folio by.Ilo" "*.txt;*.log" "テキストファイル" "$(basename "$plugin")"; do
    expect_text "$out" "$wanted" "folio info"
  done
  # The library beside the program is the default.
  "${runner[@]}" "$folio" info >"$work/stdout" 2>"$work/stderr"
  status=$? out=$(cat "$work/stdout") err=$(cat "$work/stderr")
  expect_status 0 "folio info without --plugin"
  expect_text "$out" "00AM" "folio info without --plugin"
}

list_json() {
  run_folio list "$1" --json
  expect_status 0 "folio list $1 --json"
  printf '%s' "$out" | python3 -m json.tool >/dev/null || fail "folio list $1 --json: not JSON: $out"
}

# Every encoding of a sample text is laid out into the same pages.
same_pages_in_every_encoding() {
  local folder=$1 reference=$2 text
  list_json "$folder/$reference"
  local expected
  expected=$(line_ranges <<<"$out")
  [[ $(wc -l <<<"$expected") -ge 2 ]] || fail "$reference: expected several pages, got: $out"
  for text in "$folder"/*.txt; do
    list_json "$text"
    [[ $(line_ranges <<<"$out") == "$expected" ]] || fail "$(basename "$text"): pages differ from $reference: $out"
  done
}

test_list() {
  english_settings
  same_pages_in_every_encoding "$samples/english" english-utf8.txt
  # Shift_JIS text is read in the ANSI code page, which follows the locale under Wine.
  japanese_settings
  LC_ALL=ja_JP.UTF-8 same_pages_in_every_encoding "$samples/japanese" japanese-utf8.txt

  english_settings
  run_folio list "$samples/english/english-utf8.txt"
  expect_status 0 "folio list"
  expect_text "$out" "position" "folio list"
  [[ $(grep -c 'english-utf8[0-9]*-[0-9]*\.bmp$' <<<"$out") -eq 3 ]] || fail "folio list: expected 3 pages: $out"

  # Paths in any language, both ways.
  mkdir -p "$work/日本語 フォルダ"
  cp "$samples/english/english-utf8.txt" "$work/日本語 フォルダ/吾輩は猫.txt"
  list_json "$work/日本語 フォルダ/吾輩は猫.txt"
  expect_text "$out" '"name": "吾輩は猫000-' "a Japanese file name"

  # Names that JSON must escape (Windows file names can't hold these).
  if ((${#runner[@]} == 0)); then
    cp "$samples/english/english-utf8.txt" "$work/say \"hi\" \\ bye.txt"
    list_json "$work/say \"hi\" \\ bye.txt"
    expect_text "$out" '"name": "say \"hi\" \\ bye000-' "a name with a quote and a backslash"
  fi

  # The plug-in's own refusals, each with its message.
  printf 'not a picture' >"$work/picture.bmp"
  printf 'short' >"$work/short.txt"
  local cases=(
    "$work/missing.txt|the text file can't be opened"
    "$work/picture.bmp|not a text file this plug-in handles"
    "$work/short.txt|not a text file this plug-in handles"
  )
  local entry file message
  for entry in "${cases[@]}"; do
    IFS='|' read -r file message <<<"$entry"
    run_folio list "$file"
    expect_status 1 "folio list $file"
    expect_text "$err" "$message" "folio list $file"
  done

  # The Ext setting decides which files are taken.
  english_settings "Ext=*.log"
  cp "$samples/english/english-utf8.txt" "$work/notes.log"
  run_folio list "$samples/english/english-utf8.txt"
  expect_status 1 "a .txt file with Ext=*.log"
  list_json "$work/notes.log"
}

# Checks that FOLDER holds exactly the pages listed for TEXT, as BMP files of
# the configured size.
expect_pages() {
  local folder=$1 count=$2 page fields
  [[ $(find "$folder" -type f | wc -l) -eq $count ]] || fail "$folder: expected $count files: $(ls "$folder")"
  for page in "$folder"/*; do
    fields=$(bmp_fields "$page")
    read -r recorded width height bits size magic <<<"$fields"
    [[ $magic == BM && $recorded == "$size" && $width == 560 && $height == 400 && $bits == 24 ]] ||
      fail "$page: not a 560 x 400 24-bit BMP file ($fields)"
  done
}

# The colour of a page's first pixel (bottom-left), as "blue green red".
first_pixel() {
  od -An -tu1 -j54 -N3 "$1" | xargs
}

# Every encoding of a sample draws the same pages (the big-endian text's first
# page may differ by its byte-order mark, which reaches the page as a character).
same_drawings_in_every_encoding() {
  local folder=$1 reference=$2 text name page
  for text in "$folder"/*.txt; do
    name=$(basename "$text" .txt)
    run_folio extract "$text" -o "$work/encodings/$name"
    expect_status 0 "folio extract $name"
  done
  for page in "$work/encodings/$reference"/*; do
    for text in "$folder"/*.txt; do
      name=$(basename "$text" .txt)
      [[ $name == *utf16be && $page == *000-* ]] && continue
      cmp -s "$page" "$work/encodings/$name/$name${page##*/"$reference"}" ||
        fail "$name: page ${page##*/} differs from $reference"
    done
  done
}

test_extract() {
  local english=$samples/english/english-utf8.txt
  english_settings
  run_folio extract "$english" -o "$work/pages"
  expect_status 0 "folio extract"
  expect_text "$out" "wrote 3 pages" "folio extract"
  expect_pages "$work/pages" 3
  [[ $err != *"["* ]] || fail "a progress bar without a terminal: $err"
  [[ $(first_pixel "$work/pages/english-utf8000-"*) == "255 255 255" ]] || fail "the default page is not white"

  run_folio extract "$english" --page 1 --page 0 --page 1 -o "$work/chosen"
  expect_status 0 "folio extract --page"
  expect_pages "$work/chosen" 2
  [[ -f $(ls "$work/chosen"/english-utf8000-* 2>/dev/null) ]] || fail "--page 0 was not written"

  run_folio extract "$english" --page 7 -o "$work/none"
  expect_status 1 "folio extract --page 7"
  expect_text "$err" "has 3 pages (positions 0 to 2); there is no page at position 7" "folio extract --page 7"
  [[ ! -e "$work/none" || -z $(ls "$work/none") ]] || fail "--page 7 wrote files"

  # Existing pages stay unless --force.
  local before
  before=$(cat "$work/pages"/* | md5sum)
  printf 'old' >"$work/chosen/$(ls "$work/pages" | head -1)"
  run_folio extract "$english" -o "$work/chosen"
  expect_status 1 "folio extract over existing pages"
  expect_text "$err" "already exists (--force replaces it)" "folio extract over existing pages"
  [[ $(cat "$work/chosen/$(ls "$work/pages" | head -1)") == old ]] || fail "an existing page was replaced"
  run_folio extract "$english" -o "$work/chosen" --force
  expect_status 0 "folio extract --force"
  [[ $(cat "$work/chosen"/* | md5sum) == "$before" ]] || fail "--force did not write the same pages"

  # Memory output gives the same files as folder output (here into a folder
  # whose name is not ASCII).
  local memory="$work/日本語 フォルダ/ページ"
  run_folio extract "$english" -o "$memory" --memory
  expect_status 0 "folio extract --memory"
  [[ $(cat "$memory"/* | md5sum) == "$before" ]] || fail "--memory pages differ from folder output"

  japanese_settings
  LC_ALL=ja_JP.UTF-8 same_drawings_in_every_encoding "$samples/japanese" japanese-utf8
  english_settings
  same_drawings_in_every_encoding "$samples/english" english-utf8

  # A setting changes the pages: a black page.
  english_settings "BGColor=black" "FontColor=LIGHT_GRAY"
  run_folio extract "$english" --page 0 -o "$work/dark"
  expect_status 0 "folio extract with BGColor=black"
  [[ $(first_pixel "$work/dark"/*) == "0 0 0" ]] || fail "BGColor=black did not give a black page"

  # The progress bar shows on a terminal only.
  if ((${#runner[@]} == 0)) && command -v script >/dev/null; then
    english_settings
    local shown
    shown=$(script -qec "'$folio' --plugin '$plugin' extract '$english' -o '$work/tty'" /dev/null)
    expect_text "$shown" "3/3 pages" "the progress bar on a terminal"
  fi
}

# The files in a folder, one a line; nothing for a folder that isn't there.
files_in() {
  [[ -d $1 ]] && (cd "$1" && find . -mindepth 1 | sort)
}

# folio.exe refuses PNG pages; the Linux command writes them with the BMP
# pages' pixels, and comic-book archives that any zip reader opens.
test_convert() {
  local english=$samples/english/english-utf8.txt japanese=$samples/japanese/japanese-utf8.txt option
  english_settings
  if ((${#runner[@]})); then
    for option in "--png -o $work/refused" "--cbz $work/refused.cbz"; do
      # shellcheck disable=SC2086
      run_folio extract "$english" $option
      expect_status 2 "folio.exe extract $option"
      expect_text "$err" "are the Linux folio command's" "folio.exe extract $option"
    done
    [[ -z $(files_in "$work/refused") && ! -e $work/refused.cbz ]] || fail "a refused --png or --cbz wrote files"
    return
  fi

  run_folio extract "$english" -o "$work/bmp"
  run_folio extract "$english" --png -o "$work/png"
  expect_status 0 "folio extract --png"
  expect_text "$out" "wrote 3 pages" "folio extract --png"
  local pairs=() page
  for page in "$work/bmp"/*.bmp; do pairs+=("$page" "$work/png/$(basename "$page" .bmp).png"); done
  python3 "$checker" same-pixels "${pairs[@]}" || fail "PNG pages differ from the BMP pages"
  (($(cat "$work/png"/* | wc -c) * 10 <= $(cat "$work/bmp"/* | wc -c))) || fail "PNG pages over a tenth of the BMP pages"

  # The pages of an archive in page order; replaced only whole.
  japanese_settings
  run_folio extract "$japanese" -o "$work/bmp-ja"
  run_folio extract "$japanese" --cbz "$work/book.cbz"
  expect_status 0 "folio extract --cbz"
  python3 "$checker" cbz "$work/book.cbz" japanese-utf8 "$work/bmp-ja"/*.bmp || fail "the archive is not the pages"
  run_folio extract "$japanese" --cbz "$work/book.cbz" --page 0
  expect_status 1 "folio extract --cbz over an archive"
  expect_text "$err" "already exists (--force replaces it)" "folio extract --cbz over an archive"
  run_folio extract "$japanese" --cbz "$work/book.cbz" --page 0 --force
  expect_status 0 "folio extract --cbz --force"
  python3 "$checker" cbz "$work/book.cbz" japanese-utf8 "$work/bmp-ja"/*000-*.bmp || fail "--force: not the new archive"
  # Vertical pages make a book read from right to left.
  japanese_settings "Vertical=1"
  run_folio extract "$japanese" -o "$work/bmp-vertical"
  run_folio extract "$japanese" --cbz "$work/vertical.cbz"
  expect_status 0 "folio extract --cbz of vertical pages"
  python3 "$checker" cbz-right-to-left "$work/vertical.cbz" japanese-utf8 "$work/bmp-vertical"/*.bmp ||
    fail "the archive of vertical pages is not marked as read right to left"

  # Failures leave nothing behind: a missing folder, and a disk that is full
  # (files may grow to 4 KB only: a write past that fails as on a full disk).
  run_folio extract "$japanese" --cbz "$work/missing/book.cbz"
  expect_status 1 "an archive in a missing folder"
  expect_text "$err" "does not exist" "an archive in a missing folder"
  run_folio extract "$japanese" --cbz "$work/book.cbz" -o "$work/pages"
  expect_status 2 "--cbz with -o"
  mkdir -p "$work/full"
  local target
  for target in "--cbz=$work/full/book.cbz" "--png -o $work/full/pages"; do
    # shellcheck disable=SC2086
    (trap '' XFSZ && ulimit -f 4 && run_folio extract "$japanese" $target && exit "$status")
    status=$? err=$(cat "$work/stderr")
    expect_status 1 "$target on a full disk"
    expect_text "$err" "can't write" "$target on a full disk"
    [[ -z $(files_in "$work/full") ]] || fail "$target on a full disk left $(files_in "$work/full")"
  done
}

# The private folders that --ini stages the plug-in in, wherever they are.
staging_folders() {
  if ((${#runner[@]})); then
    find "$WINEPREFIX/drive_c/users" -name '.folio-*' 2>/dev/null
  else
    files_in "$TMPDIR"
  fi
}

# --ini FILE: those settings for this run, while the INI beside the plug-in
# still rules the runs without it.
test_ini() {
  local english=$samples/english/english-utf8.txt bad
  export TMPDIR=$work/tmp
  mkdir -p "$TMPDIR"
  english_settings
  printf '[SystemSetting]\nFontName=DejaVu Sans\nBmpWidth=300\nBmpHeight=200\nMaxPage=2\n' >"$work/small.ini"
  run_folio --ini "$work/small.ini" list "$english" --json
  expect_status 0 "folio --ini FILE list"
  [[ $(grep -c '"size": 180054' <<<"$out") -eq 2 ]] || fail "--ini: expected 2 pages of 300 x 200: $out"
  run_folio extract "$english" --ini="$work/small.ini" -o "$work/small"
  expect_status 0 "folio extract --ini=FILE"
  expect_text "$out" "wrote 2 pages" "folio extract --ini=FILE"
  list_json "$english"
  [[ $(grep -c '"size": 672054' <<<"$out") -eq 3 ]] || fail "without --ini: expected 3 pages of 560 x 400: $out"
  [[ -z $(staging_folders) ]] || fail "--ini left its private folder: $(staging_folders)"

  # A settings file that can't be read: a clear message, and nothing written.
  for bad in "$work/missing.ini" "$work"; do
    run_folio extract "$english" --ini "$bad" -o "$work/from-bad-settings"
    expect_status 1 "--ini $bad"
    expect_text "$err" "can't read the settings file" "--ini $bad"
    [[ ! -e $work/from-bad-settings && -z $(staging_folders) ]] || fail "--ini $bad wrote files"
  done
}

cd "$work"
"test_$group"
if ((failures)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
