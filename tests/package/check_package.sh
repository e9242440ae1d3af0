#!/usr/bin/env bash
# Builds the Debian package from a built tree, unpacks it into a scratch root
# (dpkg -x) and checks what a user gets: the programs run and tell their
# version, the desktop entry, MIME type and AppStream metadata validate, the
# icons have their sizes, the manual pages format cleanly, the user guide's
# pages and links are all there.
#
#   check_package.sh BUILD_DIR VERSION APP_ID
set -uo pipefail

build=$1
version=$2
appid=$3

scratch=$(mktemp -d "${TMPDIR:-/tmp}/ks340-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok:   $*"; }
need() { command -v "$1" >/dev/null 2>&1 || { echo "FAIL: $1 is missing (scripts/install-deps installs it)"; exit 1; }; }

for tool in cpack dpkg-deb dpkg desktop-file-validate appstreamcli update-mime-database gzip od; do
  need "$tool"
done

# --- Build the package ------------------------------------------------------------
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log"
  echo "FAIL: cpack did not build the package"
  exit 1
fi
mapfile -t debs < <(find "$scratch/out" -maxdepth 1 -name '*.deb')
if [ ${#debs[@]} -ne 1 ]; then
  echo "FAIL: expected one .deb, found ${#debs[@]}"
  exit 1
fi
deb=${debs[0]}
pass "built $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"

# --- Control fields -----------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = "ks340" ] && pass "Package ks340" || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] && pass "Version $version" || fail "Version is '$(field Version)', not $version"
depends=$(field Depends)
for dep in libqt6widgets6 libqt6serialport6 qt6-qpa-plugins; do
  [[ "$depends" == *"$dep"* ]] && pass "Depends names $dep" || fail "Depends lacks $dep: $depends"
done
[ -n "$(field Maintainer)" ] && pass "Maintainer set" || fail "no Maintainer"

# --- Unpack ---------------------------------------------------------------------------
root=$scratch/root
dpkg -x "$deb" "$root" || { echo "FAIL: dpkg -x"; exit 1; }
share=$root/usr/share

expect_file() {
  if [ -f "$root/$1" ] && [ -s "$root/$1" ]; then pass "$1"; else fail "$1 missing or empty"; fi
}
for f in usr/bin/ks340 usr/bin/ks340ctl usr/bin/ks340sim \
         "usr/share/applications/$appid.desktop" \
         "usr/share/metainfo/$appid.metainfo.xml" \
         "usr/share/mime/packages/$appid.xml" \
         "usr/share/icons/hicolor/scalable/apps/$appid.svg" \
         usr/share/man/man1/ks340.1.gz usr/share/man/man1/ks340ctl.1.gz usr/share/man/man1/ks340sim.1.gz \
         usr/lib/udev/rules.d/60-ks340-serial.rules \
         usr/share/doc/ks340/copyright \
         usr/share/doc/ks340/guide/index.html usr/share/doc/ks340/guide/guide.css; do
  expect_file "$f"
done
for b in ks340 ks340ctl ks340sim; do
  [ -x "$root/usr/bin/$b" ] && pass "usr/bin/$b is executable" || fail "usr/bin/$b is not executable"
done

# Nothing outside /usr, no caches that the system's triggers own.
stray=$(cd "$root" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$stray" ] && pass "everything under /usr" || fail "files outside /usr: $stray"
for cache in usr/share/mime/mime.cache usr/share/mime/globs2 usr/share/applications/mimeinfo.cache \
             usr/share/icons/hicolor/icon-theme.cache; do
  [ ! -e "$root/$cache" ] || fail "the package holds the cache $cache"
done
[ ! -d "$root/usr/local" ] || fail "the package installs under /usr/local"

# --- The programs run ---------------------------------------------------------------
out=$("$root/usr/bin/ks340ctl" --version 2>&1)
[ "$out" = "ks340ctl $version" ] && pass "ks340ctl --version" || fail "ks340ctl --version said '$out'"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/ks340" --version 2>&1)
[ "$out" = "ks340 $version" ] && pass "ks340 --version without a display" || fail "ks340 --version said '$out'"
"$root/usr/bin/ks340sim" --help >/dev/null 2>&1 && pass "ks340sim --help" || fail "ks340sim --help failed"
"$root/usr/bin/ks340ctl" new -o "$scratch/new.ks3" && "$root/usr/bin/ks340ctl" check "$scratch/new.ks3" >/dev/null \
  && pass "ks340ctl writes and checks a setting file" || fail "ks340ctl new/check failed"

# --- Desktop entry and AppStream metadata ---------------------------------------------
desktop=$share/applications/$appid.desktop
if msg=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$msg" ]; then pass "desktop-file-validate"; else fail "desktop-file-validate: $msg"; fi
metainfo=$share/metainfo/$appid.metainfo.xml
if msg=$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1); then pass "appstreamcli validate"; else fail "appstreamcli validate: $msg"; fi
grep -q "<release version=\"$version\"" "$metainfo" && pass "metainfo names release $version" || fail "metainfo lacks release $version"
grep -q "<launchable type=\"desktop-id\">$appid.desktop</launchable>" "$metainfo" \
  && pass "metainfo launches the desktop entry" || fail "metainfo launchable is not $appid.desktop"
grep -qx "Exec=ks340 %f" "$desktop" && pass "desktop entry runs ks340 with a file" || fail "Exec line wrong"
grep -qx "Icon=$appid" "$desktop" && pass "desktop entry icon $appid" || fail "Icon line wrong"

# --- MIME type: *.ks3 is ours and the desktop entry opens it --------------------------
mime_type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$share/mime/packages/$appid.xml")
grep -q "^MimeType=.*$mime_type;" "$desktop" && pass "desktop entry handles $mime_type" \
  || fail "desktop entry MimeType lacks '$mime_type'"
mkdir -p "$scratch/mime/packages"
cp "$share/mime/packages/$appid.xml" "$scratch/mime/packages/"
if update-mime-database "$scratch/mime" >"$scratch/mime.log" 2>&1 && \
   grep -q "^[0-9]*:$mime_type:\*\.ks3$" "$scratch/mime/globs2"; then
  pass "*.ks3 maps to $mime_type"
else
  fail "update-mime-database does not map *.ks3 to '$mime_type': $(cat "$scratch/mime.log" "$scratch/mime/globs2" 2>/dev/null)"
fi

# --- Icons ---------------------------------------------------------------------------------
# Width and height from the PNG header (big-endian at bytes 16..23).
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'; }
for s in 16 22 24 32 48 64 128 256; do
  png=$share/icons/hicolor/${s}x${s}/apps/$appid.png
  if [ ! -f "$png" ]; then fail "icon ${s}x${s} missing"; continue; fi
  sig=$(od -An -tx1 -N8 "$png" | tr -d ' \n')
  size=$(png_size "$png")
  [ "$sig" = "89504e470d0a1a0a" ] && [ "$size" = "${s}x${s}" ] && pass "icon ${s}x${s}" \
    || fail "icon ${s}x${s}: signature $sig, size $size"
done
grep -q "<svg" "$share/icons/hicolor/scalable/apps/$appid.svg" && pass "scalable icon is SVG" || fail "scalable icon is no SVG"

# --- Manual pages ---------------------------------------------------------------------------
for m in ks340 ks340ctl ks340sim; do
  page=$share/man/man1/$m.1.gz
  gzip -t "$page" 2>/dev/null || { fail "$m.1.gz is not gzip"; continue; }
  zcat "$page" | grep -q "^\.TH $(echo "$m" | tr a-z A-Z) 1" || fail "$m.1 has no .TH header"
  if command -v groff >/dev/null 2>&1; then
    warnings=$(zcat "$page" | groff -man -Tutf8 -ww -z 2>&1)
    [ -z "$warnings" ] && pass "$m.1 formats without warnings" || fail "$m.1: $warnings"
  fi
done
zcat "$share/man/man1/ks340ctl.1.gz" | grep -q 'export\\-csv' && pass "ks340ctl.1 describes export-csv" \
  || fail "ks340ctl.1 does not describe export-csv"

# --- User guide ---------------------------------------------------------------------------------
guide=$share/doc/ks340/guide
for page in index getting-started tabs reading-writing fleet files-and-backups csv printing command-line troubleshooting; do
  [ -s "$guide/$page.html" ] && pass "guide page $page.html" || fail "guide page $page.html missing"
done
# The guide is where the program looks for it: next to its executable.
[ -f "$root/usr/bin/../share/doc/ks340/guide/index.html" ] && pass "guide found relative to usr/bin" \
  || fail "guide not at usr/bin/../share/doc/ks340/guide"
if grep -l 'href="[^":#]*\.md[#"]' "$guide"/*.html >/dev/null 2>&1; then
  fail "links to .md files left in: $(grep -l 'href="[^":#]*\.md[#"]' "$guide"/*.html)"
else
  pass "no links to Markdown sources"
fi
broken=""
for html in "$guide"/*.html; do
  for target in $(grep -o '\(href\|src\)="[^":#]*' "$html" | sed 's/^[a-z]*="//'); do
    [ -z "$target" ] && continue
    [ -e "$guide/$target" ] || broken="$broken $(basename "$html")->$target"
  done
done
[ -z "$broken" ] && pass "every link and picture of the guide resolves" || fail "broken guide links:$broken"

# --- udev rule --------------------------------------------------------------------------------
rule=$root/usr/lib/udev/rules.d/60-ks340-serial.rules
grep -q 'GROUP="dialout"' "$rule" && grep -q 'ENV{ID_MM_DEVICE_IGNORE}="1"' "$rule" \
  && pass "udev rule: group dialout, ignored by ModemManager" || fail "udev rule lacks the group or the ModemManager flag"
grep -q 'ATTR{latency_timer}="1"' "$rule" \
  && pass "udev rule: FTDI latency timer 1 ms" || fail "udev rule leaves the FTDI latency timer as it is"

echo
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "package checks passed"
