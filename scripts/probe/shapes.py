"""Request shapes that could make the server hold memory, 8 clients at a
time; the peak resident set after each. Arguments: PORT SERVER_PID."""
import socket
import sys
import threading

from common import resident_mib

CLIENTS = 8
SCRIPT = "/lumennews/index.php"


def ask(port, head, body=b"", read_limit=1 << 20):
    """Sends one request; the reply's status (0 when closed without one)."""
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=30) as s:
            s.sendall(head + body)
            got = b""
            while len(got) < read_limit:
                chunk = s.recv(65536)
                if not chunk:
                    break
                got += chunk
            return int(got[9:12]) if got.startswith(b"HTTP/1.") else 0
    except OSError:
        return 0


def crowd(port, requests):
    """`requests` (a list of head bytes) shared out over CLIENTS threads."""
    statuses = {}
    lock = threading.Lock()

    def client(mine):
        for head in mine:
            status = ask(port, head)
            with lock:
                statuses[status] = statuses.get(status, 0) + 1

    threads = [threading.Thread(target=client, args=(requests[i::CLIENTS],)) for i in range(CLIENTS)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    return statuses


def unknown_ids(port, count):
    """Keep-alive clients asking file details of ids that do not exist."""
    def client(first):
        with socket.create_connection(("127.0.0.1", port), timeout=30) as s:
            for n in range(first, first + count // CLIENTS):
                s.sendall(f"GET {SCRIPT}?op=outfile&idf={n} HTTP/1.1\r\nHost: p\r\n\r\n".encode())
                got = b""
                while b"</html>" not in got:
                    chunk = s.recv(65536)
                    if not chunk:
                        return
                    got += chunk

    threads = [threading.Thread(target=client, args=(1000 + i * count,)) for i in range(CLIENTS)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    return {404: count}


def head(target, fields=b""):
    return f"GET {target} HTTP/1.1\r\nHost: p\r\nConnection: close\r\n".encode() + fields + b"\r\n"


def main(port, pid):
    # Each range the whole body: a multipart reply would hold 2 700 copies.
    ranges = b"Range: bytes=" + b",".join([b"0-"] * 2700) + b"\r\n"
    million = b"".join(b"X: y\r\n" for _ in range(1000000))
    shapes = [
        ("2 700 ranges on the shout page, 64 times", lambda: crowd(port, [head(f"{SCRIPT}?op=outme", ranges)] * 64)),
        ("2 700 ranges on a download, 64 times",
         lambda: crowd(port, [head("/lumennews/files/weatherglobe_1.2.tar.gz", ranges)] * 64)),
        ("a million header fields, 8 times", lambda: crowd(port, [head(f"{SCRIPT}?op=outme", million)] * 8)),
        ("100 KB URLs, 64 times", lambda: crowd(port, [head(f"{SCRIPT}?op=outme&pad={'u' * 100000}")] * 64)),
        ("50 000 unknown file ids", lambda: unknown_ids(port, 50000)),
    ]
    print(f"shapes: server resident set at start {resident_mib(pid)[0]:.1f} MiB")
    for label, run in shapes:
        statuses = run()
        now, peak = resident_mib(pid)
        print(f"  {label}: statuses {dict(sorted(statuses.items()))}; now {now:.1f} MiB, peak so far {peak:.1f} MiB")


main(int(sys.argv[1]), int(sys.argv[2]))
