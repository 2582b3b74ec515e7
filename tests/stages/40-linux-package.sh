#!/usr/bin/env bash
# Install and Debian package of the Linux programs, from the debug build of
# the unit stage: the files land where the desktop and udev look for them,
# and the package declares its runtime libraries.
set -euo pipefail
build=build/debug
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug
fi
cmake --build "$build" -j "$VORNAK_JOBS" --target vornak-update vornak-update-demo

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cmake --install "$build" --prefix "$stage/usr" >/dev/null
expected=(
  usr/bin/vornak-update
  usr/bin/vornak-update-demo
  usr/share/applications/vornak-update.desktop
  usr/share/applications/vornak-update-demo.desktop
  usr/share/icons/hicolor/256x256/apps/vornak.png
  usr/lib/udev/rules.d/70-vornak-controller.rules
)
for file in "${expected[@]}"; do
  [ -e "$stage/$file" ] || { echo "not installed: $file"; exit 1; }
done

(cd "$build" && cpack -G DEB -B "$stage/deb" >/dev/null)
deb=$(ls "$stage"/deb/vornak-update_*.deb)
contents=$(dpkg-deb -c "$deb")
for file in "${expected[@]}"; do
  grep -q "\./$file\$" <<<"$contents" || { echo "not in the package: $file"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libhidapi-hidraw0 libudev1; do
  grep -q "$lib" <<<"$depends" || { echo "package does not depend on $lib: $depends"; exit 1; }
done
echo "package $(basename "$deb"): ${#expected[@]} files, depends on $depends"
