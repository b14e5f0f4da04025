# SPDX-License-Identifier: GPL-3.0-or-later
"""What the benchmarks read of a running process from /proc."""
import os
from pathlib import Path

CLK_TCK = os.sysconf("SC_CLK_TCK")


def cpu_ticks(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime + stime


def context_switches(pid):
    """Of every thread: the wake-ups, counted as the times a thread was switched out."""
    total = 0
    for task in Path(f"/proc/{pid}/task").iterdir():
        try:
            for line in (task / "status").read_text().splitlines():
                if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                    total += int(line.split()[1])
        except OSError:
            pass  # a thread that ended
    return total
