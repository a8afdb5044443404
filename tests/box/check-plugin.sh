#!/bin/sh
# What ships to the box, checked on the stripped plug-in:
#   check-plugin.sh PLUGIN STRIP OBJDUMP MACHINE CLASS ENDIAN [ISA [MAX_BYTES]]
# e.g. check-plugin.sh lumennews.so mipsel-linux-gnu-strip mipsel-linux-gnu-objdump \
#        'MIPS R3000' ELF32 little mips32
# ISA mips32: no instruction of the later MIPS32 releases. MAX_BYTES: the
# flash budget, checked for builds with the shipped flags (0: not checked).
set -eu
plugin=$1 strip=$2 objdump=$3 machine=$4 class=$5 endian=$6 isa=${7:-} maxBytes=${8:-0}
baseline="$(dirname "$0")/symbol-versions.txt"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
so="$work/lumennews.so"
"$strip" -o "$so" "$plugin"
fail() { echo "check-plugin: $*" >&2; exit 1; }
header=$(readelf -h "$so")
echo "$header" | grep -Eq "Machine: +$machine\$" || fail "not a $machine object: $(echo "$header" | grep Machine)"
echo "$header" | grep -Eq "Class: +$class\$" || fail "not $class"
echo "$header" | grep -q "$endian endian" || fail "not $endian endian"
dynamic=$(readelf -dW "$so")
# The host brings curl, expat, png and FreeType; the plug-in needs none of them.
needed=$(echo "$dynamic" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort | tr '\n' ' ')
for lib in $needed; do
  case $lib in
    libsigc-3.0.so.*|libstdc++.so.*|libgcc_s.so.*|libm.so.*|libc.so.*) ;;
    *) fail "needs $lib (needs: $needed)" ;;
  esac
done
echo "$needed" | grep -q 'libc\.so' || fail "does not need the C library: $needed"
# A run path would send the box's loader to folders of the build machine
# (an empty entry: the current folder).
echo "$dynamic" | grep -E '\((RPATH|RUNPATH)\)' && fail "carries a run path"
# Older loaders find symbols through the classic hash table only.
echo "$dynamic" | grep -q '(HASH)' || fail "no classic symbol hash table (DT_HASH)"

# Every symbol version required, at most the baseline's for its library.
required=$(readelf -VW "$so" | sed -n '/Version needs section/,$p' |
  sed -n 's/.*Name: \([A-Z_]*[A-Z]\)_\([0-9][0-9.]*\) .*/\1 \2/p' | sort -u)
newest=""
for prefix in $(echo "$required" | cut -d' ' -f1 | sort -u); do
  need=$(echo "$required" | sed -n "s/^$prefix //p" | sort -V | tail -n 1)
  allowed=$(sed -n "s/^$prefix  *\([0-9.]*\).*/\1/p" "$baseline")
  [ -n "$allowed" ] || fail "requires $prefix $need, a library the baseline does not list"
  [ "$(printf '%s\n%s\n' "$need" "$allowed" | sort -V | tail -n 1)" = "$allowed" ] ||
    fail "requires ${prefix}_$need, above the baseline's ${prefix}_$allowed ($baseline)"
  newest="$newest${prefix}_$need "
done

if [ "$isa" = mips32 ]; then
  # Release 2 instructions; rdhwr stays: it is the ABI's thread pointer
  # read, which kernels emulate on older cores.
  later=$("$objdump" -d "$so" | grep -P '\t(ext|ins|seb|seh|wsbh|rotrv?|di|ei|rdpgpr|wrpgpr|synci|jalr\.hb|jr\.hb|ehb|mfhc1|mthc1|pause)\t' | head -n 5)
  [ -z "$later" ] || fail "instructions beyond MIPS32: $later"
fi

# Defined global names of the dynamic table; a MIPS object also keeps local
# names there, which the host cannot bind to.
exports=$(readelf --dyn-syms -W "$so" |
  awk '$5 != "LOCAL" && $7 != "UND" && $8 != "" && $1 ~ /^[0-9]+:$/ {print $8}' | sed 's/@.*//' | sort | tr '\n' ' ')
[ "$exports" = "CORDDIR CORLANG CORNICK plugin_exec " ] || fail "exports: $exports"
size=$(stat -c %s "$so")
[ "$maxBytes" = 0 ] || [ "$size" -lt "$maxBytes" ] || fail "$size bytes stripped, limit $maxBytes"
echo "check-plugin: $machine $class $endian${isa:+ $isa}, $size bytes stripped, needs: $needed"
echo "check-plugin: newest versions required: $newest"
