"""Helpers of the server probes: the server's memory, percentiles."""
import time


def resident_mib(pid):
    """(current, peak) resident set of the process in MiB."""
    values = {}
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            key, _, rest = line.partition(":")
            if key in ("VmRSS", "VmHWM"):
                values[key] = int(rest.split()[0]) / 1024
    return values.get("VmRSS", 0.0), values.get("VmHWM", 0.0)


def percentile(samples, fraction):
    if not samples:
        return float("nan")
    ordered = sorted(samples)
    return ordered[min(len(ordered) - 1, int(fraction * len(ordered)))]


class Clock:
    def __init__(self, seconds):
        self.end = time.monotonic() + seconds

    def running(self):
        return time.monotonic() < self.end
