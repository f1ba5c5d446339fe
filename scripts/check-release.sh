#!/usr/bin/env bash
# Checks a release zip built by `cmake --build --preset mingw --target package` (or
# mingw-i686): exactly omnitap.exe, README.txt and LICENSE in a folder named like the zip; the
# exe stripped, at most 1 MiB, built for the right machine, importing only the system's known
# DLLs (and the common controls, which its manifest takes from the system's side-by-side
# store), with its manifest and version resource.
#   check-release.sh BUILD_FOLDER win64|win32
set -euo pipefail
build=$(cd "$1" && pwd)
platform=$2
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=omnitap-$version-$platform
zip=$build/$name.zip
max_bytes=1048576
case $platform in
win64) format=pei-x86-64 ;;
win32) format=pei-i386 ;;
*) echo "check-release: unknown platform $platform"; exit 2 ;;
esac
# Known DLLs in every Windows from 7 on (the session manager's KnownDLLs list): a copy beside
# the exe is never loaded in their place. comctl32 comes through the manifest instead.
known_dlls="advapi32 clbcatq comdlg32 gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz nsi
ole32 oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32 comctl32"

failed=0
fail() { echo "check-release: $name: $*"; failed=1; }
[ -f "$zip" ] || { echo "check-release: no $zip (build the package target first)"; exit 1; }

listed=$(cmake -E tar tf "$zip" | grep -v '/$' | sort | tr '\n' ' ')
expected="$name/LICENSE $name/README.txt $name/omnitap.exe "
[ "$listed" = "$expected" ] || fail "holds [$listed], expected [$expected]"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && cmake -E tar xf "$zip")
exe=$work/$name/omnitap.exe
[ -f "$exe" ] || { echo "check-release: $name: no omnitap.exe"; exit 1; }

bytes=$(stat -c %s "$exe")
[ "$bytes" -le $max_bytes ] || fail "omnitap.exe has $bytes bytes, more than $max_bytes"

headers=$(x86_64-w64-mingw32-objdump -p "$exe")
grep -q "file format $format" <<< "$headers" || fail "omnitap.exe is not $format"
grep -q "^Subsystem.*Windows GUI" <<< "$headers" || fail "omnitap.exe is not a GUI program"
sections=$(x86_64-w64-mingw32-objdump -h "$exe")
grep -q '\.debug' <<< "$sections" && fail "omnitap.exe carries debug sections"
grep -q "symbols stripped" <<< "$headers" || fail "omnitap.exe carries a symbol table"

imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<< "$headers" | tr 'A-Z' 'a-z' | sed 's/\.dll$//')
[ -n "$imports" ] || fail "no imports found"
for dll in $imports; do
    grep -qw "$dll" <<< "$known_dlls" || fail "omnitap.exe imports $dll.dll, which is not a known DLL"
done

# The oldest Windows that runs it: Windows 7 brought these two, so Vista and older refuse it.
for function in ChangeWindowMessageFilterEx Shell_NotifyIconGetRect; do
    grep -qw "$function" <<< "$headers" || fail "omnitap.exe no longer imports $function: say which Windows it needs"
done

resources=$(x86_64-w64-mingw32-windres -i "$exe" -O rc 2>&1) || fail "no resources: $resources"
grep -q '^1 24 /\* RT_MANIFEST \*/' <<< "$resources" || fail "no manifest"
grep -q 'name=""Microsoft.Windows.Common-Controls"" version=""6.0.0.0""' <<< "$resources" ||
    fail "the manifest does not take common controls 6 from the system"
grep -q "VALUE \"FileVersion\", \"$version\"" <<< "$resources" || fail "no version $version resource"
grep -q 'VALUE "LegalCopyright", ".*The Omnitap authors.*"' <<< "$resources" ||
    fail "the version resource does not name the copyright holders"

# The texts as in the repository, with Windows line ends; the README names the version.
crlf() { sed 's/$/\r/' "$1"; }
cmp -s <(crlf "$root/LICENSE") "$work/$name/LICENSE" || fail "LICENSE differs from the repository's"
head -1 "$work/$name/README.txt" | grep -q "^Omnitap $version"$'\r'"$" || fail "README.txt does not begin with the version"

[ $failed -eq 0 ] && echo "check-release: $name.zip: omnitap.exe $bytes bytes, imports $(echo $imports), README.txt, LICENSE"
exit $failed
