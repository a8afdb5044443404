#!/bin/sh
# Copies the plug-in's logos into a runner root: ROOT/var/tuxbox/plugins/.
#   scripts/install-logos.sh ROOT
set -eu
[ $# -eq 1 ] || { echo "usage: $0 ROOT" >&2; exit 2; }
assets="$(cd "$(dirname "$0")/../assets" && pwd)"
mkdir -p "$1/var/tuxbox/plugins"
cp "$assets/LumenNews.png" "$assets/LumenNews2.png" "$1/var/tuxbox/plugins/"
