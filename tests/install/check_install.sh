#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks it as a desktop sees it: every file
# in its place, the desktop entry valid, a label recognised by its contents and opened by
# the editor, and the programs finding their data in the prefix.
# usage: check_install.sh BUILD_DIR SOURCE_DIR VERSION DEBIAN_REVISION
set -uo pipefail
build=$1
source=$2
version=$3
revision=$4
prefix=$(mktemp -d)
home=""
trap 'rm -rf "$prefix" $home' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

expected=(
  bin/tavrin-label bin/tavrin-label-editor bin/tavrin-printer-sim
  share/tavrin-label-editor/ZREDIT.FNT
  share/tavrin-label-editor/help/index.html
  share/tavrin-label-editor/samples/sample.qlb
  share/applications/tavrin-label-editor.desktop
  share/mime/packages/tavrin-label-editor.xml
  share/icons/hicolor/scalable/apps/tavrin-label-editor.svg
  share/man/man1/tavrin-label.1.gz share/man/man1/tavrin-printer-sim.1.gz share/man/man1/tavrin-label-editor.1.gz
  share/bash-completion/completions/tavrin-label
  share/doc/tavrin-label-editor/copyright share/doc/tavrin-label-editor/changelog.Debian.gz
  lib/systemd/system/tavrin-label-serve.service share/doc/tavrin-label-editor/examples/serve.conf
  share/tavrin-label-editor/help/print-service.html
)
for size in 16 32 48 64 128 256; do expected+=("share/icons/hicolor/${size}x${size}/apps/tavrin-label-editor.png"); done
for file in "${expected[@]}"; do [ -s "$prefix/$file" ] || fail "missing $file"; done
for program in tavrin-label tavrin-label-editor tavrin-printer-sim; do
  [ -x "$prefix/bin/$program" ] || fail "$program is not executable"
done

# Every PNG icon is the size its folder says.
for size in 16 32 48 64 128 256; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/tavrin-label-editor.png"
  [ -f "$png" ] || continue
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "icon ${size}x${size} is $dims"
done

