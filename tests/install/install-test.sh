#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks it as a desktop would
# see it: the desktop entry is valid, a .vlm file is a Velumo project, the
# icons, examples and the manual with all its pictures are there, and the
# installed velumo-sim runs.
#   install-test.sh BUILD_DIR [CMAKE]
set -euo pipefail
build=$1
cmake=${2:-cmake}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FEHLER: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

for f in bin/velumo bin/velumo-sim bin/velumo-report; do
  [[ -x $prefix/$f ]] || fail "$f fehlt"
done
for f in share/applications/velumo.desktop share/mime/packages/velumo.xml \
         share/icons/hicolor/scalable/apps/velumo.svg \
         share/icons/hicolor/scalable/mimetypes/application-x-velumo-project.svg \
         share/velumo/examples/bass-horn.vlm share/velumo/manual/index.html; do
  [[ -s $prefix/$f ]] || fail "$f fehlt"
done

# The validator prints hints too; the entry must give none.
out=$(desktop-file-validate "$prefix/share/applications/velumo.desktop" 2>&1) || fail "$out"
[[ -z $out ]] || fail "desktop-file-validate: $out"

# The prefix's data before the system's, and none of the user's; the generic
# query (through mimetype) whatever the desktop of the machine running this.
export XDG_DATA_HOME=$prefix/share XDG_DATA_DIRS=$prefix/share:/usr/share
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
update-mime-database "$prefix/share/mime"
expect_project() {
  local type
  type=$(xdg-mime query filetype "$1")
  [[ $type == application/x-velumo-project ]] || fail "$2 ist $type"
}
expect_project "$prefix/share/velumo/examples/bass-horn.vlm" bass-horn.vlm
# By the name alone: a project whose first section is another one.
printf '[Horn]\r\nInfo=Test\r\n' >"$prefix/anders.vlm"
expect_project "$prefix/anders.vlm" "ein Projekt ohne [Lautsprecher] am Anfang"
# By the first line alone: a project saved without the extension.
cp "$prefix/share/velumo/examples/bass-horn.vlm" "$prefix/projekt"
expect_project "$prefix/projekt" "ein Projekt ohne Endung"

# Every picture and page the manual links to is installed beside it.
manual=$prefix/share/velumo/manual
grep -oE '(src|href)="[^"#:]+"' "$manual/index.html" | sed -E 's/^[a-z]+="//; s/"$//' | sort -u |
  while read -r link; do
    [[ -e $manual/$link ]] || fail "Handbuch verweist auf fehlende Datei $link"
  done

"$prefix/bin/velumo-sim" --help >/dev/null || fail "installiertes velumo-sim startet nicht"
# An optimisation runs whether velumo-sim loads NLopt itself or hands the
# search to velumo-optimise beside it.
PATH=/usr/bin:/bin "$prefix/bin/velumo-sim" "$prefix/share/velumo/examples/bass-horn.vlm" \
  --out "$prefix/optimised" --optimise ripple --vary "Horn/Hornlänge=1.5:3.5" --evaluations 5 \
  >/dev/null 2>&1 || fail "installiertes velumo-sim optimiert nicht"
[[ -s $prefix/optimised/trace.csv ]] || fail "installiertes velumo-sim schreibt keine trace.csv"
# The report comes from velumo-report beside velumo-sim, whatever PATH says.
mkdir "$prefix/lists"
PATH=/usr/bin:/bin "$prefix/bin/velumo-sim" "$prefix/share/velumo/examples/bass-horn.vlm" \
  --out "$prefix/lists" --report "$prefix/bericht.html" >/dev/null 2>&1 ||
  fail "installiertes velumo-sim schreibt keinen Bericht"
[[ -s $prefix/bericht.html && -s $prefix/bericht-Files/SPL.jpg ]] || fail "Bericht unvollständig"
echo "Installation in $prefix geprüft"
