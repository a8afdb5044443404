#!/bin/sh
# Prints the test lines, the code lines and their ratio. Lines are counted
# without blanks and comments (// and /* */); code is every C/C++ source
# outside tests/, bench/, fuzz/ and build folders. With -v, one count a file.
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
if [ "$verbose" = "-v" ]; then
  printf '%s\n' "$tests" | sort -rn
fi
t=$(printf '%s\n' "$tests" | awk '{ s += $1 } END { print s + 0 }')
c=$(printf '%s\n' "$code" | awk '{ s += $1 } END { print s + 0 }')
awk -v t="$t" -v c="$c" 'BEGIN { printf "tests %d\ncode  %d\nratio %.2f\n", t, c, (c ? t / c : 0) }'
