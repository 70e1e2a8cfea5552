#!/usr/bin/env bash
# Sets up 32-bit Wine for the 32-bit Windows tests without touching the
# system's Wine: Debian's wine32 package and the i386 libraries it needs are
# downloaded with a private apt configuration and unpacked into one folder
# (SAVER_WINE32_ROOT, default /opt/saver-wine32). Installing wine32 the usual
# way would make the system's `wine` command start every program through the
# 32-bit loader, which cannot run the 64-bit prefixes the 64-bit tests use.
#
# The loader is pointed at the folder's own dynamic linker, and the folder's
# copy of zlib1.dll is marked as a Wine built-in, as the package's own
# installation step does. scripts/wine-env.sh runs programs with it.
#
# Exit code 0 when 32-bit Wine is ready, 3 when this machine's kernel cannot
# run 32-bit programs (one plain line says so), 1 on any other failure.
set -euo pipefail
root=${SAVER_WINE32_ROOT:-/opt/saver-wine32}
version=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null || true)
[ -n "$version" ] || { echo "setup-wine32: the system's wine64 is not installed" >&2; exit 1; }

# Can this kernel run 32-bit programs? A 96-byte i386 program that only
# exits with code 42 tells, before anything is downloaded.
probe=$(mktemp)
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\273\052\000\000\000\315\200' >"$probe"
chmod +x "$probe"
set +e
"$probe" 2>/dev/null
probe_code=$?
set -e
rm -f "$probe"
if [ "$probe_code" -ne 42 ]; then
  echo "setup-wine32: this machine's kernel cannot run 32-bit programs; the 32-bit Windows tests are skipped"
  exit 3
fi

# Same version as the system's 64-bit Wine: both share one Wine server.
if [ -f "$root/.ready" ] && [ "$(cat "$root/.ready")" = "$version" ]; then exit 0; fi

echo "setup-wine32: unpacking Debian's wine32 $version into $root (once)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/apt/lists/partial" "$work/apt/archives/partial" "$work/root"
: >"$work/apt/status"
cat >"$work/apt/apt.conf" <<EOF
Dir::State "$work/apt";
Dir::State::status "$work/apt/status";
Dir::State::Lists "$work/apt/lists";
Dir::Cache "$work/apt";
Dir::Cache::archives "$work/apt/archives";
APT::Architecture "i386";
APT::Architectures { "i386"; };
APT::Install-Recommends "false";
Debug::NoLocking "true";
APT::Sandbox::User "root";
EOF
export APT_CONFIG=$work/apt/apt.conf
apt-get update -qq >/dev/null
apt-get install -y -qq --download-only "wine32=$version" >/dev/null
for deb in "$work"/apt/archives/*.deb; do dpkg-deb -x "$deb" "$work/root"; done

loader=$work/root/usr/lib/wine/wine
[ -x "$loader" ] || { echo "setup-wine32: the wine32 package holds no loader" >&2; exit 1; }
patchelf --set-interpreter "$root/lib/ld-linux.so.2" "$loader"
zlib=$work/root/usr/i686-w64-mingw32/lib/zlib1.dll
builtin=$work/root/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll
{
  head -c 64 "$zlib"
  printf 'Wine builtin DLL'
  printf '\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0'
  tail -c +97 "$zlib"
} >"$builtin"

rm -rf "$root"
mkdir -p "$(dirname "$root")"
mv "$work/root" "$root"
echo "$version" >"$root/.ready"
echo "setup-wine32: 32-bit Wine ready in $root"
