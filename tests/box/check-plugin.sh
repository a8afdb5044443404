#!/bin/sh
# What ships to the box, checked on the stripped plug-in:
#   check-plugin.sh PLUGIN STRIP MACHINE CLASS ENDIAN
# e.g. check-plugin.sh lumennews.so mipsel-linux-gnu-strip 'MIPS R3000' ELF32 little
set -eu
plugin=$1 strip=$2 machine=$3 class=$4 endian=$5
maxBytes=409600  # 400 KiB on the box's flash
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$strip" -o "$work/lumennews.so" "$plugin"
fail() { echo "check-plugin: $*" >&2; exit 1; }
header=$(readelf -h "$work/lumennews.so")
echo "$header" | grep -Eq "Machine: +$machine\$" || fail "not a $machine object: $(echo "$header" | grep Machine)"
echo "$header" | grep -Eq "Class: +$class\$" || fail "not $class"
echo "$header" | grep -q "$endian endian" || fail "not $endian endian"
# The host brings curl, expat, png and FreeType; the plug-in needs none of them.
needed=$(readelf -dW "$work/lumennews.so" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort | tr '\n' ' ')
for lib in $needed; do
  case $lib in
    libsigc-3.0.so.*|libstdc++.so.*|libgcc_s.so.*|libm.so.*|libc.so.*) ;;
    *) fail "needs $lib (needs: $needed)" ;;
  esac
done
echo "$needed" | grep -q 'libc\.so' || fail "does not need the C library: $needed"
# Defined global names of the dynamic table; a MIPS object also keeps local
# names there, which the host cannot bind to.
exports=$(readelf --dyn-syms -W "$work/lumennews.so" |
  awk '$5 != "LOCAL" && $7 != "UND" && $8 != "" && $1 ~ /^[0-9]+:$/ {print $8}' | sed 's/@.*//' | sort | tr '\n' ' ')
[ "$exports" = "CORDDIR CORLANG CORNICK plugin_exec " ] || fail "exports: $exports"
size=$(stat -c %s "$work/lumennews.so")
[ "$size" -lt "$maxBytes" ] || fail "$size bytes stripped, limit $maxBytes"
echo "check-plugin: $machine $class $endian, $size bytes stripped, needs: $needed"
