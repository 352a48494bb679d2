#!/usr/bin/env bash
# check-package.sh: on a fresh Debian 12 system (../shared/tools/fresh-check --cmd), makes the
# package, installs it with apt-get as a user would, tries it as a new user, and removes it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/package.sh build
deb=$(ls -t build/orva32_*_amd64.deb | head -n 1)
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >/tmp/install.log 2>&1 \
  || { cat /tmp/install.log; exit 1; }
echo "-- installed: $(dpkg-query -W -f='${Package} ${Version}' orva32)"
id orvauser >/dev/null 2>&1 || useradd -m orvauser
runtime=$(mktemp -d /tmp/orva-runtime.XXXXXX)
chown orvauser "$runtime"
chmod 700 "$runtime"
as_user() { runuser -u orvauser -- env HOME=/home/orvauser XDG_RUNTIME_DIR="$runtime" "$@"; }
as_user orva32cli --version
as_user orva32cli tariff list
as_user orva32cli simulate-call --entry Prova --start "2026-12-08 10:00:00" --duration 120 >/dev/null
test -f /home/orvauser/.local/share/orva32/ORVA.LOG || { echo "no log written" >&2; exit 1; }
# The window starts and keeps running on a virtual display until it is asked to quit.
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq xvfb xauth >/dev/null
as_user xvfb-run -a sh -c 'orva32 nosplash & pid=$!; sleep 5; kill -0 $pid && echo "-- orva32 runs";
  orva32cli send quit; sleep 2; kill -0 $pid 2>/dev/null && { echo "orva32 did not quit"; exit 1; }; exit 0'
test -x /usr/libexec/orva32/orva32-hosts-helper
desktop-file-validate /usr/share/applications/orva32.desktop
appstreamcli validate --no-net /usr/share/metainfo/it.zefir.orva32.metainfo.xml
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq orva32 >/dev/null
test ! -e /usr/bin/orva32 || { echo "orva32 left after remove" >&2; exit 1; }
ls /home/orvauser/.local/share/orva32/ORVA.LOG >/dev/null && echo "-- removed; the user's data is still there"
echo "check-package: ok"
