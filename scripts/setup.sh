#!/bin/sh
# Installs every Debian 12 package the project needs (as root), skipping
# those already present. Safe to run again.
set -eu
PACKAGES="build-essential cmake ninja-build pkg-config
  libsigc++-3.0-dev libcurl4-openssl-dev libexpat1-dev libpng-dev libfreetype-dev
  fonts-dejavu-core libboost1.81-dev libcpp-httplib-dev libsqlite3-dev libutf8proc-dev libsodium-dev libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev clang libclang-rt-14-dev valgrind
  g++-mipsel-linux-gnu g++-arm-linux-gnueabihf g++-mips-linux-gnu g++-powerpc-linux-gnu
  qemu-user qemu-user-binfmt googletest dpkg-dev xz-utils
  libpq-dev postgresql-15 nginx-light wrk sqlite3
  chromium chromium-driver python3-selenium"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "setup: installing$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  # PostgreSQL is for the tests' throwaway clusters only: no cluster of
  # the machine's own is made (and so none started as a service).
  if [ ! -e /etc/postgresql-common/createcluster.conf ]; then
    mkdir -p /etc/postgresql-common
    echo "create_main_cluster = false" >/etc/postgresql-common/createcluster.conf
  fi
  # nginx and PostgreSQL are started by the tests in folders of their own;
  # installing them must not start them as services of the machine.
  policy=/usr/sbin/policy-rc.d
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' >"$policy"
    chmod 755 "$policy"
    trap 'rm -f "$policy"' EXIT
  fi
  # shellcheck disable=SC2086
  apt-get install -y -q --no-install-recommends -o Dpkg::Options::=--force-confold $missing
fi
