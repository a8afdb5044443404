#!/bin/sh
# The box builds' long run (before a release, and whenever the code changes
# shape): every test under qemu-user on the little-endian boxes (armhf,
# mipsel), with the emulated host and the server built for the box too, and
# the unit tests on the big-endian ones (mips, powerpc). As root: tests
# start lumenhost and the server, which the kernel runs through qemu once
# qemu is registered with binfmt_misc (done here when missing, and undone
# at the end).
#   scripts/test-box.sh [CPU...]      default: armhf mipsel mips powerpc
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
binfmt=/proc/sys/fs/binfmt_misc
# What this run registered (and mounted) is undone when it ends; what was
# there before stays.
registered="" mounted=""
unregister() {
  for name in $registered; do echo -1 >"$binfmt/$name" || true; done
  [ -z "$mounted" ] || umount "$binfmt" || true
}
trap unregister EXIT
trap 'exit 130' INT TERM
register() {  # qemu-arm, qemu-mipsel
  [ -e "$binfmt/$1" ] && return 0
  if [ ! -e "$binfmt/register" ]; then
    mount -t binfmt_misc binfmt_misc "$binfmt"
    mounted=1
  fi
  cat "/usr/lib/binfmt.d/$1.conf" >"$binfmt/register"
  registered="$registered $1"
}
summary=""
for cpu in ${*:-armhf mipsel mips powerpc}; do
  start=$(date +%s)
  scripts/box-sysroot.sh "$cpu"
  case $cpu in
    armhf) register qemu-arm; preset=armhf-full ;;
    mipsel) register qemu-mipsel; preset=mipsel-full ;;
    *) preset=$cpu ;;
  esac
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j 2
  log=build/$preset/box-ctest.log
  ctest --preset "$preset" -j 2 >"$log" 2>&1 || true
  tail -n 40 "$log"
  size=$(ctest --test-dir "build/$preset" -R '^box_shipped_plugin$' -V 2>/dev/null |
         sed -n 's/.*check-plugin: .*, \([0-9]*\) bytes stripped.*/\1/p')
  result=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$log" || echo "no result")
  summary="$summary
$cpu: ${size:-?} bytes stripped; $result; $(($(date +%s) - start)) s"
  grep -q ' 0 tests failed' "$log" || failed=1
done
echo "== box summary$summary"
[ -z "${failed:-}" ]
