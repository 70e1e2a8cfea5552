#!/usr/bin/env bash
# Builds the shipped programs of both Windows builds (nothing else: no test
# program) and writes the release archives
#   dist/savers-VERSION-win64.zip and dist/savers-VERSION-win32.zip
# each holding, in a folder savers-VERSION-ARCH/, ondrels.scr, snap.exe,
# kesmar.scr (stripped of their symbol tables, which only the build's checks
# read) and GUIDE.txt (the users' guide, with Windows line ends), and
# the installer for every Windows from 95 to 11 (installer/savers.nsi)
#   dist/savers-VERSION-setup.exe
# With SIGN_PFX (a PKCS#12 file) and SIGN_PASSWORD set, the programs, the
# uninstaller (before it is packed) and the installer are signed
# (installer/sign.sh); without them nothing is signed.
# SAVER_DIST names another output folder than dist/, SAVER_STAGE another
# working folder than build/package/ (which also keeps a copy of the
# uninstaller, uninstall.exe, for the tests).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
version=$(sed -n 's/^project([A-Za-z]* VERSION \([0-9.]*\) .*/\1/p' "$top/CMakeLists.txt")
[ -n "$version" ] || { echo "package: no VERSION in the project" >&2; exit 1; }
dist=${SAVER_DIST:-$top/dist}
packages=${SAVER_STAGE:-$top/build/package}
sign=$top/installer/sign.sh

mkdir -p "$dist" "$packages"
dist=$(cd "$dist" && pwd)
packages=$(cd "$packages" && pwd)
for arch in win64 win32; do
  "$top/scripts/build.sh" "$arch-programs" >/dev/null
  triple=$([ "$arch" = win64 ] && echo x86_64-w64-mingw32 || echo i686-w64-mingw32)
  case $arch in
    win64) systems="This build is for 64-bit Windows (x64): Windows XP x64 Edition, Windows\nServer 2003 x64 or any later 64-bit Windows." ;;
    win32) systems="This build is for 32-bit and 64-bit Windows: Windows 95, 98 and Me,\nWindows NT 4.0, Windows 2000 and every later Windows, on a Pentium Pro,\nPentium II or later processor (no SSE needed).\n\nWindows 95 also needs MSVCRT.DLL, the C run-time library, in its SYSTEM\nfolder. The first releases of Windows 95 lack it: Internet Explorer 4 or\nlater installs it, and so does Microsoft's Visual C++ 6 run-time installer\n(vcredist.exe). Windows 98, NT 4.0 and later have it." ;;
  esac
  folder='C:\\WINDOWS\\SYSTEM32'
  [ "$arch" = win32 ] && folder='C:\\WINDOWS\\SYSTEM on Windows 95, 98 and Me,\nC:\\WINNT\\SYSTEM32 on Windows NT 4.0 and 2000, C:\\WINDOWS\\SYSTEM32 on later\nWindows (on 64-bit Windows, C:\\WINDOWS\\SYSWOW64 for this 32-bit build)'
  name=savers-$version-$arch
  stage=$packages/$name
  rm -rf "$stage"
  mkdir -p "$stage"
  programs=$top/build/$arch-programs/bin
  for program in ondrels.scr snap.exe kesmar.scr; do
    "$triple-strip" --strip-all -o "$stage/$program" "$programs/$program"
    "$sign" "$stage/$program"
  done
  sed -e "s|@VERSION@|$version|" -e "s|@ARCH@|$arch|" -e "s|@SYSTEMS@|$systems|" -e "s|@SYSTEMFOLDER@|$folder|" \
    "$top/scripts/release/GUIDE.txt" | sed 's/$/\r/' >"$stage/GUIDE.txt"
  rm -f "$dist/$name.zip"
  (cd "$packages" && python3 - "$dist/$name.zip" "$name" <<'PY'
import os, sys, zipfile
archive, folder = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
    for name in sorted(os.listdir(folder)):
        z.write(os.path.join(folder, name), folder + "/" + name)
PY
  )
  echo "package: $dist/$name.zip"
done

setup=$dist/savers-$version-setup.exe
rm -f "$setup" "$packages/uninstall.exe"
makensis -V2 -DVERSION="$version" -DRELEASE64="$packages/savers-$version-win64" \
  -DRELEASE32="$packages/savers-$version-win32" -DOUTFILE="$setup" \
  -DUNINSTALLER_COPY="$packages/uninstall.exe" "$top/installer/savers.nsi" >"$packages/makensis.log" 2>&1 ||
  { cat "$packages/makensis.log" >&2; echo "package: makensis failed" >&2; exit 1; }
"$sign" "$setup"
echo "package: $setup"
