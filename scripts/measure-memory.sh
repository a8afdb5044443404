#!/bin/sh
# Peak memory of the plug-in for hostile replies: lumenhost runs each of the
# nine requests against the community server, with that one request answered
# by 60 MiB of junk (a small proxy in front of the server plays the fault),
# then the English feed with crafted feeds of about 4 MB (one long text,
# items with texts of the longest length taken, many items, an element
# flood, one 4 MB attribute value, tag name or comment, an attribute flood,
# 2000 items with 2000-byte titles, a description of nested entities behind
# a filler of bare ampersands), well-formed feeds at the XML limits (a 4 MB
# comment or processing instruction, 1 MiB of attributes on one element,
# ISO-8859-1 descriptions that double in UTF-8 beside an element flood), and
# a category list of control bytes dumped by the runner. Prints lumenhost's
# peak resident set (the whole process: host, fonts, plug-in) and the run's
# time for each.
#
#   scripts/measure-memory.sh [BUILD_DIR]      (default build/default)
#   LUMEN_MEASURE_ONLY=REGEX scripts/measure-memory.sh   (only the rows it matches)
#
# Needs lumenhost, lumennews.so and lumen-server built in BUILD_DIR,
# GNU time (/usr/bin/time) and python3 (for the crafted feeds).
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/default}
junk_mb=${LUMEN_JUNK_MB:-60}  # under the reply size limit (64 MiB), so that the readers see it
only=${LUMEN_MEASURE_ONLY:-.}
for tool in "$build/emu/runner/lumenhost" "$build/server/lumen-server" /usr/bin/time; do
  [ -x "$tool" ] || { echo "measure-memory: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
server=
proxy=
trap 'for p in $server $proxy; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done; rm -rf "$work"' EXIT INT TERM

# A fresh box root for every run: logos, downloads to /media/hdd/.
fresh_root() {
  rm -rf "$work/root"
  mkdir -p "$work/root/var/tmp" "$work/root/var/keys" "$work/root/media/hdd"
  scripts/install-logos.sh "$work/root" >/dev/null
  printf 'lang=1\ndown=/media/hdd/\nnick=Guest\n' >"$work/root/var/keys/corvane.cfg"
}

# junk_proxy OP: listens on a free port (in $port), answers requests of op
# OP ("files": downloads) with $junk_mb MiB of random bytes and passes the
# others on to the community server on $server_port.
junk_proxy() {
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  python3 - "$1" "$junk_mb" "$server_port" "$port" <<'PY' &
import http.server, random, sys, urllib.error, urllib.parse, urllib.request
op, megabytes, upstream, port = sys.argv[1], int(sys.argv[2]), sys.argv[3], int(sys.argv[4])
class Proxy(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        asked = "files" if url.path.startswith("/lumennews/files/") else urllib.parse.parse_qs(url.query).get("op", [""])[0]
        if asked == op:
            self.send_response(200)
            self.send_header("Content-Length", str(megabytes << 20))
            self.end_headers()
            junk = random.Random(1)
            for _ in range(megabytes * 16):
                self.wfile.write(junk.randbytes(1 << 16))
            return
        request = urllib.request.Request("http://127.0.0.1:" + upstream + self.path,
                                         headers={"User-Agent": self.headers.get("User-Agent", "")})
        try:
            reply = urllib.request.urlopen(request)
        except urllib.error.HTTPError as e:
            reply = e
        body = reply.read()
        self.send_response(reply.status)
        self.send_header("Content-Type", reply.headers.get("Content-Type", "text/plain"))
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
    def log_message(self, *args):
        pass
http.server.ThreadingHTTPServer(("127.0.0.1", port), Proxy).serve_forever()
PY
  proxy=$!
  sleep 1
}

start_server() {
  fifo="$work/banner"
  rm -f "$fifo"
  mkfifo "$fifo"
  "$build/server/lumen-server" serve --db "$work/community.db" --listen 127.0.0.1:0 --log /dev/null "$@" >"$fifo" &
  server=$!
  read -r banner <"$fifo"
  port=${banner##*:}
  server_port=$port
}

stop_server() {
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  server=
}

# measure LABEL KEYS: one run, one line of the table.
measure() {
  echo "$1" | grep -Eq -- "$only" || return 0
  fresh_root
  /usr/bin/time -f '%M %e' -o "$work/time" "$build/emu/runner/lumenhost" --root "$work/root" \
    --connect-to "news.corvane.example:80:127.0.0.1:$port" --keys "$2" --dump "$work/dump" \
    --wait-timeout 120 >/dev/null 2>"$work/err" || true
  read -r kb seconds <"$work/time"
  # What the first dump shows: a box's message, or the length of the list.
  first=$(awk '/^screen / && n++ { exit } { print }' "$work/dump")
  shown=$(echo "$first" | grep -o 'message="[^"]\{0,40\}' | head -n 1 | cut -c10-)
  count=$(echo "$first" | grep -o 'count=[0-9]*' | tail -n 1 | cut -c7-)
  [ -n "$shown" ] || shown=${count:+list of $count}
  printf '%-50s %8.1f MiB %7s s  %s\n' "$1" "$(echo "$kb" | awk '{print $1 / 1024}')" "$seconds" "$shown"
}

echo "lumenhost peak resident set ($(nproc) cores, $(uname -sr))"
"$build/server/lumen-server" init --db "$work/community.db" --sample server/data >/dev/null
fresh_root
start_server
measure "main menu only (baseline)" "dump"
stop_server

# op, label, keys from the main menu to the request and past its result.
while IFS='|' read -r op label keys; do
  start_server
  junk_proxy "$op"
  measure "$label, $junk_mb MiB junk" "$keys"
  kill "$proxy" 2>/dev/null || true
  wait "$proxy" 2>/dev/null || true
  stop_server
done <<'EOF'
outmerss|English feed|2 wait ok wait
outmerss|Italian feed|3 wait ok wait
article|article page|2 wait ok wait
outme|shout list|5 wait
inme|shout post|5 wait ok text:hello ok right ok wait
outmestats2|statistics|4 wait
outcat|category list|1 ok wait
outfile|file detail|1 ok wait ok wait ok wait
files|file download|1 ok wait ok wait ok wait ok wait
EOF

# Crafted replies, served as they are by a static server: the script's path
# with its query ignored.
serve() {
  cp "$1" "$work/www/lumennews/index.php"
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  python3 -m http.server --bind 127.0.0.1 --directory "$work/www" "$port" >/dev/null 2>&1 &
  server=$!
  # Until it answers: a run against a server not yet listening measures nothing.
  tries=0
  until python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 1)" 2>/dev/null; do
    tries=$((tries + 1))
    [ "$tries" -lt 50 ] || { echo "measure-memory: the static server did not start" >&2; exit 1; }
    sleep 0.2
  done
}
mkdir -p "$work/data/feeds" "$work/www/lumennews"
python3 - "$work/data/feeds" <<'EOF'
import sys
feeds = sys.argv[1]
limit = 4 * 1024 * 1024
def write(name, head, unit, tail):
    body = unit * ((limit - len(head) - len(tail)) // len(unit))
    open(f"{feeds}/{name}", "w").write(head + body + tail)
write("long_text.xml", "<rss><channel><item><title>Long</title><description>",
      "lorem ipsum dolor sit amet ", "</description></item></channel></rss>")
# 6 elements an item: as many items as the tree takes, then filler text.
items = "<item><title>t</title><link>http://x/</link><description>d</description><pubDate>p</pubDate></item>" * 5400
write("many_items.xml", "<rss><channel>" + items, "<!-- filler -->", "</channel></rss>")
write("element_flood.xml", "<rss><channel>", "<a/>", "</channel></rss>")
# Items whose descriptions are as long as the tree takes.
write("long_items.xml", "<rss><channel>",
      "<item><title>t</title><description>" + "d" * (256 * 1024 - 1) + "</description></item>", "</channel></rss>")
# One token as long as the feed may be.
write("attribute_value.xml", '<rss a="', "v", '"/>')
write("tag_name.xml", "<", "n", "/>")
write("comment.xml", "<rss><!--", "c", "--></rss>")
open(f"{feeds}/attribute_flood.xml", "w").write("<rss" + "".join(f' a{i}=""' for i in range(470000)) + "/>")
open(f"{feeds}/long_titles.xml", "w").write(
    "<rss><channel>" + ("<item><title>" + "t" * 2000 + "</title></item>") * 2000 + "</channel></rss>")
# After the parser: 64 Ki bare "&", then "&" followed by 45000 "amp;".
open(f"{feeds}/nested_entities.xml", "w").write(
    "<rss><channel><item><title>n</title><link>http://x/</link><description>" + "&amp;" * 65536 +
    "&amp;" + "amp;" * 45000 + "</description></item></channel></rss>")
# Well-formed feeds at the XML limits; the feed limit is 4 MiB.
latin1 = '<?xml version="1.0" encoding="ISO-8859-1"?><rss><channel>'
def accented(descriptions, empty_elements):
    # 128000 letters: two bytes each in UTF-8, just under the element text limit.
    item = "<item><title>t</title><description>" + "\u00e9" * 128000 + "</description></item>"
    return latin1 + item * descriptions + "<e/>" * empty_elements + "</channel></rss>"
open(f"{feeds}/latin1_descriptions.xml", "w", encoding="latin-1").write(accented(31, 32500))
open(f"{feeds}/latin1_tightest.xml", "w", encoding="latin-1").write(accented(32, 0))
item = "<item><title>t</title><link>http://x/</link></item>"
write("long_comment.xml", "<rss><channel>" + item + "<!--", "c", "-->" + item + "</channel></rss>")
write("long_pi.xml", "<rss><channel>" + item + "<?pi ", "p", "?>" + item + "</channel></rss>")
# Elements of just under 1 MiB of attributes each, at the attribute limit:
# 1024 of 1024 bytes as written.
tag = "<x" + "".join(f' a{i}="' + "v" * (1024 - len(f' a{i}=""')) + '"' for i in range(1024)) + "/>"
open(f"{feeds}/attributes_1mib.xml", "w").write("<rss><channel>" + item + tag * 3 + item + "</channel></rss>")
# Distinct element names just under the name limit: stored by expat and by the tree.
open(f"{feeds}/distinct_names.xml", "w").write(
    "<rss><channel>" + item + "".join(f"<n{i:04}" + "x" * 4090 + "/>" for i in range(1015)) + "</channel></rss>")
EOF
for feed in long_text long_items many_items element_flood attribute_value tag_name comment attribute_flood \
            long_titles nested_entities latin1_descriptions latin1_tightest long_comment long_pi attributes_1mib \
            distinct_names; do
  serve "$work/data/feeds/$feed.xml"
  measure "English feed, 4 MB $feed" "2 wait dump ok wait"
  stop_server
done

# A category list of 4 MiB of control bytes: the list shows 5000 titles of
# 254 bytes, and the runner's screen dump writes each byte as \xNN.
python3 -c 'import sys; sys.stdout.buffer.write((b"1\n" + b"\x01" * 254 + b"\n") * (4 * 1024 * 1024 // 258))' \
  >"$work/data/category.txt"
serve "$work/data/category.txt"
measure "category list, 4 MiB control bytes, dumped" "1 ok wait dump"
stop_server