# Every help page the index links to is there, and so is every picture a page shows.
help="$prefix/share/tavrin-label-editor/help"
if [ -d "$help" ]; then
  for page in "$help"/*.html; do
    for target in $(grep -o '\(href\|src\)="[^"#:]*' "$page" | sed 's/^[a-z]*="//' | sort -u); do
      [ -e "$help/$target" ] || fail "$(basename "$page") links to missing $target"
    done
  done
fi

# The man pages format without warnings.
if command -v man >/dev/null; then
  for page in "$prefix"/share/man/man1/*.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
  done
fi

# Bash completion offers the commands, and the printer's sub-commands after --port DEVICE.
# bash-completion's helpers are stood in for, so the check runs without it.
complete_words() {
  bash -c '
    _init_completion() { cur=${COMP_WORDS[COMP_CWORD]}; prev=${COMP_WORDS[COMP_CWORD-1]}; words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD; }
    _filedir() { :; }
    source "$0"
    COMP_WORDS=("${@}"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _tavrin_label
    echo "${COMPREPLY[*]}"' "$prefix/share/bash-completion/completions/tavrin-label" "$@"
}
case " $(complete_words tavrin-label re) " in *" render "*) ;; *) fail "completion of 're'" ;; esac
case " $(complete_words tavrin-label printer --port /dev/ttyS0 re) " in
  *" retrieve-form "*) ;; *) fail "completion of printer sub-commands" ;; esac
case " $(complete_words tavrin-label render x.qlb --g) " in
  *" --grid "*) ;; *) fail "completion of render options" ;; esac

if command -v desktop-file-validate >/dev/null; then
  out=$(desktop-file-validate "$prefix/share/applications/tavrin-label-editor.desktop" 2>&1)
  [ -z "$out" ] || fail "desktop-file-validate: $out"
else
  echo "SKIP desktop entry check: desktop-file-validate missing (Debian desktop-file-utils)"
fi

# A label without its extension is still a label, by its "ZR5500 FILE" magic, and the
# desktop opens it with the editor. xdg-mime asks gio under GNOME (the generic fallback
# is file(1), which knows no private types).
if command -v update-mime-database >/dev/null && command -v xdg-mime >/dev/null && command -v gio >/dev/null; then
  update-mime-database "$prefix/share/mime" >/dev/null 2>&1 || fail "update-mime-database"
  cp "$source/data/samples/sample.qlb" "$prefix/label-without-extension"
  printf 'not a label at all' > "$prefix/plain.qlb.txt"
  export XDG_DATA_HOME="$prefix/share" XDG_DATA_DIRS="$prefix/share:/usr/share" XDG_CURRENT_DESKTOP=GNOME
  type=$(xdg-mime query filetype "$prefix/label-without-extension")
  [ "$type" = application/x-tavrin-label ] || fail "label without extension is '$type'"
  cp "$source/data/samples/sample.qlb" "$prefix/shelf.qlb"
  type=$(xdg-mime query filetype "$prefix/shelf.qlb")
  [ "$type" = application/x-tavrin-label ] || fail "shelf.qlb is '$type'"
  "$prefix/bin/tavrin-label" export-form "$prefix/shelf.qlb" -o "$prefix/shelf.ejf" || fail "export-form"
  type=$(xdg-mime query filetype "$prefix/shelf.ejf")
  [ "$type" = application/x-tavrin-form ] || fail "shelf.ejf is '$type'"
  if command -v update-desktop-database >/dev/null; then
    update-desktop-database "$prefix/share/applications" || fail "update-desktop-database"
    app=$(xdg-mime query default application/x-tavrin-label)
    [ "$app" = tavrin-label-editor.desktop ] || fail "labels open with '$app'"
  fi
  unset XDG_DATA_HOME XDG_DATA_DIRS XDG_CURRENT_DESKTOP
else
  echo "SKIP MIME check: needs update-mime-database, xdg-mime and gio (Debian shared-mime-info, xdg-utils, libglib2.0-bin)"
fi

# Started from the prefix, the programs find their data there: a render works, and a blank
# font file put in the prefix's data folder blanks the label's text.
unset TAVRIN_DATA_DIR
label="$source/data/samples/sample.qlb"
"$prefix/bin/tavrin-label" render "$label" --print -o "$prefix/with-font.pbm" || fail "render from the prefix"
[ -s "$prefix/with-font.pbm" ] || fail "render wrote nothing"
# One version everywhere: the programs, their manual pages, the package's changelog and the
# README's package name.
for program in tavrin-label tavrin-label-editor tavrin-printer-sim; do
  "$prefix/bin/$program" --version | grep -qx "$program (TAVRIN Label Editor) $version" || fail "$program --version"
  "$prefix/bin/$program" --help | grep -q "usage" || fail "$program --help"
  zcat "$prefix/share/man/man1/$program.1.gz" | head -1 | grep -q "TAVRIN Label Editor $version\"" ||
    fail "$program.1 is not of version $version"
done
zcat "$prefix/share/doc/tavrin-label-editor/changelog.Debian.gz" | head -1 | grep -q "($version-$revision)" ||
  fail "changelog does not begin with $version-$revision"
grep -q "tavrin-label-editor_$version-${revision}_amd64.deb" "$source/README.md" || fail "README names another version"

# Every option the editor and the virtual printer know is in their manual page.
for program in tavrin-label-editor tavrin-printer-sim; do
  page=$(zcat "$prefix/share/man/man1/$program.1.gz" | sed 's/\\-/-/g')
  for option in $("$prefix/bin/$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -q -- "$option" <<<"$page" || fail "$program.1 lacks $option"
  done
done

# Settings go to the user's folder, never beside the installed program, whoever runs it (root
# included); a ZREDITW.CFG already beside the program in a folder of the user's makes it portable.
home=$(mktemp -d)
marker="$home/marker"
touch "$marker"
editor() { env -u XDG_CONFIG_HOME -u XDG_STATE_HOME HOME="$home" QT_QPA_PLATFORM=offscreen \
             "$prefix/bin/tavrin-label-editor" --new-instance --exit-after-start "$@" "$source/data/samples/sample.qlb"; }
editor || fail "the installed editor did not start"
written=$(find "$prefix" -newer "$marker")
[ -z "$written" ] || fail "the editor wrote under the prefix: $written"
[ -s "$home/.config/tavrin-label-editor/ZREDITW.CFG" ] || fail "no settings in the user's folder"
printf 'WIDTH = 500\r\n' > "$prefix/bin/ZREDITW.CFG"
editor
grep -q "^GRID STEP" "$prefix/bin/ZREDITW.CFG" || fail "a portable installation's settings were not kept beside it"
rm -rf "$home" "$marker"

font="$prefix/share/tavrin-label-editor/ZREDIT.FNT"
head -c "$(stat -c %s "$font")" /dev/zero > "$font.blank" && mv "$font.blank" "$font"
"$prefix/bin/tavrin-label" render "$label" --print -o "$prefix/blank-font.pbm" || fail "render with a blank font"
cmp -s "$prefix/with-font.pbm" "$prefix/blank-font.pbm" && fail "the installed program did not read the prefix's font file"

[ $failures -eq 0 ] && echo "install tree OK"
exit $((failures > 0))
