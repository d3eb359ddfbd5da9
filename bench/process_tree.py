"""CPU time and memory of a process and everything it started, from /proc."""

import contextlib
import pathlib


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
    """thread id -> (process name, CPU seconds used so far) for every live thread of the tree, to
    the nanosecond (the scheduler's run time; clock ticks are too coarse for an idle process)."""
    result = {}
    for pid in tree(root):
        try:
            name, _ = _stat_fields(pid)
            tasks = list(pathlib.Path(f"/proc/{pid}/task").iterdir())
        except OSError:
            continue
        for task in tasks:
            with contextlib.suppress(OSError, ValueError, IndexError):
                result[int(task.name)] = (name, int((task / "schedstat").read_text().split()[0]) / 1e9)
    return result


def cpu_used(before, after):
    """CPU seconds used between two cpu_seconds() readings, per process name (threads that came
    and went in between are not seen)."""
    used = {}
    for thread, (name, total) in after.items():
        used[name] = used.get(name, 0.0) + total - before.get(thread, (name, 0.0))[1]
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
