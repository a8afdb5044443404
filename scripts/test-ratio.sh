#!/bin/sh
# Prints the test lines, the lines of the reference copies the tests compare
# with (tests/data/expected, every line), the code lines and the ratio of
# both kinds of test lines to the code. Source lines are counted without
# blanks and comments (// and /* */); code is every C/C++ source outside
# tests/, bench/, fuzz/ and build folders. With -v, one count a file.
set -eu
cd "$(dirname "$0")/.."
verbose=${1:-}

# Non-blank, non-comment lines of each file named on stdin ("count path").
count() {
  xargs -r awk '
    FNR == 1 { if (file != "") print n, file; file = FILENAME; n = 0; block = 0 }
    {
      line = $0; out = ""
      while (line != "") {
        if (block) {
          i = index(line, "*/")
          if (i == 0) { line = ""; break }
          line = substr(line, i + 2); block = 0
        } else {
          s = index(line, "/*"); d = index(line, "//")
          if (d > 0 && (s == 0 || d < s)) { out = out substr(line, 1, d - 1); line = ""; break }
          if (s == 0) { out = out line; line = ""; break }
          out = out substr(line, 1, s - 1); line = substr(line, s + 2); block = 1
        }
      }
      if (out ~ /[^ \t\r]/) n++
    }
    END { if (file != "") print n, file }'
}

sources() {
  find . \( -name .git -o -name 'build*' \) -prune -o -type f \
    \( -name '*.c' -o -name '*.cc' -o -name '*.cpp' -o -name '*.h' -o -name '*.hpp' \) -print | sort
}

tests=$(sources | grep '^\./tests/' | count)
code=$(sources | grep -v -e '^\./tests/' -e '^\./bench/' -e '^\./fuzz/' | count)
copies=$(find ./tests/data/expected -type f 2>/dev/null | sort | xargs -r awk 'FNR == 1 && NR > 1 { print n, file } { n = FNR; file = FILENAME } END { if (NR) print n, file }')
if [ "$verbose" = "-v" ]; then
  printf '%s\n%s\n' "$tests" "$copies" | sort -rn
fi
t=$(printf '%s\n' "$tests" | awk '{ s += $1 } END { print s + 0 }')
r=$(printf '%s\n' "$copies" | awk '{ s += $1 } END { print s + 0 }')
c=$(printf '%s\n' "$code" | awk '{ s += $1 } END { print s + 0 }')
awk -v t="$t" -v r="$r" -v c="$c" 'BEGIN {
  printf "tests             %d\nreference copies  %d\ncode              %d\nratio             %.2f\n", t, r, c, (c ? (t + r) / c : 0)
}'
