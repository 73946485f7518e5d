#!/usr/bin/env bash
# Packs the Windows programs of a build folder for people to install:
#   <build>/dist/ReefSaver-<version>-windows.zip   reefsaver_plain.scr, reefsaver.exe and
#                                                  Marevo2/ in one folder "ReefSaver"
#   <build>/dist/ReefSaver-<version>-setup.exe     the NSIS installer (dist/windows/reefsaver.nsi)
# The programs and the data folder must already be in <build>/bin.
#
#   scripts/package-windows.sh [build folder]      (default: build-win)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath -m "${1:-build-win}")
bin=$build/bin
for needed in reefsaver_plain.scr reefsaver.exe Marevo2/Directory.dat; do
  [ -e "$bin/$needed" ] || { echo "package-windows: $bin/$needed is missing: build the Windows programs first" >&2; exit 1; }
done
for tool in zip makensis; do
  command -v "$tool" >/dev/null || { echo "package-windows: $tool is missing: scripts/windows-deps.sh installs it" >&2; exit 1; }
done
version=$(sed -nE 's/^project\(ReefSaver VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)

dist=$build/dist
stage=$dist/ReefSaver
rm -rf "$stage"
mkdir -p "$stage"
# The programs without their debugging symbols: a person running them has no use for those.
for program in reefsaver_plain.scr reefsaver.exe; do
  x86_64-w64-mingw32-strip -o "$stage/$program" "$bin/$program"
done
cp -r "$bin/Marevo2" "$stage/"

zipfile=$dist/ReefSaver-$version-windows.zip
rm -f "$zipfile"
# Fixed times and order, so the same programs give the same zip.
find "$stage" -exec touch -h -d "@${SOURCE_DATE_EPOCH:-0}" {} +
(cd "$dist" && find ReefSaver | LC_ALL=C sort | zip -q -X "$zipfile" -@)

installer=$dist/ReefSaver-$version-setup.exe
makensis -V2 -NOCD -DSTAGE="$stage" -DOUTFILE="$installer" -DVERSION="$version" \
  "$root/dist/windows/reefsaver.nsi"

echo "package-windows: $(stat -c %s "$zipfile") bytes  $zipfile"
echo "package-windows: $(stat -c %s "$installer") bytes  $installer"
