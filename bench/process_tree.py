"""CPU time and memory of a process and everything it started, from /proc."""

import os
import pathlib

TICKS = os.sysconf("SC_CLK_TCK")


def _stat_fields(pid):
    stat = pathlib.Path(f"/proc/{pid}/stat").read_text()
    return stat[stat.index("(") + 1:stat.rindex(")")], stat.rsplit(")", 1)[1].split()


def tree(root):
    """root and its descendants, plus processes that left the tree but kept its session (a
    double-forked helper)."""
    parents, sessions = {}, {}
    for entry in pathlib.Path("/proc").iterdir():
        if entry.name.isdigit():
            try:
                _, fields = _stat_fields(entry.name)
            except OSError:
                continue
            parents.setdefault(int(fields[1]), []).append(int(entry.name))
            sessions[int(entry.name)] = int(fields[3])
    found, pending = set(), [root]
    while pending:
        pid = pending.pop()
        if pid not in found:
            found.add(pid)
            pending.extend(parents.get(pid, []))
    return found | {pid for pid, session in sessions.items() if session == root}


def cpu_seconds(root):
    """pid -> (name, CPU seconds used so far) for the tree."""
    result = {}
    for pid in tree(root):
        try:
            name, fields = _stat_fields(pid)
        except OSError:
            continue
        # utime, stime, and the times of children already waited for (cutime, cstime).
        result[pid] = (name, sum(int(value) for value in fields[11:15]) / TICKS)
    return result


def cpu_used(before, after):
    """CPU seconds used between two cpu_seconds() readings, per process name."""
    used = {}
    for pid, (name, total) in after.items():
        used[name] = used.get(name, 0.0) + total - before.get(pid, (name, 0.0))[1]
    return used


def memory(root):
    """(PSS, RSS) in MiB summed over the tree."""
    pss = rss = 0
    for pid in tree(root):
        try:
            for line in pathlib.Path(f"/proc/{pid}/smaps_rollup").read_text().splitlines():
                if line.startswith("Pss:"):
                    pss += int(line.split()[1])
                elif line.startswith("Rss:"):
                    rss += int(line.split()[1])
        except OSError:
            continue
    return pss / 1024, rss / 1024
