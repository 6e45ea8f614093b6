# Shared parts of the Wine tests: a fresh Wine prefix on a virtual display,
# the sample setup, the driver, and checks that count what passed.
# Sourced by the cases_*.sh scripts; they run under `set -u`.

SETUP_SOURCE_DIR=${SETUP_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
SETUP_WINDOWS_BUILD=${SETUP_WINDOWS_BUILD:-$SETUP_SOURCE_DIR/build/windows}
SETUP_MKSETUP=${SETUP_MKSETUP:-$SETUP_SOURCE_DIR/build/native/mksetup}
SETUP_RAW_SETUP=${SETUP_RAW_SETUP:-$SETUP_SOURCE_DIR/build/native/tests/wine/raw_setup}
SETUP_WINE_WORK=${SETUP_WINE_WORK:-$SETUP_SOURCE_DIR/build/wine-tests}
STUB=$SETUP_WINDOWS_BUILD/Setup.exe
DRIVER=$SETUP_WINDOWS_BUILD/tests/wine/driver.exe
FAKE_PRODUCT=$SETUP_WINDOWS_BUILD/tests/wine/fake_product.exe
SAMPLE_BIN=$SETUP_WINDOWS_BUILD/examples

# The sample's package header and its date.
SAMPLE_CODE=SNO
SAMPLE_CLASS=SampleNotesWindow
SAMPLE_MAIN=Notes.exe
SAMPLE_DATE=2026-03-14
SAMPLE_NAME="Sample Notes"

passed=0
failed=0

# Runs the calling script again inside a virtual X display, once.
run_on_virtual_display() {
  if [ -n "${SETUP_ON_XVFB:-}" ]; then return 0; fi
  export SETUP_ON_XVFB=1
  exec xvfb-run -a -s "-screen 0 ${WINE_SCREEN:-1024x768x24}" "$0" "$@"
}

need_file() {
  [ -e "$1" ] || { echo "missing $1: $2" >&2; exit 1; }
}

check_inputs() {
  need_file "$STUB" "build the windows preset (cmake --preset windows && cmake --build --preset windows)"
  need_file "$DRIVER" "build the windows preset"
  need_file "$FAKE_PRODUCT" "build the windows preset"
  need_file "$SAMPLE_BIN/Notes.exe" "build the windows preset"
  need_file "$SETUP_MKSETUP" "build the native preset"
  for tool in wine wineboot wineserver xvfb-run import lnkinfo; do
    command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/deps.sh" >&2; exit 1; }
  done
}

# A fresh prefix of our own for one group of cases: English unless LC_ALL
# says otherwise, a fixed time zone, and no window manager stalls.
start_wine() {
  WORK=$SETUP_WINE_WORK/$1
  rm -rf "$WORK"
  # A desktop folder of its own: without one Wine points the desktop and the
  # document folders all at HOME itself.
  mkdir -p "$WORK/home/Desktop"
  export WINEPREFIX=$WORK/prefix HOME=$WORK/home WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export LC_ALL=${WINE_LC_ALL:-C.UTF-8} TZ=${WINE_TZ:-Europe/Berlin}
  wineboot -i >"$WORK/wineboot.log" 2>&1 || { echo "wineboot failed, see $WORK/wineboot.log" >&2; exit 1; }
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
  DRIVE_C=$WINEPREFIX/drive_c
}

stop_wine() { wineserver -k 2>/dev/null || true; }

# A Unix path as Wine sees it through drive Z:.
win_path() { local p=$1; echo "Z:${p//\//\\}"; }
# A C: path below the prefix as a Unix path.
unix_path() { local p=${1#C:}; p=${p//\\//}; echo "$DRIVE_C$p"; }

# The sample product folder: examples/product plus the two programs built for Windows.
assemble_sample() {
  local folder=$1
  rm -rf "$folder"
  mkdir -p "$folder"
  cp -r "$SETUP_SOURCE_DIR/examples/product/." "$folder/"
  cp "$SAMPLE_BIN/Notes.exe" "$SAMPLE_BIN/UnInst.exe" "$folder/"
}

build_sample_setup() {
  local output=$1 folder=$WORK/sample
  assemble_sample "$folder"
  "$SETUP_MKSETUP" build "$folder" -o "$output" --code "$SAMPLE_CODE" --window-class "$SAMPLE_CLASS" \
    --main-program "$SAMPLE_MAIN" --date "$SAMPLE_DATE" --stub "$STUB" -q >"$WORK/mksetup.log" 2>&1 ||
    { cat "$WORK/mksetup.log" >&2; echo "mksetup build failed" >&2; exit 1; }
}

# The sample with our uninstaller instead of its own; FILE_ID.DIZ may name another product.
build_with_uninstaller() {
  local output=$1 title=$2 code=$3 folder=$WORK/product-$3
  shift 3
  assemble_sample "$folder"
  rm -f "$folder/UnInst.exe"
  [ "$title" = "$SAMPLE_NAME" ] || sed -i "1s/^$SAMPLE_NAME/$title/" "$folder/FILE_ID.DIZ"
  "$SETUP_MKSETUP" build "$folder" -o "$output" --code "$code" --window-class "$SAMPLE_CLASS" \
    --main-program "$SAMPLE_MAIN" --date "$SAMPLE_DATE" --stub "$STUB" -q --add-uninstaller "$@" \
    >"$WORK/mksetup-$code.log" 2>&1 || { cat "$WORK/mksetup-$code.log" >&2; echo "mksetup build failed" >&2; exit 1; }
}

install_with_setup() {
  local name=$1 setup=$2
  drive "$name" start="$(win_path "$setup")" press=99 msgbox wait-exit
  expect "$name" "exit 0"
}

# damage_setup SETUP COPY: COPY is SETUP with one byte changed near the end of
# the compressed data; the description at the start still decodes, the
# package as a whole does not.
damage_setup() {
  cp "$1" "$2"
  local size offset byte
  size=$(stat -c %s "$2")
  offset=$((size - 20))
  byte=$(od -An -tu1 -j$offset -N1 "$2" | tr -d ' ')
  printf "$(printf '\\%03o' $(( (byte + 1) % 256 )))" | dd of="$2" bs=1 seek=$offset conv=notrunc status=none
}

listing() { (cd "$1" 2>/dev/null && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' '); }
link_in() { find -L "$DRIVE_C/users" -path "*/$1" 2>/dev/null | head -1; }

# drive NAME STEP...: runs the driver, keeps its lines in $WORK/NAME.out and shows them.
drive() {
  local name=$1
  shift
  local status=0
  wine "$DRIVER" "$@" >"$WORK/$name.out" 2>"$WORK/$name.err" || status=$?
  tr -d '\r' <"$WORK/$name.out" >"$WORK/$name.lines"
  sed "s/^/  [$name] /" "$WORK/$name.lines"
  [ $status -eq 0 ] || fail "$name: the driver stopped ($(grep -m1 '^error ' "$WORK/$name.lines" || echo "exit $status"))"
  return $status
}

pass() { passed=$((passed + 1)); echo "ok   $*"; }
fail() { failed=$((failed + 1)); echo "FAIL $*"; }

# expect NAME LINE: the driver's output NAME holds exactly that line.
expect() {
  if grep -Fxq -- "$2" "$WORK/$1.lines"; then pass "$1: $2"; else fail "$1: expected line '$2'"; fi
}
expect_not() {
  if grep -Fxq -- "$2" "$WORK/$1.lines"; then fail "$1: unexpected line '$2'"; else pass "$1: no '$2'"; fi
}
# expect_rows NAME "ROW"...: the language rows, exactly these and in this order.
expect_rows() {
  local name=$1
  shift
  local want got
  want=$(printf '%s\n' "$@")
  got=$(grep '^row ' "$WORK/$name.lines" || true)
  if [ "$got" = "$want" ]; then pass "$name: rows as expected"; else
    fail "$name: rows differ"
    diff <(echo "$want") <(echo "$got") | sed 's/^/    /'
  fi
}
check() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

# The registry value's data as `wine reg query` prints it.
reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *REG_[A-Z_]* *//p" | head -1
}

# lnkinfo's field, such as "Local path" or "Working directory".
lnk_field() { lnkinfo "$1" 2>/dev/null | sed -n "s/^[[:space:]]*$2[[:space:]]*: //p" | head -1; }
# The show command, read from the link's header (lnkinfo of Debian 12 misreports it).
lnk_show_command() { od -An -tu4 -j60 -N4 "$1" | tr -d ' '; }

# Takes a picture of the whole virtual screen while the driver waits at sync=PATH.
screenshot_at() {
  local sync=$1 picture=$2 waited=0
  while [ ! -e "$sync.ready" ] && [ $waited -lt 600 ]; do sleep 0.1; waited=$((waited + 1)); done
  sleep 0.5
  import -window root "$picture" 2>/dev/null
  touch "$sync.go"
}

finish() {
  stop_wine
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
