#!/usr/bin/env bash
# package.sh [BUILD_DIR]: makes the Debian package orva32_<version>_amd64.deb in BUILD_DIR
# (default build, configured and built when needed) and checks what it holds: the programs,
# the shipped tariffs and help, the desktop entry, the AppStream metainfo and the icons, the
# desktop entry and metainfo valid.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
if [ ! -f "$dir/build.ninja" ]; then
  bash scripts/deps.sh
  bash scripts/configure.sh "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$dir" -j "$(( $(nproc) + 1 ))" --target orva32 orva32cli orva32-hosts-helper \
  orva32_icon_files
( cd "$dir" && cpack -G DEB >cpack.log 2>&1 ) || { cat "$dir/cpack.log" >&2; exit 1; }
deb=$(ls -t "$dir"/orva32_*_amd64.deb | head -n 1)
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/orva32 ./usr/bin/orva32cli ./usr/share/orva32/tariffe/ESEMPIO.TRF \
  ./usr/share/orva32/help/orva32.html ./usr/share/applications/orva32.desktop \
  ./usr/share/metainfo/it.zefir.orva32.metainfo.xml \
  ./usr/share/icons/hicolor/256x256/apps/orva32.png ./usr/libexec/orva32/orva32-hosts-helper \
  ./usr/libexec/orva32/orva32cli-qt \
  ./usr/share/polkit-1/actions/it.zefir.orva32.hosts-helper.policy; do
  grep -q " $f\$" <<<"$contents" || { echo "$deb lacks $f" >&2; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libqt6widgets6' <<<"$depends" || { echo "$deb: no computed dependencies: $depends" >&2; exit 1; }
desktop-file-validate data/orva32.desktop
appstreamcli validate --no-net --explain data/it.zefir.orva32.metainfo.xml >/dev/null \
  || appstreamcli validate --no-net data/it.zefir.orva32.metainfo.xml
# The policy names the helper where the package puts it.
dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/polkit-1/actions/it.zefir.orva32.hosts-helper.policy \
  | grep -q '>/usr/libexec/orva32/orva32-hosts-helper<' || { echo "$deb: policy names another helper path" >&2; exit 1; }
echo "$deb ($(du -h "$deb" | cut -f1)): Depends: $depends"
