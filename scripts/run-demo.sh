#!/bin/sh
# The demo: installs what is missing, builds, starts the community server
# on a fresh database filled from the sample data and runs the plug-in in lumenhost under a root of its own
# (build/demo-root). With a display the window is interactive; without one a
# scripted tour of every menu entry saves screenshots under build/demo-shots
# and prints the screen dumps.
#
# LUMEN_DEMO_BUILD=DIR runs an existing build instead (no install, no build),
# with the root and shots under DIR.
set -eu
cd "$(dirname "$0")/.."
if [ -n "${LUMEN_DEMO_BUILD:-}" ]; then
  build=$LUMEN_DEMO_BUILD
  root=$build/demo-root
  shots=$build/demo-shots
else
  scripts/setup.sh
  cmake --preset default >/dev/null
  cmake --build --preset default -j "$(nproc)" --target lumenhost lumennews lumen-server
  build=build/default
  root=build/demo-root
  shots=build/demo-shots
fi
rm -rf "$root" "$shots"
mkdir -p "$root/var/tmp" "$root/var/keys" "$root/media/hdd" "$shots"
scripts/install-logos.sh "$root"

# A fresh community database from the sample data; the server prints
# "listening on 127.0.0.1:PORT" first.
"$build/server/lumen-server" init --db "$root/community.db" --sample server/data
fifo=$(mktemp -u)
mkfifo "$fifo"
"$build/server/lumen-server" serve --db "$root/community.db" --listen 127.0.0.1:0 \
  --log "$root/requests.log" >"$fifo" &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$fifo"' EXIT INT TERM
read -r banner <"$fifo"
port=${banner##*:}
case "$port" in
  ''|*[!0-9]*) echo "run-demo: the server did not start: $banner" >&2; exit 1 ;;
esac
echo "run-demo: community server on 127.0.0.1:$port"

host="$build/emu/runner/lumenhost"
plugin="$build/plugin/lumennews.so"
connect="news.corvane.example:80:127.0.0.1:$port"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec_status=0
  "$host" --plugin "$plugin" --root "$root" --connect-to "$connect" || exec_status=$?
  exit "$exec_status"
fi

# The tour: one run of the plug-in per step, so a failing step does not hide
# the others. Settings persist in the root from one step to the next.
failed=""
for keys in scripts/demo/tour/*.keys; do
  step=$(basename "$keys" .keys)
  echo "== $step"
  mkdir -p "$shots/$step"
  if ! "$host" --plugin "$plugin" --root "$root" --connect-to "$connect" \
      --keys-file "$keys" --shots "$shots/$step" --dump - --wait-timeout 20; then
    failed="$failed $step"
  fi
  for shot in "$shots/$step"/*.png; do
    [ -e "$shot" ] && mv "$shot" "$shots/$step-$(basename "$shot")"
  done
  rmdir "$shots/$step"
done
echo "run-demo: screenshots in $shots:"
ls "$shots"
if [ -n "$failed" ]; then
  echo "run-demo: these tour steps failed:$failed" >&2
  exit 1
fi
