#!/usr/bin/env bash
# installed_tree_test.sh BUILD_DIR APP_ID
# Installs the build into a temporary prefix and checks the tree as a user gets it: the files,
# the desktop entry and metadata as the desktop's validators see them, the programs finding the
# colour library in the prefix alone, and a start of the installed program by a user who cannot
# write the prefix, whose settings then land in that user's configuration directory.
set -euo pipefail
build=$1
id=$2

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
skip() {
  echo "[  SKIPPED ] $*"
  exit 0
}

for tool in desktop-file-validate appstreamcli readelf file update-mime-database \
  update-desktop-database xdg-mime gio; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (make deps installs it)"
done

work=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || {
  cat "$work/install.log" >&2
  fail "cmake --install failed"
}

# The file list.
icons=share/icons/hicolor
expected=$(sort <<EOF
bin/tavlo
bin/tavlo-cli
lib/tavlo/libtavlo_color.so
share/applications/$id.desktop
share/metainfo/$id.metainfo.xml
share/mime/packages/$id.xml
$icons/16x16/apps/$id.png
$icons/32x32/apps/$id.png
$icons/48x48/apps/$id.png
$icons/64x64/apps/$id.png
$icons/128x128/apps/$id.png
$icons/256x256/apps/$id.png
$icons/scalable/apps/$id.svg
EOF
)
actual=$(cd "$prefix" && find . ! -type d | sed 's|^\./||' | sort)
if [ "$actual" != "$expected" ]; then
  diff <(echo "$expected") <(echo "$actual") >&2 || true
  fail "the installed files differ from the list (- expected, + installed)"
fi
for size in 16 32 48 64 128 256; do
  file -b "$prefix/$icons/${size}x$size/apps/$id.png" | grep -q "^PNG image data, $size x $size," ||
    fail "the $size-pixel icon is not a $size x $size PNG"
done

# The desktop entry starts the installed program with the installed icon; both files pass the
# validators.
desktop=$prefix/share/applications/$id.desktop
grep -qx "Exec=tavlo %F" "$desktop" || fail "the desktop entry does not start tavlo with files"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry does not name the icon $id"
desktop-file-validate "$desktop" || fail "desktop-file-validate refuses $desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" ||
  fail "appstreamcli refuses the metadata"

# The desktop offers Tavlo for pictures and palettes, the palette types known by their names
# and contents. Checked in a copy of the prefix, so that the file list above stays the one
# installed.
mime_root=$work/mime
mkdir -p "$mime_root/data" "$mime_root/config"
cp -r "$prefix/share/mime" "$prefix/share/applications" "$mime_root/data/"
update-mime-database "$mime_root/data/mime" >"$work/mime.log" 2>&1 || {
  cat "$work/mime.log" >&2
  fail "update-mime-database refuses the MIME files"
}
update-desktop-database "$mime_root/data/applications" ||
  fail "update-desktop-database refuses the desktop entry"
printf 'GIMP Palette\nName: test\n#\n255 0 0\tred\n' >"$work/colours.gpl"
printf 'ASEF\0\1\0\0\0\0\0\0' >"$work/swatches.ase"
in_test_prefix() {
  env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID \
    XDG_DATA_HOME="$mime_root/data" XDG_DATA_DIRS="$mime_root/data:/usr/share" \
    XDG_CONFIG_HOME="$mime_root/config" XDG_CONFIG_DIRS="$mime_root/config" "$@"
}
xdg() { in_test_prefix xdg-mime "$@"; }
# The type as the desktop's file managers see it (xdg-mime alone asks `file`, which knows
# nothing of the MIME database).
for file in colours.gpl swatches.ase; do
  type=$(in_test_prefix gio info -a standard::content-type "$work/$file" |
    sed -n 's/.*standard::content-type: //p')
  case $type in application/x-*-palette) ;; *) fail "$file is taken for '$type'" ;; esac
done
for type in image/gif image/png application/x-gimp-palette application/x-act-palette \
  application/x-aco-palette application/x-ase-palette; do
  default=$(xdg query default "$type")
  [ "$default" = "$id.desktop" ] || fail "the default for $type is '$default', not $id.desktop"
done

# Each program finds the colour library beside it in the prefix, through its RUNPATH alone.
for program in tavlo tavlo-cli; do
  dynamic=$(readelf -d "$prefix/bin/$program")
  runpath=$(sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p' <<<"$dynamic")
  [ "$runpath" = '$ORIGIN/../lib/tavlo' ] || fail "$program has RUNPATH '$runpath'"
  if grep -q "(RPATH)" <<<"$dynamic"; then fail "$program still has an RPATH"; fi
  found=$(env -u LD_LIBRARY_PATH ldd "$prefix/bin/$program" |
    sed -n 's/.*libtavlo_color\.so => \([^ ]*\).*/\1/p')
  expected_lib=$(realpath "$prefix")/lib/tavlo/libtavlo_color.so
  [ -n "$found" ] && [ "$(realpath "$found")" = "$expected_lib" ] ||
    fail "$program loads the colour library from '$found'"
done

# The start by a user who cannot write the prefix: as root, the user nobody; otherwise the
# user running the test, with the prefix made read-only.
home=$work/home
mkdir -p "$home/runtime"
chmod 755 "$work"
chmod 700 "$home/runtime"
if [ "$(id -u)" -eq 0 ]; then
  id nobody >/dev/null 2>&1 || skip "there is no user nobody to run the program as"
  chown -R nobody "$home"
  as_user=(setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups)
else
  chmod -R a-w "$prefix"
  as_user=()
fi
if "${as_user[@]}" test -w "$prefix/bin"; then fail "the test user can write $prefix/bin"; fi

settings=$home/config/tavlo/tavlo.ini
(cd "$home" && exec env -u LD_LIBRARY_PATH HOME="$home" XDG_CONFIG_HOME="$home/config" \
  XDG_STATE_HOME="$home/state" XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=offscreen \
  "${as_user[@]}" "$prefix/bin/tavlo" >"$work/run.log" 2>&1) &
pid=$!
for _ in $(seq 1 600); do
  [ -f "$settings" ] && break
  if ! kill -0 "$pid" 2>/dev/null; then
    cat "$work/run.log" >&2
    pid=
    fail "the installed program ended before it wrote its settings"
  fi
  sleep 0.1
done
[ -f "$settings" ] || fail "no settings file in the configuration directory after 60 seconds"
# Still running once its settings are written: the start went through.
sleep 1
kill -0 "$pid" 2>/dev/null || {
  cat "$work/run.log" >&2
  pid=
  fail "the installed program ended after start-up"
}
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=
grep -q '^\[Recent\]' "$settings" && grep -q '^Max=4' "$settings" ||
  fail "the settings file holds no [Recent] Max=4: $(cat "$settings")"
[ ! -e "$prefix/bin/tavlo.ini" ] || fail "settings were written beside the installed program"
echo "installed tree in $prefix checked"
