#!/bin/sh
# Installs the Debian packages the build needs, but only those that are missing. Further
# packages a target needs (clang for the fuzzers, xvfb for a look at the window) may be given.
set -e
PKGS="cmake g++ make pkg-config qt6-base-dev qt6-svg-dev libgl-dev libfreetype-dev \
      googletest libgtest-dev libbenchmark-dev fonts-dejavu-core fonts-liberation2 fonts-urw-base35 \
      libharfbuzz-dev libfontconfig-dev libpolyclipping-dev libdxflib-dev python3-ezdxf $*"
missing=""
for p in $PKGS; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
SUDO=""
if [ "$(id -u)" != "0" ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $missing
