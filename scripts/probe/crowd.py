"""Idle and slow-drip connections from many loopback addresses while an
ordinary client is timed. Arguments: PORT SERVER_PID SECONDS."""
import asyncio
import multiprocessing
import socket
import sys
import time

from common import Clock, percentile, resident_mib

IDLE, SLOW, PER_ADDRESS = 10000, 1000, 50
HEAD = b"GET /lumennews/index.php?op=outme HTTP/1.1\r\nHost: probe\r\nUser-Agent: slow\r\n\r\n"
REQUEST = b"GET /lumennews/index.php?op=outmestats2 HTTP/1.1\r\nHost: probe\r\nConnection: close\r\n\r\n"
TIMEOUT = 10.0


def address(n):
    return f"127.1.{n // 250}.{n % 250 + 1}"


async def hold(port, source, drip, clock, stats):
    """One attacking connection, opened again whenever the server closes it."""
    while clock.running():
        try:
            reader, writer = await asyncio.open_connection("127.0.0.1", port, local_addr=(source, 0))
        except OSError:
            stats["refused"] += 1
            await asyncio.sleep(1)
            continue
        stats["opened"] += 1
        closed = asyncio.create_task(reader.read())  # b"" when the server closes
        sent = 0
        try:
            while clock.running() and not closed.done():
                if drip:
                    writer.write(HEAD[sent % len(HEAD):sent % len(HEAD) + 1])
                    sent += 1
                await asyncio.wait([closed], timeout=min(1.0, max(0.0, clock.end - time.monotonic())))
        except OSError:
            pass
        if closed.done():
            stats["closed"] += 1
        else:
            closed.cancel()
        writer.close()


def ordinary(port, seconds, results):
    """Runs in a process of its own, so that the crowd's event loop does not
    delay it: one request every 50 ms, each on a new connection."""
    clock = Clock(seconds)
    latencies, failures = [], 0
    while clock.running():
        started = time.monotonic()
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=TIMEOUT) as s:
                s.sendall(REQUEST)
                reply = b""
                while True:
                    chunk = s.recv(65536)
                    if not chunk:
                        break
                    reply += chunk
            if reply.startswith(b"HTTP/1.1 200"):
                latencies.append((time.monotonic() - started) * 1000)
            else:
                failures += 1
        except OSError:
            failures += 1
        time.sleep(0.05)
    results.put((latencies, failures))


async def watch(pid, clock, peak):
    while clock.running():
        peak[0] = max(peak[0], resident_mib(pid)[0])
        await asyncio.sleep(0.5)


async def main(port, pid, seconds):
    clock = Clock(seconds)
    stats = {"opened": 0, "closed": 0, "refused": 0}
    tasks = []
    for i in range(IDLE + SLOW):
        tasks.append(asyncio.create_task(hold(port, address(i // PER_ADDRESS), i >= IDLE, clock, stats)))
        if i % 500 == 499:
            await asyncio.sleep(0.05)  # no connect storm: the kernel's backlog
    print(f"crowd: {IDLE + SLOW} connections started")
    peak = [0.0]
    results = multiprocessing.Queue()
    timed = multiprocessing.Process(target=ordinary, args=(port, clock.end - time.monotonic(), results))
    timed.start()
    await asyncio.gather(watch(pid, clock, peak), *tasks)
    latencies, failures = results.get()
    timed.join()
    print(f"crowd: {IDLE} idle + {SLOW} slow-drip connections from {(IDLE + SLOW) // PER_ADDRESS} addresses, "
          f"{seconds} s: {stats['opened']} opened, {stats['closed']} closed by the server, "
          f"{stats['refused']} connects failed")
    print(f"  ordinary client: {len(latencies)} answered, {failures} failed, "
          f"p50 {percentile(latencies, 0.5):.1f} ms, p99 {percentile(latencies, 0.99):.1f} ms")
    print(f"  server resident set: peak {peak[0]:.1f} MiB (VmHWM {resident_mib(pid)[1]:.1f} MiB)")


asyncio.run(main(int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3])))
