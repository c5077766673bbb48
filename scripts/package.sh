#!/usr/bin/env bash
# Builds the Debian package of the three programs with CPack from a build folder:
#   scripts/package.sh [BUILD_DIR [OUT_DIR]]
# BUILD_DIR defaults to build/ci (configured with the ci preset when it is not there yet);
# only the programs and the package's generated files (man pages, completion) are built.
# The package lands in OUT_DIR (default build/package) as dorvan_<version>_<arch>.deb; its
# path is the last line printed. Needs dpkg-dev, help2man and fakeroot (scripts/setup.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/ci}
out=${2:-$here/build/package}

for tool in cpack dpkg-shlibdeps help2man; do
  command -v "$tool" >/dev/null || { echo "package.sh: $tool is missing (scripts/setup.sh)" >&2; exit 1; }
done
if [ ! -f "$build/CMakeCache.txt" ]; then
  if [ "$build" != "$here/build/ci" ]; then
    echo "package.sh: $build is not a configured build folder" >&2
    exit 1
  fi
  (cd "$here" && cmake --preset ci)
fi
cmake --build "$build" --target dorvan-console dorvan-print dorvan-cli dorvan_package_files

# The package's version is the program's; the changelog's latest entry must say so.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
if ! head -n 1 "$here/packaging/changelog" | grep -qF "dorvan ($version)"; then
  echo "package.sh: the latest entry of packaging/changelog is not version $version" >&2
  exit 1
fi

mkdir -p "$out"
arch=$(dpkg --print-architecture)
rm -f "$out/dorvan_${version}_${arch}.deb"
cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || {
  cat "$out/cpack.log" >&2
  exit 1
}
rm -rf "$out/_CPack_Packages"
deb="$out/dorvan_${version}_${arch}.deb"
[ -f "$deb" ] || { echo "package.sh: CPack made no $deb" >&2; cat "$out/cpack.log" >&2; exit 1; }
echo "$deb"
