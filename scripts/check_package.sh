#!/usr/bin/env bash
# Checks the package scripts/package.sh made, without installing it: lintian reports no error and no
# warning that is not overridden, the package holds exactly the expected files, it grants the GPL and the
# program says so in its own release, its software centre entry is valid, the desktop's tools know a
# scene by its name and leave other XML files alone, and the programs unpacked
# into a scratch folder run: vireta-sim steps every packaged scene, vireta opens one and closes cleanly,
# vireta-remote looks for a remote; the udev rule grants what a remote needs and nothing else. Last,
# the package is built again in another folder and must come out
# the same, byte for byte.
set -euo pipefail
cd "$(dirname "$0")/.."

debs=(build/package/vireta_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "no package in build/package: run scripts/package.sh first"; exit 1; }
failures=0
fail() {
  echo "package: $*"
  failures=$((failures + 1))
}

echo "== lintian $deb"
# Overridden tags, each with its reason, are in packaging/lintian/vireta (lintian counts an overridden
# error as a failure when it is asked to show overrides).
lintian --fail-on error,warning --display-level '>=warning' "$deb" || fail "lintian"

echo "== contents"
expected=$(mktemp)
actual=$(mktemp)
scratch=$(mktemp -d)
trap 'rm -rf "$expected" "$actual" "$scratch"' EXIT
{
  grep -v '^#' packaging/expected-files
  (cd Cenas && find . -type f ! -name temp.xml) | sed 's|^\./|/usr/share/vireta/Cenas/|'
} | LC_ALL=C sort >"$expected"
dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./|/|' | LC_ALL=C sort >"$actual"
diff -u --label expected --label package "$expected" "$actual" || fail "contents differ from packaging/expected-files and Cenas/"

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libode libpugixml libxtst6 libudev1; do
  [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done

[[ $(dpkg-deb -f "$deb" Recommends) == *qt6-translations-l10n* && $depends != *qt6-translations-l10n* ]] ||
  fail "Qt's translations are to be recommended, not depended on"
ar t "$deb" | grep -qx 'data.tar.xz' || fail "the files are not compressed with xz: $(ar t "$deb" | xargs)"
stamp=$(date -u -d @"$(dpkg-parsechangelog -l packaging/changelog -S Timestamp)" '+%Y-%m-%d %H:%M')
newer=$(dpkg-deb -c "$deb" | grep -v " $stamp " || true)
[ -z "$newer" ] || fail "files not dated as the changelog ($stamp): $(head -3 <<<"$newer")"

echo "== licence"
cmp -s COPYING /usr/share/common-licenses/GPL-3 || fail "COPYING is not the GNU GPL version 3 text"
dpkg-deb -x "$deb" "$scratch/root"
copyright=$scratch/root/usr/share/doc/vireta/copyright
head -1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in the machine-readable format"
grep -qx 'License: GPL-3+' "$copyright" || fail "the copyright file grants no GPL-3+ licence"
bin=$scratch/root/usr/bin
for program in "$bin"/*; do
  ! readelf -S -W "$program" | grep -q ' \.comment ' || fail "$(basename "$program") keeps its .comment section"
done
version=$(dpkg-deb -f "$deb" Version)
said=$("$bin/vireta" --version </dev/null) || fail "vireta --version failed"
[ "$(head -1 <<<"$said")" = "Vireta $version" ] || fail "vireta --version begins \"$(head -1 <<<"$said")\", not Vireta $version"
[[ $said == *"GPL versão 3 ou posterior"* ]] || fail "vireta --version names no licence: $said"

echo "== software centre entry"
# The id is the program's name, not a reversed domain: the project has no domain of its own to name.
metainfo=$scratch/root/usr/share/metainfo/vireta.metainfo.xml
appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info "$metainfo" || fail "appstreamcli validate"
grep -q "<release version=\"$version\" date=\"$(date -u -d @"$(dpkg-parsechangelog -l packaging/changelog -S Timestamp)" +%F)\"" "$metainfo" ||
  fail "the metainfo's newest release is not the changelog's $version"
scene_type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' data/vireta-cena.xml)
grep -q "<mediatype>$scene_type</mediatype>" "$metainfo" || fail "the metainfo does not offer $scene_type"
grep -q "^MimeType=$scene_type;" "$scratch/root/usr/share/applications/vireta.desktop" || fail "the desktop entry does not open $scene_type"

echo "== scene file type"
# A private MIME database of the system's types and the packaged one: what gio, xdg-mime and mimetype say
# here is what a desktop with the package installed says, whatever this machine has installed.
mime=$scratch/mime/share/mime
mkdir -p "$mime/packages" "$scratch/mime/home" "$scratch/files"
cp /usr/share/mime/packages/freedesktop.org.xml "$scratch/root/usr/share/mime/packages/vireta-cena.xml" "$mime/packages/"
cp "$scratch/root/usr/share/vireta/Cenas/queda_livre.xml" "$scratch/files/queda_livre.cena.xml"
cp data/vireta.svg "$scratch/files/"
printf '<?xml version="1.0"?>\n<project/>\n' >"$scratch/files/pom.xml"
printf '<?xml version="1.0"?>\n<notas/>\n' >"$scratch/files/notas.xml"
expect_type() {
  local file=$scratch/files/$1 want=$2 tool said
  for tool in gio xdg-mime mimetype; do
    case $tool in
      gio) said=$(gio info -a standard::content-type "$file" | sed -n 's/.*standard::content-type: //p') ;;
      xdg-mime) said=$(XDG_CURRENT_DESKTOP= DE= xdg-mime query filetype "$file") ;;
      mimetype) said=$(mimetype --brief "$file") ;;
    esac
    [ "$said" = "$want" ] || fail "$tool calls $1 $said, not $want"
  done
}
(
  export XDG_DATA_HOME=$scratch/mime/home XDG_DATA_DIRS=$scratch/mime/share
  update-mime-database "$mime"
  expect_type queda_livre.cena.xml application/x-vireta-cena
  expect_type vireta.svg image/svg+xml
  expect_type pom.xml text/x-maven+xml
  expect_type notas.xml application/xml
  [ "$failures" -eq 0 ]
) || fail "the scene file type"

echo "== udev rule"
bash scripts/check_udev_rule.sh "$scratch/root/usr/lib/udev/rules.d/70-vireta-wiimote.rules" || fail "the udev rule"

echo "== unpacked programs"
samples=$scratch/root/usr/share/vireta/Cenas
scenes=0
while IFS= read -r -d '' scene; do
  grep -q '<DATAPACKET' "$scene" || continue
  scenes=$((scenes + 1))
  rows=$("$bin/vireta-sim" "$scene" --frames 50 --every 50 | wc -l) || { fail "vireta-sim $scene"; continue; }
  [ "$rows" -gt 1 ] || fail "vireta-sim $scene printed no object"
done < <(find "$samples" -name '*.xml' -print0)
[ "$scenes" -gt 0 ] || fail "no scene in the package"
echo "vireta-sim stepped $scenes packaged scenes"

# The window on a packaged sample, in its own home so that nothing of this machine's users is touched; it
# closes cleanly on SIGTERM.
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_DATA_HOME=$scratch/home/.local/share
mkdir -p "$HOME"
xvfb-run -a timeout --preserve-status -s TERM 8 "$bin/vireta" "$samples/queda_livre.xml" ||
  fail "vireta did not run the sample and close cleanly"
# Unpacked here, the program is installed under another prefix than /usr: it must know so from where it is
# and keep its settings and start-up scene in the user's folders (run as root, it could write beside itself).
leftovers=$(find "$bin" -mindepth 1 ! -name 'vireta*')
[ -z "$leftovers" ] || fail "vireta wrote beside itself: $leftovers"
[ -f "$XDG_CONFIG_HOME/Vireta/config.ini" ] || fail "vireta kept no settings in the user's folder"

remote=$("$bin/vireta-remote" --segundos 1 </dev/null 2>&1 || true)
[[ $remote == *Wii* || $remote == *libudev* ]] || fail "vireta-remote said: $remote"

echo "== a second build gives the same package"
again=build/package-again
start=$SECONDS
VIRETA_PACKAGE_BUILD=$again bash scripts/package.sh >"$scratch/again.log" 2>&1 || {
  tail -20 "$scratch/again.log"
  fail "the second build failed"
}
echo "second build: $((SECONDS - start)) s"
if ! cmp -s "$deb" "$again/$(basename "$deb")"; then
  fail "two builds of the same sources differ"
  mkdir -p "$scratch/first" "$scratch/second"
  dpkg-deb -R "$deb" "$scratch/first"
  dpkg-deb -R "$again/$(basename "$deb")" "$scratch/second"
  diff -rq "$scratch/first" "$scratch/second" || true
  diff <(dpkg-deb -c "$deb") <(dpkg-deb -c "$again/$(basename "$deb")") | head -20 || true
fi

[ "$failures" -eq 0 ] || exit 1
echo "package: all checks passed"
